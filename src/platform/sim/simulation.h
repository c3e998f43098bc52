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
  WindowHandle handle = 0;
  bool visible = false;
  bool topmost = false;
  int x = 0, y = 0, width = 0, height = 0;
  std::map<int, WindowHandle> controls;
  std::map<int, IconHandle> icons;
};

// An icon in the simulated notification area.
struct SimTrayIcon {
  WindowHandle window = 0;
  std::uint32_t id = 0;
  IconHandle icon = 0;
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
  bool Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                         std::u16string_view tip) override;
  void mciSendStringA(const std::string& command) override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;
  void ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand,
                     std::u16string_view fileText) override;
  void EnableShutdownPrivilege() override;
  void ExitWindowsEx(WindowsExit how, std::uint32_t reserved, ExitWindowsAnswer& answer) override;
  std::int16_t GetAsyncKeyState(std::int32_t virtualKey) override;
  void SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                    int height, std::uint32_t flags) override;
  bool IsLampDrive(std::u16string_view drive) override;
  DoorState DoorStateOf(std::u16string_view drive) override;
  DoorResult MoveDoor(std::u16string_view drive, bool open) override;
  void WatchDoor(DoorWatcher& watcher) override;
  DoorState RunningLampDoor() override;
  void TellRunningCopy(DoorState moved) override;

  // FormRuntime
  std::unique_ptr<FormWindow> CreateForm(const FormLayout& layout, FormEvents& events) override;
  bool AnotherCopyIsRunning() override { return anotherCopyRunning_; }
  void ShowMessage(std::u16string_view prompt) override;
  [[noreturn]] void End(int exitCode) override;
  std::optional<std::uint32_t> StartProgram(std::u16string_view commandLine,
                                            int windowStyle) override;
  float TwipsPerPixel() const override { return twipsPerPixel_; }
  bool FileExists(std::u16string_view path) override;
  std::u16string ProgramFolder() const override { return programFolder_; }

  // The recorded calls, oldest first.
  const std::vector<std::string>& Calls() const { return calls_; }
  // The calls without the hotkey poller's key queries, which otherwise come 500 a second.
  std::vector<std::string> CallsWithoutKeyQueries() const;
  void ClearCalls() { calls_.clear(); }
  const std::vector<TrayIconRecord>& TrayRecords() const { return trayRecords_; }

  // Clock: Advance lets time pass with timer ticks delivered in order; Spend lets it pass
  // inside a call, with no event handled meanwhile.
  std::int64_t Now() const { return now_; }
  void Advance(std::int64_t milliseconds);
  void Spend(std::int64_t milliseconds) { now_ += milliseconds; }

  // What the user does inside a nested loop. The message box's runs while the box is open
  // (default: OK at once); the menu's returns the name of the chosen item (default: none).
  std::function<void(std::u16string_view prompt)> onMessage;
  std::function<std::optional<std::u16string_view>(std::span<const MenuItemLayout> items)>
      onPopupMenu;

  // Runs what the program does in answer to something from outside (its start, an event);
  // an End inside stops it there. Every injected event below is run this way.
  void Run(const std::function<void()>& action);

  // Injected events; controls are named as in their form's layout.
  void SendMouseMove(WindowHandle control, std::int16_t pixelsX);  // message 512
  void SendMouseMoveInTwips(WindowHandle control, float x);        // as the run-time reports it
  void Click(std::u16string_view form, std::u16string_view control);
  void CloseRequest(std::u16string_view form);
  void BroadcastTaskbarCreated();  // the shell restarted with an empty tray
  // The lamp's drive's door moved by other means, as its backend tells the watcher: the system
  // reported it (also what DoorStateOf answers for the lamp's drive from then on), or a door
  // command line said it moved the door.
  void ChangeDoor(DoorState state);
  void NoticeFromDoorCommandLine(DoorState moved);

  // Set-up.
  void SetAnotherCopyRunning(bool running) { anotherCopyRunning_ = running; }
  void SetTwipsPerPixel(float twips) { twipsPerPixel_ = twips; }
  void SetKeyState(std::int32_t virtualKey, std::int16_t state) { keyStates_[virtualKey] = state; }
  void SetDriveType(char letter, std::uint32_t type) { driveTypes_[letter] = type; }
  void FailProgram(std::u16string_view programName) { failingPrograms_.emplace(programName); }
  void SetTrayAccepts(bool accepts) { trayAccepts_ = accepts; }
  // The next `count` tray installs are refused; with `stillAdd` they add the icon anyway, as
  // a shell that timed out does.
  void RefuseTrayInstalls(int count, bool stillAdd = false) {
    refusedInstalls_ = count;
    refusedInstallsAdd_ = stillAdd;
  }
  void FailToCreate(std::u16string_view form) { failingForms_.emplace(form); }
  // The next `count` starts of a stopped timer fail, as SetTimer does without USER handles.
  void FailTimerStarts(int count) { failingTimerStarts_ = count; }
  void SetExitWindowsAccepted(bool accepted) { exitWindowsAccepted_ = accepted; }
  // Restart and shutdown requests wait for AnswerExitWindows instead of being answered at
  // once, as a session manager waiting for the user's password keeps them.
  void HoldExitWindowsAnswers() { holdExitWindowsAnswers_ = true; }
  // The held request's answer, handled as an event from outside; none once the program ended.
  void AnswerExitWindows(bool accepted);
  void SetMciDuration(std::int64_t milliseconds) { mciDuration_ = milliseconds; }
  // Files exist only once added; paths are compared without regard to ASCII case.
  void AddFile(std::u16string_view path);
  void SetProgramFolder(std::u16string_view folder) { programFolder_ = folder; }
  // Drives are named as DriveDoor names them: "" for the lamp's drive, "E", or a path.
  void SetDoorState(std::u16string_view drive, DoorState state) {
    doorStates_[std::u16string(drive)] = state;
  }
  void SetDoorResult(std::u16string_view drive, DoorResult result) {
    doorResults_[std::u16string(drive)] = result;
  }
  // The letter of the lamp's drive (default D) and the lamp of a copy that runs beside.
  void SetLampDriveLetter(char16_t letter) { lampDriveLetter_ = letter; }
  void SetRunningLampDoor(DoorState state) { runningLampDoor_ = state; }

  // Observations.
  bool Ended() const { return ended_; }
  int ExitCode() const { return exitCode_; }
  const SimWindowState* FindWindow(std::u16string_view form) const;
  // The window of a form's control; index for an element of a control array.
  WindowHandle ControlHandle(std::u16string_view form, std::u16string_view control,
                             int index = -1) const;
  const std::vector<SimTrayIcon>& TrayIcons() const { return tray_; }
  // The watcher's view of the lamp, Unknown while nothing watches.
  DoorState WatchedLampDoor() const {
    return doorWatcher_ ? doorWatcher_->LampDoor() : DoorState::Unknown;
  }
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
  bool SetTimerEnabled(WindowHandle window, int control, bool enabled);
  std::uint32_t NewHandle(std::string name);
  // Calls the form's handler unless the program has ended or the window is gone.
  void Deliver(WindowHandle window, const std::function<void(FormEvents&)>& event);

  std::vector<std::string> calls_;
  std::vector<TrayIconRecord> trayRecords_;
  std::map<std::uint32_t, std::string> handleNames_;
  std::uint32_t nextHandle_ = 0x10000;
  std::vector<std::unique_ptr<SimWindowState>> windows_;
  std::vector<SimTimer> timers_;
  std::vector<SimTrayIcon> tray_;
  std::int64_t now_ = 0;
  std::int64_t mciDuration_ = 0;
  bool ended_ = false;
  int exitCode_ = 0;
  int failingTimerStarts_ = 0;
  bool running_ = false;
  bool anotherCopyRunning_ = false;
  bool trayAccepts_ = true;
  int refusedInstalls_ = 0;
  bool refusedInstallsAdd_ = false;
  bool exitWindowsAccepted_ = true;
  bool holdExitWindowsAnswers_ = false;
  ExitWindowsAnswer* heldExitWindowsAnswer_ = nullptr;
  float twipsPerPixel_ = 15.0f;
  std::uint32_t nextProcessId_ = 100;
  std::map<std::int32_t, std::int16_t> keyStates_;
  std::map<char, std::uint32_t> driveTypes_;
  std::set<std::u16string> failingPrograms_;
  std::set<std::u16string> failingForms_;
  std::set<std::u16string> files_;
  std::u16string programFolder_ = u"C:\\Program Files\\Lumivo";
  std::map<std::u16string, DoorState> doorStates_;
  std::map<std::u16string, DoorResult> doorResults_;
  char16_t lampDriveLetter_ = u'D';
  DoorState runningLampDoor_ = DoorState::Unknown;
  DoorWatcher* doorWatcher_ = nullptr;
};

}  // namespace lumivo::sim
