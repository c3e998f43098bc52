#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>

#include "app/linux/command_line.h"
#include "app/linux/door_command_line.h"
#include "platform/linux/forms/linux_form_runtime.h"
#include "platform/linux/services/linux_windows_services.h"
#include "platform/linux/tray/tray_presence.h"
#include "tray/tray_window.h"

int main(int argc, char** argv) {
  if (const std::optional<int> exitCode = lumivo::AnswerInformationRequest(argc, argv)) {
    return *exitCode;
  }
  // The door from the command line needs no display and is no copy of the program.
  if (lumivo::IsDoorCommandLine(argc, argv)) {
    const QCoreApplication application(argc, argv);
    return lumivo::RunDoorCommandLine(argc, argv);
  }
  QApplication application(argc, argv);
  if (const std::optional<int> exitCode = lumivo::RefuseLeftoverArguments(argc, argv)) {
    return *exitCode;
  }
  // The autostart entry starts Lumivo at every logon: a session manager (XSMP: KDE, Xfce,
  // GNOME's saved sessions) that restored it as well would start a second copy. Qt 6 has no
  // switch for this; the hint goes with every state the session manager asks for.
  const auto neverRestart = [](QSessionManager& manager) {
    manager.setRestartHint(QSessionManager::RestartNever);
  };
  QObject::connect(&application, &QGuiApplication::commitDataRequest, neverRestart);
  QObject::connect(&application, &QGuiApplication::saveStateRequest, neverRestart);
  // The program ends only through its own End; closing the About window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  lumivo::LinuxFormRuntime runtime;
  // The usual second-start message sends the user to the lamp; without a tray there is none.
  if (runtime.AnotherCopyIsRunning() && !lumivo::CurrentTrays().Any()) {
    runtime.ShowMessage(
        u"Lumivo程序已经运行。桌面没有系统托盘（通知区域），光驱图标无法显示，"
        u"请用热键进行操作！");
    runtime.End(lumivo::kExitSuccess);
  }
  lumivo::LinuxWindowsServices services(runtime.Handles(), runtime.Requests());
  lumivo::TrayWindow trayWindow(services, runtime);
  trayWindow.Start();
  runtime.Run();
  return 0;
}
