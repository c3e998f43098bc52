#include "platform/linux/services/cdrom_door.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>  // CDSL_CURRENT is INT_MAX

namespace lumivo {
namespace {

// Without O_NONBLOCK the open would wait for, or fail without, a disc in the drive, and the
// kernel closes an open tray on a blocking open. Read-only, as udev takes the close of a
// descriptor opened for writing as a reason to probe the drive again.
int OpenDrive(const std::string& device) {
  return ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

// Only a CD-ROM drive answers CDROM_GET_CAPABILITY (libblkid tells CD drives apart the same
// way); the SCSI layer would take CDROMEJECT for a USB disk as well.
int MoveDoor(const std::string& device, DoorMove move) {
  const int drive = OpenDrive(device);
  if (drive < 0) return errno;
  int error = 0;
  if (::ioctl(drive, CDROM_GET_CAPABILITY, 0) < 0 && (errno == ENOTTY || errno == EINVAL)) {
    error = ENOTTY;
  } else if (::ioctl(drive, move == DoorMove::Open ? CDROMEJECT : CDROMCLOSETRAY, 0) < 0) {
    error = errno;
  }
  ::close(drive);
  return error;
}

int ReadDriveStatus(const std::string& device) {
  const int drive = OpenDrive(device);
  if (drive < 0) return -errno;
  const int status = ::ioctl(drive, CDROM_DRIVE_STATUS, CDSL_CURRENT);
  const int answer = status < 0 ? -errno : status;
  ::close(drive);
  return answer;
}

}  // namespace lumivo
