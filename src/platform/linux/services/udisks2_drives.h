#pragma once

#include <QDBusError>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lumivo {

// A filesystem on an optical disc: its UDisks2 block object and where it is mounted.
struct DiscFilesystem {
  QString object;
  QStringList mountPoints;
};

// An optical drive as UDisks2 knows it.
struct OpticalDrive {
  std::string device;              // the drive's block device, /dev/sr0
  std::vector<std::string> names;  // the device and its links, /dev/cdrom, /dev/dvd, ...
  bool hasDisc = false;
  std::vector<DiscFilesystem> filesystems;
};

// The system's optical drives, in letter order (D:, E:, ...), asked from UDisks2 over the
// system bus and waited for: for the service worker only. None when UDisks2 does not answer.
std::vector<OpticalDrive> ListOpticalDrives();

// The drive that a device path names, by any of its names; nothing for another device.
std::optional<std::size_t> FindDrive(const std::vector<OpticalDrive>& drives,
                                     const std::string& device);

// Unmounts a filesystem; the error when UDisks2 refuses (DeviceBusy while a file is open).
std::optional<QDBusError> Unmount(const DiscFilesystem& filesystem);

// Mounts a filesystem where UDisks2 chooses; the folder, or the error.
std::variant<QString, QDBusError> Mount(const DiscFilesystem& filesystem);

}  // namespace lumivo
