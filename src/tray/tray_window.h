#pragma once

#include <string>

#include "about/about_window.h"
#include "commands/drive_browser.h"
#include "commands/drive_door.h"
#include "commands/hotkey_poller.h"
#include "commands/launchers.h"
#include "platform/form.h"
#include "platform/windows_services.h"
#include "tray/endings.h"
#include "tray/tray_events.h"
#include "tray/tray_host.h"
#include "tray/tray_lamp.h"

namespace lumivo {

// The hidden main window: it hosts the lamp, the timers, the dial-up buttons and the popup
// menu, and routes what happens to them to the job that deals with it. Nothing ever shows it.
class TrayWindow final : public Form, private TrayHost, private DoorWatcher {
 public:
  TrayWindow(WindowsServices& services, FormRuntime& runtime);

  // The program's start: refuses to run beside another copy, else loads this window.
  void Start();

  // The last message the lamp reported, as text.
  const std::u16string& LastTrayMessage() const { return trayEvents_.LastMessage(); }

 private:
  void OnLoad() override;
  void OnUnload() override;
  void OnClick(int control) override;
  void OnTimer(int control) override;
  void OnMouseMove(int control, float x) override;
  void OnTaskbarCreated() override;

  WindowHandle LampWindow(LampState state) override;
  IconHandle LampIcon(LampState state) override;
  void RetryLampEverySecond() override;
  void PopupMenu() override;
  void Close() override;

  void OnDoorMoved(DoorState state) override;
  DoorState LampDoor() const override;

  void OnSplashTimer();
  void SetSplashTimerRunning(bool running);

  WindowsServices& services_;
  AboutWindow about_;
  DriveDoor door_;
  Launchers launchers_;
  DriveBrowser driveBrowser_;
  HotkeyPoller hotkeys_;
  TrayLamp lamp_;
  TrayEvents trayEvents_;
  Endings endings_;
  bool splashOver_ = false;
  // The lamp the splash's end installs: the door may move while the splash is shown.
  LampState firstLamp_ = LampState::ClosedDoor;
  bool splashTimerRunning_ = true;  // timers run from the window's creation
};

}  // namespace lumivo
