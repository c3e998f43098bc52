#pragma once

#include "platform/linux/services/door_calls.h"
#include "platform/windows_services.h"

namespace lumivo {

// The Windows services of `lumivo --door`, which moves one door and ends: the door calls and
// the drive types the logic checks a letter with. It has no lamp, window, keys or programs to
// start, and never asks for them.
class DoorCommandServices final : public WindowsServices {
 public:
  std::string ToAnsi(std::u16string_view text) const override;
  bool Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                         std::u16string_view tip) override;
  void mciSendStringA(const std::string& command) override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;
  void ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand,
                     std::u16string_view fileText) override;
  void EnableShutdownPrivilege() override;
  void ExitWindowsEx(WindowsExit how, std::uint32_t reserved, ExitWindowsAnswer& answer) override;
  std::int16_t GetAsyncKeyState(std::int32_t virtualKey) override;
  void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                    int height, std::uint32_t flags) override;
  bool IsLampDrive(std::u16string_view drive) override;
  DoorState DoorStateOf(std::u16string_view drive) override;
  DoorResult MoveDoor(std::u16string_view drive, bool open) override;
  void WatchDoor(DoorWatcher& watcher) override;
  DoorState RunningLampDoor() override;
  void TellRunningCopy(DoorState moved) override;

  // Why the last door move failed; empty when the system did not say.
  const std::string& Problem() const { return doors_.Problem(); }

 private:
  DoorCalls doors_;
};

}  // namespace lumivo
