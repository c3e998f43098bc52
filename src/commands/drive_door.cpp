#include "commands/drive_door.h"

#include <string>

namespace lumivo {
namespace {

constexpr std::uint32_t kNoRootDirectory = 1;

}  // namespace

DriveDoor::DriveDoor(DoorServices& services) : services_(services) {}

void DriveDoor::Open() { Send(kDoorOpenCommand); }

void DriveDoor::Close() { Send(kDoorClosedCommand); }

DoorResult DriveDoor::Move(std::u16string_view drive, bool open) {
  if (drive.size() == 1) {
    const std::string root = {static_cast<char>(drive[0]), ':', '\\'};
    const std::uint32_t type = services_.GetDriveTypeA(root);
    // 0: Windows cannot tell the type, which no drive that exists gives.
    if (type <= kNoRootDirectory) return DoorResult::Missing;
    if (type != kCdRomDrive) return DoorResult::NotOptical;
  }
  return services_.MoveDoor(drive, open);
}

void DriveDoor::Send(std::u16string_view command) {
  services_.mciSendStringA(services_.ToAnsi(command));
}

}  // namespace lumivo
