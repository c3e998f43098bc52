#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sim/simulation.h"
#include "platform/sim/text_codec.h"

namespace lumivo::sim {
namespace {

std::string Quoted(const std::string& ansi) { return "\"" + GbkToUtf8(ansi) + "\""; }

std::string TipText(const NOTIFYICONDATA& data) {
  const char* end = static_cast<const char*>(std::memchr(data.szTip, '\0', sizeof data.szTip));
  return GbkToUtf8(std::string(data.szTip, end ? end : data.szTip + sizeof data.szTip));
}

}  // namespace

std::string Simulation::ToAnsi(std::u16string_view text) const { return ToGbk(text); }

// Keeps a tray like the shell's: one icon per window and id, added and deleted as asked.
bool Simulation::Shell_NotifyIconA(std::uint32_t message, const NOTIFYICONDATA& data) {
  notifyRecords_.push_back(data);
  const auto same = [&](const SimTrayIcon& icon) {
    return icon.hWnd == data.hWnd && icon.uID == data.uID;
  };
  const bool present = std::ranges::any_of(tray_, same);
  if (message == NIM_ADD) {
    Record("Shell_NotifyIconA NIM_ADD " + HandleName(data.hWnd) +
           " uID=" + std::to_string(data.uID) + " uFlags=" + std::to_string(data.uFlags) +
           " uCallbackMessage=" + std::to_string(data.uCallbackMessage) +
           " hIcon=" + HandleName(data.hIcon) + " szTip=\"" + TipText(data) + "\"");
    if (refusedInstalls_ > 0) {
      --refusedInstalls_;
      if (refusedInstallsAdd_ && !present) {
        tray_.push_back({data.hWnd, data.uID, data.hIcon, TipText(data)});
      }
      return false;
    }
    if (!trayAccepts_ || present) return false;
    tray_.push_back({data.hWnd, data.uID, data.hIcon, TipText(data)});
    return true;
  }
  Record("Shell_NotifyIconA NIM_DELETE " + HandleName(data.hWnd) +
         " uID=" + std::to_string(data.uID));
  if (!present) return false;
  std::erase_if(tray_, same);
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

void Simulation::ShellExecuteA(WindowHandle owner, const std::string& file, int showCommand) {
  Record("ShellExecuteA " + HandleName(owner) + " open " + Quoted(file) + " " +
         std::to_string(showCommand));
}

void Simulation::EnableShutdownPrivilege() { Record("EnableShutdownPrivilege"); }

bool Simulation::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  Record("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reserved));
  return exitWindowsAccepted_;
}

std::int16_t Simulation::GetAsyncKeyState(std::int32_t virtualKey) {
  Record("GetAsyncKeyState " + std::to_string(virtualKey));
  const auto found = keyStates_.find(virtualKey);
  return found == keyStates_.end() ? 0 : found->second;
}

void Simulation::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, std::uint32_t flags) {
  const std::string after = insertAfter == HWND_TOPMOST ? "HWND_TOPMOST" : HandleName(insertAfter);
  Record("SetWindowPos " + HandleName(window) + " " + after + " " + std::to_string(x) + " " +
         std::to_string(y) + " " + std::to_string(width) + " " + std::to_string(height) + " " +
         std::to_string(flags));
  SimWindowState* state = Find(window);
  if (!state) return;
  state->x = x;
  state->y = y;
  state->width = width;
  state->height = height;
  state->topmost = state->topmost || insertAfter == HWND_TOPMOST;
  state->visible = state->visible || (flags & SWP_SHOWWINDOW) != 0;
}

}  // namespace lumivo::sim
