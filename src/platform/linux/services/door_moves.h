#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/services/door_command.h"
#include "platform/linux/services/udisks2_drives.h"

namespace lumivo {

// What stopped a door move.
struct DoorMoveFailure {
  enum class Kind {
    Missing,        // no drive at that device
    NotOptical,     // a device that is no CD drive (a disk, a file)
    DiscInUse,      // UDisks2 cannot unmount the disc: a file is open on it
    UnmountFailed,  // UDisks2 refused the unmount for another reason
    Refused,        // the drive refused the eject or the close
  };
  Kind kind;
  int error;       // the request's errno; 0 for UDisks2's refusals
  QString detail;  // the system's own words
};

// Moves the door of the drive at that device, one of the system's optical drives or not. The
// kernel refuses to eject a drive with a mounted disc, so the disc's filesystems are unmounted
// first through UDisks2, as the desktops do. For the service worker and `lumivo --door`: the
// unmount may wait for the user to authenticate.
std::optional<DoorMoveFailure> MoveOpticalDoor(const std::vector<OpticalDrive>& drives,
                                               const std::string& device, DoorMove move);

}  // namespace lumivo
