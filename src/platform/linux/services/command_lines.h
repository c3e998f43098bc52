#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace lumivo {

// "explorer X:": the drive's folder in the file manager.
struct BrowseDrive {
  char letter;  // upper case
};
// "rundll32.exe rnaui.dll,RnaDial NAME": the network connection of that name.
struct BringUpConnection {
  std::string name;  // UTF-8
};
// "notepad.exe c:\lumivo.txt": the instructions file in the text editor.
struct OpenInstructions {};
// Any other command line: nothing on Linux has its effect.
struct NoLinuxEquivalent {};

using LinuxCommand =
    std::variant<NoLinuxEquivalent, BrowseDrive, BringUpConnection, OpenInstructions>;

// What a Windows command line of the program does on Linux. Program names and paths are read
// without regard to case and with or without ".exe", as Windows finds them.
LinuxCommand TranslateCommandLine(std::u16string_view commandLine);

}  // namespace lumivo
