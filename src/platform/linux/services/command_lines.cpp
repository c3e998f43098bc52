#include "platform/linux/services/command_lines.h"

#include <optional>

#include "platform/linux/services/optical_drives.h"
#include "platform/linux/text/ascii_text.h"
#include "platform/linux/text/code_pages.h"

namespace lumivo {
namespace {

constexpr std::string_view kDialerArgument = "rnaui.dll,RnaDial";
constexpr std::string_view kInstructionsPath = "c:\\lumivo.txt";

bool NamesProgram(std::string_view word, std::string_view program) {
  return EqualsIgnoringCase(word, program) ||
         EqualsIgnoringCase(word, std::string(program) + ".exe");
}

std::optional<char> DriveLetter(std::string_view word) {
  if (word.size() != 2 || !OpticalDriveIndex(word)) return std::nullopt;
  return static_cast<char>(kFirstOpticalLetter + *OpticalDriveIndex(word));
}

// The connection name is everything after the one blank that follows the dialler's argument.
std::optional<std::string> ConnectionName(std::string_view commandLine) {
  const auto words = Words(commandLine);
  if (words.size() < 3 || !NamesProgram(words[0], "rundll32") ||
      !EqualsIgnoringCase(words[1], kDialerArgument)) {
    return std::nullopt;
  }
  const auto nameStart =
      static_cast<std::size_t>(words[1].data() + words[1].size() - commandLine.data()) + 1;
  return std::string(commandLine.substr(nameStart));
}

}  // namespace

LinuxCommand TranslateCommandLine(std::u16string_view commandLine) {
  const std::string text = Utf16ToUtf8(commandLine);
  const auto words = Words(text);
  if (words.size() == 2 && NamesProgram(words[0], "explorer")) {
    if (const auto letter = DriveLetter(words[1])) return BrowseDrive{*letter};
  }
  if (words.size() == 2 && NamesProgram(words[0], "notepad") &&
      EqualsIgnoringCase(words[1], kInstructionsPath)) {
    return OpenInstructions{};
  }
  if (auto name = ConnectionName(text)) return BringUpConnection{std::move(*name)};
  return NoLinuxEquivalent{};
}

}  // namespace lumivo
