#pragma once

#include <optional>
#include <string_view>

namespace lumivo {

enum class DoorMove { Open, Close };

// The door move an MCI command text asks for; nothing for every other command, which changes
// nothing on Linux. MCI reads commands without regard to case or extra blanks.
std::optional<DoorMove> DoorMoveOf(std::string_view command);

}  // namespace lumivo
