#pragma once

#include <string>

#include "platform/linux/services/door_command.h"

namespace lumivo {

// Moves the door of the drive at that device path with the kernel's CD-ROM requests. 0 when
// the drive took the request, else the error (errno) of the open or of the request: ENOENT for
// a drive that is not there, ENOTTY for a device that is no CD-ROM drive, EBUSY for a disc the
// kernel will not let go, ...
int MoveDoor(const std::string& device, DoorMove move);

// What the drive at that device path says of its tray (CDROM_DRIVE_STATUS for the current
// slot): a CDS_ value, or the error (errno) of the open or of the request, negated. The drive
// is opened for this request alone and closed again: while any descriptor of it is open, the
// kernel refuses every eject, this program's and every other's.
int ReadDriveStatus(const std::string& device);

}  // namespace lumivo
