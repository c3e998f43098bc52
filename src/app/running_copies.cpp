#include "platform/win32/windows_api.h"

#include "app/running_copies.h"

#include <tlhelp32.h>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/wide_text.h"

namespace lumivo {

std::vector<RunningCopy> FindRunningCopies() {
  std::vector<RunningCopy> copies;
  const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return copies;
  const DWORD self = ::GetCurrentProcessId();
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self || ::lstrcmpiW(entry.szExeFile, L"Lumivo.exe") != 0) continue;
    DWORD session = 0;
    // A process that ended since the snapshot has no session: it needs no closing.
    if (::ProcessIdToSessionId(entry.th32ProcessID, &session)) {
      copies.push_back({entry.th32ProcessID, session});
    }
  }
  return copies;
}

DWORD OwnSessionId() {
  DWORD session = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
  return session;
}

// QueryFullProcessImageNameW and the limited query right came with Vista; the exe must still
// load on XP, so both are looked up here.
std::u16string ImageOfProcess(DWORD processId) {
  constexpr DWORD kQueryLimitedInformation = 0x1000;
  SystemLibrary kernel(L"kernel32.dll");
  const auto queryImageName =
      kernel.Find<BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD)>("QueryFullProcessImageNameW");
  if (queryImageName == nullptr) return {};
  const UniqueKernelHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
  if (!process) return {};
  std::u16string path(32'768, u'\0');
  DWORD length = static_cast<DWORD>(path.size());
  if (!queryImageName(process.get(), 0, AsWide(path), &length)) return {};
  path.resize(length);
  return path;
}

}  // namespace lumivo
