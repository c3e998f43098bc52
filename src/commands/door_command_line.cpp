#include "commands/door_command_line.h"

#include "commands/drive_door.h"

namespace lumivo {
namespace {

// Longer than any Windows path (MAX_PATH) or Linux device name a user would type.
constexpr std::size_t kLongestDrive = 260;

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

bool AsciiEqualNoCase(std::u16string_view text, std::u16string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiUpper(text[i]) != AsciiUpper(lowerWord[i])) return false;
  }
  return true;
}

std::optional<DoorVerb> VerbOf(std::u16string_view word) {
  if (AsciiEqualNoCase(word, u"open")) return DoorVerb::Open;
  if (AsciiEqualNoCase(word, u"close")) return DoorVerb::Close;
  if (AsciiEqualNoCase(word, u"toggle")) return DoorVerb::Toggle;
  return std::nullopt;
}

constexpr std::u16string_view kLetters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// "E", "e:" or a path with a separator; control characters belong to no drive's name.
std::optional<std::u16string_view> DriveOf(std::u16string_view word) {
  if (word.empty() || word.size() > kLongestDrive) return std::nullopt;
  for (const char16_t c : word) {
    if (c < u' ' || c == 0x7F) return std::nullopt;
  }
  if (word.find_first_of(u"/\\") != std::u16string_view::npos) return word;
  const char16_t letter = AsciiUpper(word[0]);
  if (letter < u'A' || letter > u'Z') return std::nullopt;
  if (word.size() == 1 || (word.size() == 2 && word[1] == u':')) {
    return kLetters.substr(letter - u'A', 1);
  }
  return std::nullopt;
}

bool ToggleOpens(DoorServices& services, std::u16string_view drive) {
  switch (services.DoorStateOf(drive)) {
    case DoorState::Open:
      return false;
    case DoorState::Closed:
      return true;
    case DoorState::Unknown:
      break;
  }
  return !services.IsLampDrive(drive) || services.RunningLampDoor() != DoorState::Open;
}

}  // namespace

std::optional<DoorRequest> ParseDoorArguments(std::span<const std::u16string_view> arguments) {
  if (arguments.empty() || arguments.size() > 2) return std::nullopt;
  const std::optional<DoorVerb> verb = VerbOf(arguments[0]);
  if (!verb) return std::nullopt;
  if (arguments.size() == 1) return DoorRequest{*verb, {}};
  const std::optional<std::u16string_view> drive = DriveOf(arguments[1]);
  if (!drive) return std::nullopt;
  return DoorRequest{*verb, *drive};
}

int ExitCodeOf(DoorRunResult result) {
  switch (result) {
    case DoorRunResult::Done:
      return 0;
    case DoorRunResult::BadArguments:
      return 2;
    default:
      return 1;
  }
}

DoorRunResult RunDoorCommand(DoorServices& services,
                             std::span<const std::u16string_view> arguments) {
  const std::optional<DoorRequest> request = ParseDoorArguments(arguments);
  if (!request) return DoorRunResult::BadArguments;
  const bool open = request->verb == DoorVerb::Toggle ? ToggleOpens(services, request->drive)
                                                      : request->verb == DoorVerb::Open;
  DriveDoor door(services);
  switch (door.Move(request->drive, open)) {
    case DoorResult::Done:
      break;
    case DoorResult::Refused:
      return DoorRunResult::Refused;
    case DoorResult::Missing:
      return DoorRunResult::Missing;
    case DoorResult::NotOptical:
      return DoorRunResult::NotOptical;
  }
  if (services.IsLampDrive(request->drive)) {
    services.TellRunningCopy(open ? DoorState::Open : DoorState::Closed);
  }
  return DoorRunResult::Done;
}

}  // namespace lumivo
