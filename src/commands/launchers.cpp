#include "commands/launchers.h"

#include <string>

#include "platform/windows_services.h"

namespace lumivo {
namespace {

constexpr std::u16string_view kDialUpPrefix = u"rundll32.exe rnaui.dll,RnaDial ";
constexpr std::u16string_view kInstructionsAtRoot = u"c:\\lumivo.txt";
constexpr std::u16string_view kInstructionsCommand = u"notepad.exe c:\\lumivo.txt";

}  // namespace

Launchers::Launchers(FormRuntime& runtime) : runtime_(runtime) {}

// A program that cannot be started is reported, and the program keeps running.
bool Launchers::Launch(std::u16string_view commandLine) {
  if (runtime_.StartProgram(commandLine, kShowNormal)) return true;
  runtime_.ShowMessage(u"无法运行“" + std::u16string(commandLine) + u"”，请检查该程序是否存在！");
  return false;
}

void Launchers::DialUp(std::u16string_view entryName) {
  Launch(std::u16string(kDialUpPrefix) + std::u16string(entryName));
}

void Launchers::Dial163() { DialUp(u"163"); }

void Launchers::DialNorbek163() { DialUp(u"Norbek-163"); }

// The file at the root of drive C comes first. Where there is none, the copy installed or
// unpacked beside the program is opened, since Windows need not live on C: and a standard user
// cannot write to a drive's root. With neither, the editor is still given C:'s file and says
// itself that it is missing.
void Launchers::OpenInstructions() {
  if (!runtime_.FileExists(kInstructionsAtRoot)) {
    const std::u16string besideProgram = runtime_.ProgramFolder() + u"\\lumivo.txt";
    if (runtime_.FileExists(besideProgram)) {
      Launch(u"notepad.exe \"" + besideProgram + u"\"");
      return;
    }
  }
  Launch(kInstructionsCommand);
}

}  // namespace lumivo
