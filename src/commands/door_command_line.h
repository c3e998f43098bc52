#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "platform/windows_services.h"

namespace lumivo {

// The door command line, "open|close|toggle [DRIVE]": it moves one drive's door and ends,
// with no window, no lamp and no message.
enum class DoorVerb { Open, Close, Toggle };

struct DoorRequest {
  DoorVerb verb;
  // Empty for the lamp's drive, an upper-case ASCII letter, or a device path: a view into the
  // arguments, or for a letter into the program's own alphabet.
  std::u16string_view drive;
};

// The words after the program's own switch; nothing when they are no door command.
std::optional<DoorRequest> ParseDoorArguments(std::span<const std::u16string_view> arguments);

// What a door command line came to, and the program's exit code for it.
enum class DoorRunResult { Done, Refused, Missing, NotOptical, BadArguments };
int ExitCodeOf(DoorRunResult result);

// Parses, moves the door and tells a running copy when its lamp's door moved. A toggle goes by
// the door's real state where the drive reports it, else opposite to the running lamp, else
// it opens.
DoorRunResult RunDoorCommand(DoorServices& services,
                             std::span<const std::u16string_view> arguments);

}  // namespace lumivo
