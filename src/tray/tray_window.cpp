#include "tray/tray_window.h"

#include "tray/tray_window_layout.h"

namespace lumivo {
namespace {

int LampHost(LampState state) {
  return Id(state == LampState::ClosedDoor ? TrayControl::ClosedDoorLampHost
                                           : TrayControl::OpenDoorLampHost);
}

}  // namespace

TrayWindow::TrayWindow(WindowsServices& services, FormRuntime& runtime)
    : Form(runtime, kTrayWindowLayout),
      services_(services),
      about_(services, runtime),
      door_(services),
      launchers_(runtime),
      driveBrowser_(services, launchers_),
      hotkeys_(services, door_, driveBrowser_, launchers_),
      lamp_(services, *this),
      trayEvents_(runtime, lamp_, door_, *this),
      endings_(services, runtime, lamp_, *this) {}

// Checked before the window exists, so a second copy never starts the timers: no hotkey acts
// twice and no lamp of its own is left behind. Without its window and timers the program
// would run unseen, with no lamp and no hotkeys.
void TrayWindow::Start() {
  if (runtime_.AnotherCopyIsRunning()) {
    runtime_.ShowMessage(u"Lumivo程序已经运行，请用鼠标左、右键点击状态栏中的*光驱*进行操作！");
    runtime_.End(kExitSuccess);
  }
  if (!Load()) {
    runtime_.ShowMessage(u"Lumivo无法创建它的窗口或定时器，程序将退出！");
    runtime_.End(kExitFailure);
  }
}

// The About window serves as the splash while the door closes. The door is watched once it
// has had its command.
void TrayWindow::OnLoad() {
  Hide();
  about_.Show();
  door_.Close();
  services_.WatchDoor(*this);
}

void TrayWindow::OnUnload() { endings_.OnTrayWindowUnload(); }

void TrayWindow::OnClick(int control) {
  switch (static_cast<TrayControl>(control)) {
    case TrayControl::Dial163Button:
      launchers_.Dial163();
      break;
    case TrayControl::NorbekDialButton:
      launchers_.DialNorbek163();
      break;
    case TrayControl::ExitItem:
      endings_.Exit();
      break;
    case TrayControl::InstructionsItem:
      launchers_.OpenInstructions();
      break;
    case TrayControl::AboutItem:
      about_.Show();
      break;
    case TrayControl::BrowseCdDrivesItem:
      driveBrowser_.BrowseCdDrives();
      break;
    case TrayControl::RestartItem:
      endings_.RestartWindows();
      break;
    case TrayControl::ShutDownItem:
      endings_.ShutDownWindows();
      break;
    default:
      break;
  }
}

void TrayWindow::OnTimer(int control) {
  if (control == Id(TrayControl::SplashTimer)) OnSplashTimer();
  if (control == Id(TrayControl::HotkeyTimer)) {
    // A retry timer that could not be started is asked for again at each tick until it runs.
    if (!splashTimerRunning_ && lamp_.InstallPending()) SetSplashTimerRunning(true);
    hotkeys_.Poll();
  }
}

void TrayWindow::OnMouseMove(int control, float x) {
  if (control == Id(TrayControl::ClosedDoorLampHost)) trayEvents_.OnClosedDoorLamp(x);
  if (control == Id(TrayControl::OpenDoorLampHost)) trayEvents_.OnOpenDoorLamp(x);
}

void TrayWindow::OnTaskbarCreated() { lamp_.OnShellRestarted(); }

// The first tick ends the splash: the program now lives in the tray. Later ticks come only
// while the shell refuses the lamp, and try again.
void TrayWindow::OnSplashTimer() {
  if (!splashOver_) {
    splashOver_ = true;
    about_.Hide();
    lamp_.Install(firstLamp_);
  } else {
    lamp_.RetryInstall();
  }
  SetSplashTimerRunning(lamp_.InstallPending());
}

void TrayWindow::SetSplashTimerRunning(bool running) {
  if (running == splashTimerRunning_) return;
  if (Window().SetTimerEnabled(Id(TrayControl::SplashTimer), running)) {
    splashTimerRunning_ = running;
  }
}

WindowHandle TrayWindow::LampWindow(LampState state) {
  return Window().ControlHandle(LampHost(state));
}

IconHandle TrayWindow::LampIcon(LampState state) { return Window().ControlIcon(LampHost(state)); }

void TrayWindow::RetryLampEverySecond() { SetSplashTimerRunning(true); }

void TrayWindow::PopupMenu() { Window().PopupMenu(); }

void TrayWindow::Close() { Unload(); }

void TrayWindow::OnDoorMoved(DoorState state) {
  if (splashOver_) {
    trayEvents_.OnDoorMoved(state);
  } else if (state != DoorState::Unknown) {
    firstLamp_ = state == DoorState::Open ? LampState::OpenDoor : LampState::ClosedDoor;
  }
}

DoorState TrayWindow::LampDoor() const {
  return lamp_.State().value_or(firstLamp_) == LampState::OpenDoor ? DoorState::Open
                                                                   : DoorState::Closed;
}

}  // namespace lumivo
