#pragma once

#include "platform/linux/handle_table.h"
#include "platform/linux/tray_icons.h"
#include "platform/linux/x11_keyboard.h"
#include "platform/windows_services.h"

namespace lumivo {

// The logic's Windows calls carried out on Linux, with the same arguments and effects.
class LinuxWindowsServices final : public WindowsServices {
 public:
  // The handles are the form run-time's.
  explicit LinuxWindowsServices(const HandleTable& handles);

  std::string ToAnsi(std::u16string_view text) const override;
  bool Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                         std::u16string_view tip) override;
  void mciSendStringA(const std::string& command) override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;
  void ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand,
                     std::u16string_view fileText) override;
  void EnableShutdownPrivilege() override;
  bool ExitWindowsEx(WindowsExit how, std::uint32_t reserved) override;
  std::int16_t GetAsyncKeyState(std::int32_t virtualKey) override;
  void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                    int height, std::uint32_t flags) override;

 private:
  const HandleTable& handles_;
  TrayIcons trayIcons_;
  X11Keyboard keyboard_;
};

}  // namespace lumivo
