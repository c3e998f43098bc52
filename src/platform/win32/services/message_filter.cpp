#include "platform/win32/windows_api.h"

#include "platform/win32/services/message_filter.h"

namespace lumivo {

void AllowMessageFromLowerRights(HWND window, UINT message) {
  using ChangeFilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  const FARPROC function =
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx");
  if (function == nullptr || message == 0) return;
  const auto changeFilter =
      reinterpret_cast<ChangeFilterFunction>(reinterpret_cast<void (*)()>(function));
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, from the SDK of Windows 7
  changeFilter(window, message, kAllow, nullptr);
}

}  // namespace lumivo
