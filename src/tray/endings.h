#pragma once

#include <optional>

#include "platform/form_runtime.h"
#include "platform/windows_services.h"
#include "tray/tray_host.h"
#include "tray/tray_lamp.h"

namespace lumivo {

// The ways the program ends: the menu's exit, restart and shutdown, and the unload of the
// tray window that every ending goes through.
class Endings {
 public:
  Endings(WindowsServices& services, FormRuntime& runtime, TrayLamp& lamp, TrayHost& host);

  void Exit();
  void RestartWindows();
  void ShutDownWindows();
  // However the tray window goes (the menu, a close request, the end of the Windows session),
  // the lamp it shows goes with it, and the program ends. No door command is given.
  void OnTrayWindowUnload();

 private:
  // Removes the lamp, asks Windows to end the session when told how, and closes the window.
  void EndProgram(std::optional<WindowsExit> how);

  WindowsServices& services_;
  FormRuntime& runtime_;
  TrayLamp& lamp_;
  TrayHost& host_;
};

}  // namespace lumivo
