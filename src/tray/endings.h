#pragma once

#include <optional>

#include "platform/form_runtime.h"
#include "platform/windows_services.h"
#include "tray/tray_host.h"
#include "tray/tray_lamp.h"

namespace lumivo {

// The ways the program ends: the menu's exit, restart and shutdown, and the unload of the
// tray window that every ending goes through.
class Endings final : private ExitWindowsAnswer {
 public:
  Endings(WindowsServices& services, FormRuntime& runtime, TrayLamp& lamp, TrayHost& host);

  void Exit();
  // While Windows has not yet answered one of these, another is not asked for; the hotkeys
  // and a close request act as usual meanwhile.
  void RestartWindows();
  void ShutDownWindows();
  // However the tray window goes (the menu, a close request, the end of the Windows session),
  // the lamp it shows goes with it, and the program ends. No door command is given.
  void OnTrayWindowUnload();

 private:
  // Removes the lamp and asks Windows to end the session; the answer decides the rest.
  void AskWindows(WindowsExit how);
  void OnExitWindowsAnswered(bool accepted) override;

  WindowsServices& services_;
  FormRuntime& runtime_;
  TrayLamp& lamp_;
  TrayHost& host_;
  // The request Windows has yet to answer.
  std::optional<WindowsExit> pendingExit_;
};

}  // namespace lumivo
