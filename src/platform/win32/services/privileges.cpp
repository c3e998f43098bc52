#include "platform/win32/windows_api.h"

#include "platform/win32/services/privileges.h"

#include "platform/win32/unique_handles.h"

namespace lumivo {
namespace {

// Vista's token classes, which XP's headers lack and XP's GetTokenInformation refuses.
constexpr auto kTokenElevationType = static_cast<TOKEN_INFORMATION_CLASS>(18);
constexpr DWORD kTokenElevationTypeFull = 2;

UniqueKernelHandle OwnToken(DWORD access) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), access, &token)) return nullptr;
  return UniqueKernelHandle(token);
}

}  // namespace

void EnablePrivilege(const wchar_t* name) {
  const UniqueKernelHandle token = OwnToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
  if (!token) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
    ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  }
}

bool RunsAsLocalSystem() {
  const UniqueKernelHandle token = OwnToken(TOKEN_QUERY);
  // TOKEN_USER and the SID it points to, in one buffer.
  alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  return token && ::GetTokenInformation(token.get(), TokenUser, user, sizeof user, &size) &&
         ::IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, WinLocalSystemSid);
}

bool RunsElevatedByUac() {
  const UniqueKernelHandle token = OwnToken(TOKEN_QUERY);
  DWORD type = 0;
  DWORD size = 0;
  return token &&
         ::GetTokenInformation(token.get(), kTokenElevationType, &type, sizeof type, &size) &&
         type == kTokenElevationTypeFull;
}

}  // namespace lumivo
