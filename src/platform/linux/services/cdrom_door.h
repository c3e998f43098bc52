#pragma once

#include <string>

#include "platform/linux/services/door_command.h"

namespace lumivo {

// Moves the door of the drive at that device path with the kernel's CD-ROM requests. 0 when
// the drive took the request, else the error (errno) of the open or of the request: ENOENT for
// a drive that is not there, EBUSY for a disc the kernel will not let go, ...
int MoveDoor(const std::string& device, DoorMove move);

}  // namespace lumivo
