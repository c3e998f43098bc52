#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form_runtime.h"
#include "platform/windows_services.h"

namespace lumivo::sim {

// One window of a loaded form, as the simulated desktop sees it.
struct SimWindowState {
  std::u16string form;
  const FormLayout* layout = nullptr;
  FormEvents* events = nullptr;
  WindowHandle hWnd = 0;
  bool visible = false;
  bool topmost = false;
  int x = 0, y = 0, width = 0, height = 0;
  std::map<int, WindowHandle> controls;
  std::map<int, IconHandle> pictures;
};

// An icon in the simulated notification area.
struct SimTrayIcon {
  WindowHandle hWnd = 0;
  std::uint32_t uID = 0;
  IconHandle hIcon = 0;
  std::string tip;  // UTF-8, up to the NUL
};

// Thrown by End to unwind the program's handlers to the event that the test injected, as the
// real End leaves them by ending the process.
struct ProgramEnded {};

// A deterministic Windows for the program's logic: a virtual clock, every call recorded in
// order (as readable lines, with handles named after their controls), and whatever the test
// sets up as the answers: key states, drive types, refusals, a user who answers message boxes
// and menus after a while.
class Simulation final : public WindowsServices, public FormRuntime {
 public:
  Simulation();
  ~Simulation() override;

  // WindowsServices
  std::string ToAnsi(std::u16string_view text) const override;
  bool Shell_NotifyIconA(std::uint32_t message, const NOTIFYICONDATA& data) override;
  void mciSendStringA(const std::string& command) override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;
  void ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand) override;
  void EnableShutdownPrivilege() override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  std::int16_t GetAsyncKeyState(std::int32_t virtualKey) override;
  void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                    int height, std::uint32_t flags) override;

  // FormRuntime
  std::unique_ptr<FormWindow> CreateForm(const FormLayout& layout, FormEvents& events) override;
  bool PrevInstance() override { return prevInstance_; }
  void MsgBox(std::u16string_view prompt) override;
  [[noreturn]] void End() override;
  std::optional<std::uint32_t> Shell(std::u16string_view commandLine, int windowStyle) override;
  float TwipsPerPixelX() const override { return twipsPerPixelX_; }

  // The recorded calls, oldest first.
  const std::vector<std::string>& Calls() const { return calls_; }
  // The calls without the hotkey poller's key queries, which otherwise come 500 a second.
  std::vector<std::string> CallsWithoutKeyQueries() const;
  void ClearCalls() { calls_.clear(); }
  const std::vector<NOTIFYICONDATA>& NotifyRecords() const { return notifyRecords_; }

  // Clock: Advance lets time pass with timer ticks delivered in order; Spend lets it pass
  // inside a call, with no event handled meanwhile.
  std::int64_t Now() const { return now_; }
  void Advance(std::int64_t milliseconds);
  void Spend(std::int64_t milliseconds) { now_ += milliseconds; }

  // What the user does inside a nested loop. The message box's runs while the box is open
  // (default: OK at once); the menu's returns the chosen item id (default: dismissed).
  std::function<void(std::u16string_view prompt)> onMsgBox;
  std::function<std::optional<int>(std::span<const MenuItemLayout> items)> onPopupMenu;

  // Runs what the program does in answer to something from outside (its start, an event);
  // an End inside stops it there. Every injected event below is run this way.
  void Run(const std::function<void()>& action);

  // Injected events.
  void SendMouseMove(WindowHandle control, std::int16_t pixelsX);  // message 512
  void Click(std::u16string_view form, int control);
  void CloseRequest(std::u16string_view form);
  void BroadcastTaskbarCreated();  // the shell restarted with an empty tray

  // Set-up.
  void SetPrevInstance(bool running) { prevInstance_ = running; }
  void SetTwipsPerPixelX(float twips) { twipsPerPixelX_ = twips; }
  void SetKeyState(std::int32_t virtualKey, std::int16_t state) { keyStates_[virtualKey] = state; }
  void SetDriveType(char letter, std::uint32_t type) { driveTypes_[letter] = type; }
  void FailProgram(std::u16string_view programName) { failingPrograms_.emplace(programName); }
  void SetTrayAccepts(bool accepts) { trayAccepts_ = accepts; }
  // The next `count` tray installs are refused; those that `stillAdd` add the icon anyway, as a
  // shell that timed out does.
  void RefuseTrayInstalls(int count, bool stillAdd = false) {
    refusedInstalls_ = count;
    refusedInstallsAdd_ = stillAdd;
  }
  void FailToCreate(std::u16string_view form) { failingForms_.emplace(form); }
  void SetExitWindowsAccepted(bool accepted) { exitWindowsAccepted_ = accepted; }
  void SetMciDuration(std::int64_t milliseconds) { mciDuration_ = milliseconds; }

  // Observations.
  bool Ended() const { return ended_; }
  const SimWindowState* FindWindow(std::u16string_view form) const;
  WindowHandle ControlHandle(std::u16string_view form, int control) const;
  const std::vector<SimTrayIcon>& TrayIcons() const { return tray_; }
  std::string HandleName(std::uint32_t handle) const;

 private:
  friend class SimFormWindow;

  struct SimTimer {
    WindowHandle form;
    int control;
    int interval;
    std::int64_t due;
    bool enabled;
  };

  void Record(std::string call) { calls_.push_back(std::move(call)); }
  SimWindowState* Find(WindowHandle window);
  SimWindowState* FindByControl(WindowHandle control, int* controlId);
  void DestroyWindow(WindowHandle window);
  void SetTimerEnabled(WindowHandle window, int control, bool enabled);
  std::uint32_t NewHandle(std::string name);
  // Calls the form's handler unless the program has ended or the window is gone.
  void Deliver(WindowHandle window, const std::function<void(FormEvents&)>& event);

  std::vector<std::string> calls_;
  std::vector<NOTIFYICONDATA> notifyRecords_;
  std::map<std::uint32_t, std::string> handleNames_;
  std::uint32_t nextHandle_ = 0x10000;
  std::vector<std::unique_ptr<SimWindowState>> windows_;
  std::vector<SimTimer> timers_;
  std::vector<SimTrayIcon> tray_;
  std::int64_t now_ = 0;
  std::int64_t mciDuration_ = 0;
  bool ended_ = false;
  bool prevInstance_ = false;
  bool trayAccepts_ = true;
  int refusedInstalls_ = 0;
  bool refusedInstallsAdd_ = false;
  bool running_ = false;
  bool exitWindowsAccepted_ = true;
  float twipsPerPixelX_ = 15.0f;
  std::uint32_t nextProcessId_ = 100;
  std::map<std::int32_t, std::int16_t> keyStates_;
  std::map<char, std::uint32_t> driveTypes_;
  std::set<std::u16string> failingPrograms_;
  std::set<std::u16string> failingForms_;
};

}  // namespace lumivo::sim
