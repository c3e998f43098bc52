#include <QApplication>

#include "platform/linux/linux_form_runtime.h"
#include "platform/linux/linux_windows_services.h"
#include "tray/tray_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The program ends only through its own End; closing the About window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  lumivo::LinuxFormRuntime runtime;
  lumivo::LinuxWindowsServices services(runtime.Handles(), runtime.Requests());
  lumivo::TrayWindow trayWindow(services, runtime);
  trayWindow.Start();
  runtime.Run();
  return 0;
}
