#include "platform/linux/services/door_moves.h"

#include <cerrno>
#include <system_error>

#include "platform/linux/services/cdrom_door.h"

namespace lumivo {
namespace {

const QString kDeviceBusy = QStringLiteral("org.freedesktop.UDisks2.Error.DeviceBusy");

bool IsMissingDrive(int error) { return error == ENOENT || error == ENXIO || error == ENODEV; }

}  // namespace

std::optional<DoorMoveFailure> MoveOpticalDoor(const std::vector<OpticalDrive>& drives,
                                               const std::string& device, DoorMove move) {
  using Kind = DoorMoveFailure::Kind;
  const auto index = FindDrive(drives, device);
  if (move == DoorMove::Open && index) {
    for (const DiscFilesystem& filesystem : drives[*index].filesystems) {
      if (filesystem.mountPoints.isEmpty()) continue;
      if (const auto error = Unmount(filesystem)) {
        return DoorMoveFailure{error->name() == kDeviceBusy ? Kind::DiscInUse : Kind::UnmountFailed,
                               0, error->message()};
      }
    }
  }
  const int error = MoveDoor(device, move);
  if (error == 0) return std::nullopt;
  const QString detail = QString::fromStdString(std::generic_category().message(error));
  if (IsMissingDrive(error)) return DoorMoveFailure{Kind::Missing, error, detail};
  if (error == ENOTTY) return DoorMoveFailure{Kind::NotOptical, error, detail};
  return DoorMoveFailure{Kind::Refused, error, detail};
}

}  // namespace lumivo
