#pragma once

#include <string>

#include "platform/linux/door_command.h"

namespace lumivo {

// Moves the door of the drive at that device path with the kernel's CD-ROM requests. A
// missing drive, one the user may not open or one that refuses changes nothing and reports
// nothing, as MCI does.
void MoveDoor(const std::string& device, DoorMove move);

}  // namespace lumivo
