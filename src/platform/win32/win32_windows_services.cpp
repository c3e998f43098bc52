#include "platform/win32/windows_api.h"

#include "platform/win32/win32_windows_services.h"

#include <mmsystem.h>

#include <cstring>

#include "platform/win32/handle_values.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/wide_text.h"

namespace lumivo {
namespace {

static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88,
              "on 32-bit Windows the logic's record is the shell's own");

// The shell's record for this bitness, with the logic's values in it.
NOTIFYICONDATAA NativeRecord(const TrayIconRecord& record) {
  NOTIFYICONDATAA native{};
  if constexpr (sizeof(void*) == 4) {
    std::memcpy(&native, &record, sizeof record);
  } else {
    native.cbSize = NOTIFYICONDATAA_V1_SIZE;
    native.hWnd = HandleFromValue<HWND>(record.window);
    native.uID = record.id;
    native.uFlags = record.flags;
    native.uCallbackMessage = record.callbackMessage;
    native.hIcon = HandleFromValue<HICON>(record.icon);
    static_assert(sizeof native.szTip >= sizeof record.tip);
    std::memcpy(native.szTip, record.tip, sizeof record.tip);
  }
  return native;
}

}  // namespace

std::string Win32WindowsServices::ToAnsi(std::u16string_view text) const {
  if (text.empty()) return {};
  const int wideLength = static_cast<int>(text.size());
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, WideChars(text), wideLength, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, WideChars(text), wideLength, ansi.data(), length, nullptr,
                        nullptr);
  return ansi;
}

bool Win32WindowsServices::Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record) {
  const auto notify = shell_.Find<decltype(&::Shell_NotifyIconA)>("Shell_NotifyIconA");
  NOTIFYICONDATAA native = NativeRecord(record);
  return notify != nullptr && notify(static_cast<DWORD>(request), &native) != FALSE;
}

void Win32WindowsServices::mciSendStringA(const std::string& command) {
  const auto send = multimedia_.Find<decltype(&::mciSendStringA)>("mciSendStringA");
  if (send != nullptr) send(command.c_str(), nullptr, 0, nullptr);
}

std::uint32_t Win32WindowsServices::GetDriveTypeA(const std::string& rootPath) {
  return ::GetDriveTypeA(rootPath.c_str());
}

void Win32WindowsServices::ShellExecuteA(WindowHandle owner, const std::string& file,
                                         int showCommand) {
  const auto execute = shell_.Find<decltype(&::ShellExecuteA)>("ShellExecuteA");
  if (execute == nullptr) return;
  execute(HandleFromValue<HWND>(owner), "open", file.c_str(), nullptr, nullptr, showCommand);
}

void Win32WindowsServices::EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return;
  }
  const UniqueKernelHandle ownedToken(token);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
    return;
  }
  ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
}

void Win32WindowsServices::ExitWindowsEx(WindowsExit how, std::uint32_t reserved,
                                         ExitWindowsAnswer& answer) {
  answer.OnExitWindowsAnswered(::ExitWindowsEx(static_cast<UINT>(how), reserved) != FALSE);
}

std::int16_t Win32WindowsServices::GetAsyncKeyState(std::int32_t virtualKey) {
  return static_cast<std::int16_t>(::GetAsyncKeyState(virtualKey));
}

void Win32WindowsServices::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                                        int width, int height, std::uint32_t flags) {
  ::SetWindowPos(HandleFromValue<HWND>(window), HandleFromValue<HWND>(insertAfter), x, y, width,
                 height, flags);
}

}  // namespace lumivo
