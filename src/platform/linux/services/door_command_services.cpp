#include "platform/linux/services/door_command_services.h"

#include "platform/linux/services/optical_drives.h"
#include "platform/linux/text/code_pages.h"

namespace lumivo {

std::string DoorCommandServices::ToAnsi(std::u16string_view text) const { return Utf16ToGbk(text); }

// A command line names the drive and moves it by MoveDoor, never by MCI text.
void DoorCommandServices::mciSendStringA(const std::string&) {}

std::uint32_t DoorCommandServices::GetDriveTypeA(const std::string& rootPath) {
  return DriveTypeOf(rootPath, doors_.OpticalDriveCount());
}

bool DoorCommandServices::IsLampDrive(std::u16string_view drive) {
  return doors_.IsLampDrive(drive);
}

DoorState DoorCommandServices::DoorStateOf(std::u16string_view drive) {
  return doors_.DoorStateOf(drive);
}

DoorResult DoorCommandServices::MoveDoor(std::u16string_view drive, bool open) {
  return doors_.MoveDoor(drive, open);
}

DoorState DoorCommandServices::RunningLampDoor() { return doors_.RunningLampDoor(); }

void DoorCommandServices::TellRunningCopy(DoorState moved) { doors_.TellRunningCopy(moved); }

}  // namespace lumivo
