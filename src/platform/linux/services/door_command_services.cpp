#include "platform/linux/services/door_command_services.h"

#include "platform/linux/services/optical_drives.h"
#include "platform/linux/text/code_pages.h"

namespace lumivo {

std::string DoorCommandServices::ToAnsi(std::u16string_view text) const { return Utf16ToGbk(text); }

// Nothing of what follows up to GetDriveTypeA belongs to a door command line: no lamp, no door
// by MCI text, no links, no session end, no keys, no windows.
bool DoorCommandServices::Shell_NotifyIconA(TrayRequest, const TrayIconRecord&,
                                            std::u16string_view) {
  return false;
}

void DoorCommandServices::mciSendStringA(const std::string&) {}

std::uint32_t DoorCommandServices::GetDriveTypeA(const std::string& rootPath) {
  return DriveTypeOf(rootPath, doors_.OpticalDriveCount());
}

void DoorCommandServices::ShellExecuteA(WindowHandle, const std::string&, int,
                                        std::u16string_view) {}

void DoorCommandServices::EnableShutdownPrivilege() {}

void DoorCommandServices::ExitWindowsEx(WindowsExit, std::uint32_t, ExitWindowsAnswer& answer) {
  answer.OnExitWindowsAnswered(false);
}

std::int16_t DoorCommandServices::GetAsyncKeyState(std::int32_t) { return 0; }

void DoorCommandServices::SetWindowPos(WindowHandle, WindowHandle, int, int, int, int,
                                       std::uint32_t) {}

bool DoorCommandServices::IsLampDrive(std::u16string_view drive) {
  return doors_.IsLampDrive(drive);
}

DoorState DoorCommandServices::DoorStateOf(std::u16string_view drive) {
  return doors_.DoorStateOf(drive);
}

DoorResult DoorCommandServices::MoveDoor(std::u16string_view drive, bool open) {
  return doors_.MoveDoor(drive, open);
}

// No lamp to follow the door.
void DoorCommandServices::WatchDoor(DoorWatcher&) {}

DoorState DoorCommandServices::RunningLampDoor() { return doors_.RunningLampDoor(); }

void DoorCommandServices::TellRunningCopy(DoorState moved) { doors_.TellRunningCopy(moved); }

}  // namespace lumivo
