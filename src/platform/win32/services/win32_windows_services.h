#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/services/com_apartment.h"
#include "platform/win32/services/door_watch.h"
#include "platform/win32/services/mci_door.h"
#include "platform/win32/system_library.h"
#include "platform/windows_services.h"

namespace lumivo {

// The logic's Windows calls, made for real.
class Win32WindowsServices final : public WindowsServices {
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

 private:
  // Loaded with the first door command and the first tray request, both after the splash
  // timer is running, rather than before the program starts.
  SystemLibrary multimedia_{L"winmm.dll"};
  SystemLibrary shell_{L"shell32.dll"};
  ComApartment com_;
  MciDoor mciDoor_{multimedia_};
  DoorWatch doorWatch_{mciDoor_};
};

}  // namespace lumivo
