#include "platform/linux/services/door_calls.h"

#include <QFile>
#include <QString>

#include "platform/linux/services/cdrom_door.h"
#include "platform/linux/services/door_command.h"
#include "platform/linux/services/door_moves.h"
#include "platform/linux/services/door_notices.h"
#include "platform/linux/services/optical_drives.h"

namespace lumivo {

const std::vector<OpticalDrive>& DoorCalls::Drives() {
  if (!drives_) drives_ = ListOpticalDrives();
  return *drives_;
}

std::optional<std::string> DoorCalls::LampDevice() {
  std::vector<std::string> devices;
  for (const OpticalDrive& drive : Drives()) devices.push_back(drive.device);
  return DoorDevice(devices);
}

std::optional<std::string> DoorCalls::DeviceOf(std::u16string_view drive) {
  if (drive.empty()) return LampDevice();
  const QString name = QString::fromStdU16String(std::u16string(drive));
  if (drive.size() == 1) {
    const auto index = OpticalDriveIndex(name.toStdString() + ":");
    if (!index || *index >= Drives().size()) return std::nullopt;
    return Drives()[*index].device;
  }
  return QFile::encodeName(name).toStdString();
}

bool DoorCalls::IsLampDrive(std::u16string_view drive) {
  if (drive.empty()) return true;
  const auto device = DeviceOf(drive);
  const auto lamp = LampDevice();
  return device && lamp && SameDevice(*device, *lamp);
}

DoorState DoorCalls::DoorStateOf(std::u16string_view drive) {
  const auto device = DeviceOf(drive);
  return device ? DoorStateOfStatus(ReadDriveStatus(*device)) : DoorState::Unknown;
}

DoorResult DoorCalls::MoveDoor(std::u16string_view drive, bool open) {
  problem_.clear();
  const auto device = DeviceOf(drive);
  if (!device) return DoorResult::Missing;
  const auto failure = MoveOpticalDoor(Drives(), *device, open ? DoorMove::Open : DoorMove::Close);
  if (!failure) {
    moved_ = *device;
    return DoorResult::Done;
  }
  const std::string detail = failure->detail.toStdString();
  using Kind = DoorMoveFailure::Kind;
  switch (failure->kind) {
    case Kind::Missing:
      problem_ = detail;
      return DoorResult::Missing;
    case Kind::NotOptical:
      problem_ = "not an optical drive";
      return DoorResult::NotOptical;
    case Kind::DiscInUse:
      problem_ = "the disc is in use: " + detail;
      break;
    case Kind::UnmountFailed:
      problem_ = "the disc cannot be unmounted: " + detail;
      break;
    case Kind::Refused:
      problem_ = detail;
      break;
  }
  return DoorResult::Refused;
}

DoorState DoorCalls::RunningLampDoor() {
  const auto lamp = LampDevice();
  return lamp ? AskLampDoor(*lamp) : DoorState::Unknown;
}

void DoorCalls::TellRunningCopy(DoorState moved) {
  if (!moved_.empty()) NoticeDoorMoved(moved_, moved);
}

}  // namespace lumivo
