#include "platform/win32/windows_api.h"

#include "app/closed_sessions.h"

#include "platform/win32/unique_handles.h"

namespace lumivo {
namespace {

constexpr wchar_t kProductKey[] = L"Software\\Norbek\\Lumivo";
constexpr wchar_t kValueName[] = L"ReopenSessions";

using UniqueKey = UniqueHandle<HKEY, &::RegCloseKey>;

UniqueKey OpenProductKey(REGSAM access) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        access, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return UniqueKey(key);
}

}  // namespace

// The value holds the session ids as DWORDs (REG_BINARY).
bool RememberClosedSessions(const std::vector<DWORD>& sessions) {
  const UniqueKey key = OpenProductKey(KEY_SET_VALUE);
  return key &&
         ::RegSetValueExW(key.get(), kValueName, 0, REG_BINARY,
                          reinterpret_cast<const BYTE*>(sessions.data()),
                          static_cast<DWORD>(sessions.size() * sizeof(DWORD))) == ERROR_SUCCESS;
}

std::vector<DWORD> TakeClosedSessions() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &opened) != ERROR_SUCCESS) {
    return {};
  }
  const UniqueKey key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key.get(), kValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_BINARY) {
    return {};
  }
  std::vector<DWORD> sessions(size / sizeof(DWORD));
  size = static_cast<DWORD>(sessions.size() * sizeof(DWORD));
  if (::RegQueryValueExW(key.get(), kValueName, nullptr, &type,
                         reinterpret_cast<BYTE*>(sessions.data()), &size) != ERROR_SUCCESS) {
    return {};
  }
  sessions.resize(size / sizeof(DWORD));
  if (::RegDeleteValueW(key.get(), kValueName) != ERROR_SUCCESS) return {};
  return sessions;
}

}  // namespace lumivo
