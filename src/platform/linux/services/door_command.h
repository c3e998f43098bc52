#pragma once

#include <optional>
#include <string_view>

#include "platform/windows_services.h"

namespace lumivo {

enum class DoorMove { Open, Close };

// The door move an MCI command text asks for; nothing for every other command, which changes
// nothing on Linux. MCI reads commands without regard to case or extra blanks.
std::optional<DoorMove> DoorMoveOf(std::string_view command);

// The kernel's answer to CDROM_DRIVE_STATUS (a CDS_ value, or a negated errno) as the tray's
// state. A tray is closed when the drive has a disc or says it has none; no information, a
// drive not ready yet (a tray moving, a disc spinning up) and every error tell nothing.
DoorState DoorStateOfStatus(int driveStatus);

}  // namespace lumivo
