#include "tray/endings.h"

namespace lumivo {

Endings::Endings(WindowsServices& services, FormRuntime& runtime, TrayLamp& lamp, TrayHost& host)
    : services_(services), runtime_(runtime), lamp_(lamp), host_(host) {}

void Endings::Exit() { EndProgram(std::nullopt); }

void Endings::RestartWindows() { EndProgram(WindowsExit::Restart); }

void Endings::ShutDownWindows() { EndProgram(WindowsExit::ShutDown); }

// The menu is reached only from the closed-door lamp, so that is the lamp to take away.
void Endings::EndProgram(std::optional<WindowsExit> how) {
  lamp_.Remove(LampState::ClosedDoor);
  if (how) {
    services_.EnableShutdownPrivilege();
    if (!services_.ExitWindowsEx(*how, 0)) {
      // Windows said no: stay reachable in the tray instead of quitting as if it had begun.
      runtime_.ShowMessage(*how == WindowsExit::Restart
                               ? u"Windows拒绝了重启请求，Lumivo将继续运行！"
                               : u"Windows拒绝了关机请求，Lumivo将继续运行！");
      if (!lamp_.State()) lamp_.Install(LampState::ClosedDoor);
      return;
    }
  }
  host_.Close();
}

void Endings::OnTrayWindowUnload() {
  if (const auto shown = lamp_.State()) lamp_.Remove(*shown);
  runtime_.End(kExitSuccess);
}

}  // namespace lumivo
