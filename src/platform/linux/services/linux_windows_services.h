#pragma once

#include <memory>

#include "platform/linux/forms/handle_table.h"
#include "platform/linux/keys/portal_shortcuts.h"
#include "platform/linux/keys/x11_keyboard.h"
#include "platform/linux/services/door_calls.h"
#include "platform/linux/services/door_notices.h"
#include "platform/linux/services/system_requests.h"
#include "platform/linux/tray/tray_icons.h"
#include "platform/windows_services.h"

namespace lumivo {

// The logic's Windows calls carried out on Linux, with the same arguments and effects.
class LinuxWindowsServices final : public WindowsServices {
 public:
  // The handles and the requests are the form run-time's.
  LinuxWindowsServices(const HandleTable& handles, SystemRequests& requests);

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
  const HandleTable& handles_;
  SystemRequests& requests_;
  TrayIcons trayIcons_;
  X11Keyboard keyboard_;
  // Only where there is no X server to read the keys from.
  std::unique_ptr<PortalShortcuts> portalShortcuts_;
  // The calls of a door command line, which the running copy does not make itself.
  DoorCalls doorCalls_;
  // Once the door is watched: the notices of `lumivo --door`.
  std::unique_ptr<DoorNoticeReceiver> doorNotices_;
};

}  // namespace lumivo
