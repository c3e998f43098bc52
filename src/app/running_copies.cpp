#include "platform/win32/windows_api.h"

#include "app/running_copies.h"

#include <wtsapi32.h>

#include "platform/win32/system_library.h"
#include "platform/win32/text/wide_text.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// The terminal services' list names every process with its session, whoever owns it, without
// opening any: a process of another user, which OpenProcess refuses, is still seen.
std::vector<RunningCopy> FindRunningCopies() {
  std::vector<RunningCopy> copies;
  SystemLibrary wtsapi(L"wtsapi32.dll");
  const auto enumerate = wtsapi.Find<decltype(&::WTSEnumerateProcessesW)>("WTSEnumerateProcessesW");
  const auto release = wtsapi.Find<decltype(&::WTSFreeMemory)>("WTSFreeMemory");
  WTS_PROCESS_INFOW* processes = nullptr;
  DWORD count = 0;
  if (!enumerate || !release || !enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &processes, &count)) {
    return copies;
  }
  const DWORD self = ::GetCurrentProcessId();
  for (DWORD i = 0; i < count; ++i) {
    const WTS_PROCESS_INFOW& process = processes[i];
    if (process.ProcessId != self && process.pProcessName != nullptr &&
        ::lstrcmpiW(process.pProcessName, L"Lumivo.exe") == 0) {
      copies.push_back({process.ProcessId, process.SessionId});
    }
  }
  release(processes);
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
