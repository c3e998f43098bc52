#include <QApplication>

#include "platform/linux/linux_form_runtime.h"
#include "platform/linux/linux_windows_services.h"
#include "platform/linux/tray_presence.h"
#include "tray/tray_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The program ends only through its own End; closing the About window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  lumivo::LinuxFormRuntime runtime;
  // The usual second-start message sends the user to the lamp; without a tray there is none.
  if (runtime.AnotherCopyIsRunning() && !lumivo::CurrentTrays().Any()) {
    runtime.ShowMessage(
        u"Lumivo程序已经运行。桌面没有系统托盘（通知区域），光驱图标无法显示，"
        u"请用热键进行操作！");
    runtime.End();
  }
  lumivo::LinuxWindowsServices services(runtime.Handles());
  lumivo::TrayWindow trayWindow(services, runtime);
  trayWindow.Start();
  runtime.Run();
  return 0;
}
