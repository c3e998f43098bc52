#include "tray/endings.h"

namespace lumivo {

Endings::Endings(WindowsServices& services, FormRuntime& runtime, TrayLamp& lamp, TrayHost& host)
    : services_(services), runtime_(runtime), lamp_(lamp), host_(host) {}

// The menu is reached only from the closed-door lamp, so that is the lamp to take away.
void Endings::Exit() {
  lamp_.Remove(LampState::ClosedDoor);
  host_.Close();
}

void Endings::RestartWindows() { AskWindows(WindowsExit::Restart); }

void Endings::ShutDownWindows() { AskWindows(WindowsExit::ShutDown); }

void Endings::AskWindows(WindowsExit how) {
  if (pendingExit_) return;
  lamp_.Remove(LampState::ClosedDoor);
  services_.EnableShutdownPrivilege();
  pendingExit_ = how;
  services_.ExitWindowsEx(how, 0, *this);
}

void Endings::OnExitWindowsAnswered(bool accepted) {
  if (!pendingExit_) return;
  const WindowsExit how = *pendingExit_;
  pendingExit_.reset();
  if (accepted) {
    host_.Close();
    return;
  }
  // Windows said no: stay reachable in the tray instead of quitting as if it had begun.
  runtime_.ShowMessage(how == WindowsExit::Restart ? u"Windows拒绝了重启请求，Lumivo将继续运行！"
                                                   : u"Windows拒绝了关机请求，Lumivo将继续运行！");
  if (!lamp_.State()) lamp_.Install(LampState::ClosedDoor);
}

void Endings::OnTrayWindowUnload() {
  if (const auto shown = lamp_.State()) lamp_.Remove(*shown);
  runtime_.End(kExitSuccess);
}

}  // namespace lumivo
