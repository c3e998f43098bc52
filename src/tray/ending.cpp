#include "tray/form1.h"

namespace lumivo {

// The menu is reached only from the closed-door icon, so that is the icon to take away.
void Form1::EndProgram(std::optional<std::uint32_t> exitWindowsFlags) {
  Remove(TrayIcon::ClosedDoor);
  if (exitWindowsFlags) {
    services_.EnableShutdownPrivilege();
    if (!services_.ExitWindowsEx(*exitWindowsFlags, 0)) {
      // Windows said no: stay reachable in the tray instead of quitting as if it had begun.
      runtime_.MsgBox(*exitWindowsFlags == EWX_REBOOT
                          ? u"Windows拒绝了重启请求，Lumivo将继续运行！"
                          : u"Windows拒绝了关机请求，Lumivo将继续运行！");
      if (!lamp_) Install(TrayIcon::ClosedDoor);
      return;
    }
  }
  Unload();
}

void Form1::Hid_Exit_Click() { EndProgram(std::nullopt); }

void Form1::hid_restart_Click() { EndProgram(EWX_REBOOT); }

void Form1::Hid_shutdown_Click() { EndProgram(EWX_SHUTDOWN); }

// However the window goes (menu, a close request, the end of the Windows session), the icon
// that is shown goes with it. No door command is given on the way out.
void Form1::Form_Unload() {
  if (lamp_) Remove(*lamp_);
  runtime_.End();
}

}  // namespace lumivo
