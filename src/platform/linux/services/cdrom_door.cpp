#include "platform/linux/services/cdrom_door.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace lumivo {

// Without O_NONBLOCK the open would wait for, or fail without, a disc in the drive.
int MoveDoor(const std::string& device, DoorMove move) {
  const int drive = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (drive < 0) return errno;
  const int result = ::ioctl(drive, move == DoorMove::Open ? CDROMEJECT : CDROMCLOSETRAY, 0);
  const int error = result < 0 ? errno : 0;
  ::close(drive);
  return error;
}

}  // namespace lumivo
