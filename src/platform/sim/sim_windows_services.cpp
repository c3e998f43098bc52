#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/sim/simulation.h"
#include "platform/sim/text_codec.h"

namespace lumivo::sim {
namespace {

std::string Quoted(const std::string& ansi) { return "\"" + GbkToUtf8(ansi) + "\""; }

const char* DoorName(DoorState state) {
  switch (state) {
    case DoorState::Open:
      return "open";
    case DoorState::Closed:
      return "closed";
    case DoorState::Unknown:
      break;
  }
  return "unknown";
}

std::string TipText(const TrayIconRecord& record) {
  const char* end = static_cast<const char*>(std::memchr(record.tip, '\0', sizeof record.tip));
  return GbkToUtf8(std::string(record.tip, end ? end : record.tip + sizeof record.tip));
}

}  // namespace

std::string Simulation::ToAnsi(std::u16string_view text) const { return ToGbk(text); }

// Keeps a tray like the shell's: one icon per window and id, added and deleted as asked.
bool Simulation::Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                                   std::u16string_view) {
  trayRecords_.push_back(record);
  const auto same = [&](const SimTrayIcon& icon) {
    return icon.window == record.window && icon.id == record.id;
  };
  const bool present = std::ranges::any_of(tray_, same);
  if (request == TrayRequest::Delete) {
    Record("Shell_NotifyIconA NIM_DELETE " + HandleName(record.window) +
           " uID=" + std::to_string(record.id));
    if (!present) return false;
    std::erase_if(tray_, same);
    return true;
  }
  Record("Shell_NotifyIconA NIM_ADD " + HandleName(record.window) +
         " uID=" + std::to_string(record.id) + " uFlags=" + std::to_string(record.flags) +
         " uCallbackMessage=" + std::to_string(record.callbackMessage) +
         " hIcon=" + HandleName(record.icon) + " szTip=\"" + TipText(record) + "\"");
  const SimTrayIcon icon{record.window, record.id, record.icon, TipText(record)};
  if (refusedInstalls_ > 0) {
    --refusedInstalls_;
    if (refusedInstallsAdd_ && !present) tray_.push_back(icon);
    return false;
  }
  if (!trayAccepts_ || present) return false;
  tray_.push_back(icon);
  return true;
}

void Simulation::mciSendStringA(const std::string& command) {
  Record("mciSendStringA " + Quoted(command));
  Spend(mciDuration_);
}

std::uint32_t Simulation::GetDriveTypeA(const std::string& rootPath) {
  Record("GetDriveTypeA " + Quoted(rootPath));
  const auto found = rootPath.empty() ? driveTypes_.end() : driveTypes_.find(rootPath.front());
  return found == driveTypes_.end() ? 1 : found->second;  // 1: no such root
}

void Simulation::ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand,
                               std::u16string_view) {
  Record("ShellExecuteA " + HandleName(owner) + " open " + Quoted(file) + " " +
         std::to_string(showCommand));
}

void Simulation::EnableShutdownPrivilege() { Record("EnableShutdownPrivilege"); }

void Simulation::ExitWindowsEx(WindowsExit how, std::uint32_t reserved, ExitWindowsAnswer& answer) {
  Record("ExitWindowsEx " + std::to_string(static_cast<std::uint32_t>(how)) + " " +
         std::to_string(reserved));
  if (holdExitWindowsAnswers_) {
    heldExitWindowsAnswer_ = &answer;
  } else {
    answer.OnExitWindowsAnswered(exitWindowsAccepted_);
  }
}

void Simulation::AnswerExitWindows(bool accepted) {
  ExitWindowsAnswer* const answer = std::exchange(heldExitWindowsAnswer_, nullptr);
  if (answer) Run([&] { answer->OnExitWindowsAnswered(accepted); });
}

std::int16_t Simulation::GetAsyncKeyState(std::int32_t virtualKey) {
  Record("GetAsyncKeyState " + std::to_string(virtualKey));
  const auto found = keyStates_.find(virtualKey);
  return found == keyStates_.end() ? 0 : found->second;
}

void Simulation::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, std::uint32_t flags) {
  const std::string after = insertAfter == kTopmost ? "HWND_TOPMOST" : HandleName(insertAfter);
  Record("SetWindowPos " + HandleName(window) + " " + after + " " + std::to_string(x) + " " +
         std::to_string(y) + " " + std::to_string(width) + " " + std::to_string(height) + " " +
         std::to_string(flags));
  SimWindowState* state = Find(window);
  if (!state) return;
  state->x = x;
  state->y = y;
  state->width = width;
  state->height = height;
  state->topmost = state->topmost || insertAfter == kTopmost;
  state->visible = state->visible || (flags & kShowWindowFlag) != 0;
}

bool Simulation::IsLampDrive(std::u16string_view drive) {
  return drive.empty() || drive == std::u16string_view(&lampDriveLetter_, 1);
}

DoorState Simulation::DoorStateOf(std::u16string_view drive) {
  Record("DoorStateOf \"" + ToUtf8(drive) + "\"");
  const auto found = doorStates_.find(std::u16string(drive));
  return found == doorStates_.end() ? DoorState::Unknown : found->second;
}

DoorResult Simulation::MoveDoor(std::u16string_view drive, bool open) {
  Record("MoveDoor \"" + ToUtf8(drive) + "\" " + (open ? "open" : "closed"));
  Spend(mciDuration_);
  const auto found = doorResults_.find(std::u16string(drive));
  return found == doorResults_.end() ? DoorResult::Done : found->second;
}

void Simulation::WatchDoor(DoorWatcher& watcher) {
  Record("WatchDoor");
  doorWatcher_ = &watcher;
}

DoorState Simulation::RunningLampDoor() {
  Record("RunningLampDoor");
  return runningLampDoor_;
}

void Simulation::TellRunningCopy(DoorState moved) {
  Record(std::string("TellRunningCopy ") + DoorName(moved));
}

void Simulation::ChangeDoor(DoorState state) {
  SetDoorState(u"", state);
  if (doorWatcher_) Run([&] { doorWatcher_->OnDoorMoved(state); });
}

void Simulation::NoticeFromDoorCommandLine(DoorState moved) {
  if (doorWatcher_) Run([&] { doorWatcher_->OnDoorMoved(moved); });
}

}  // namespace lumivo::sim
