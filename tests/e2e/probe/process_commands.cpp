// Commands about processes: which run, what they hold, what memory they use.
#include "probe.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Calls visit(entry) for each running process; false when the list cannot be had.
template <typename Visit>
bool ForEachProcess(Visit visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    visit(entry);
  }
  CloseHandle(snapshot);
  return true;
}

template <typename Function>
Function NtdllFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// Wine stubs GetGuiResources and GetProcessHandleCount; these two count what they would.
long GdiTableCount(HANDLE process) {
  using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = NtdllFunction<QueryProcess>("NtQueryInformationProcess");
  void* basic[6] = {};  // PROCESS_BASIC_INFORMATION: the PEB address is the second field
  if (!query || query(process, 0, basic, sizeof basic, nullptr) != 0) return -1;
  char* peb = static_cast<char*>(basic[1]);
  char* table = nullptr;
  constexpr SIZE_T kGdiTableOffset = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit layout
  if (!ReadProcessMemory(process, peb + kGdiTableOffset, &table, sizeof table, nullptr) || !table) {
    return -1;
  }
  constexpr SIZE_T kEntry = 24, kEntries = 0x10000, kChunk = 4096;  // type byte at offset 14
  std::vector<unsigned char> chunk(kChunk * kEntry);
  long used = 0;
  for (SIZE_T first = 0; first < kEntries; first += kChunk) {
    if (!ReadProcessMemory(process, table + first * kEntry, chunk.data(), chunk.size(), nullptr)) {
      break;
    }
    for (SIZE_T i = 0; i < kChunk; ++i) used += chunk[i * kEntry + 14] != 0;
  }
  return used;
}

long SystemHandleCount(DWORD pid) {
  using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  auto query = NtdllFunction<QuerySystem>("NtQuerySystemInformation");
  if (!query) return -1;
  std::vector<unsigned char> list(1 << 20);
  constexpr LONG kBufferTooSmall = static_cast<LONG>(0xC0000004);
  constexpr int kSystemHandleInformation = 16;
  LONG status;
  while ((status = query(kSystemHandleInformation, list.data(), static_cast<ULONG>(list.size()),
                         nullptr)) == kBufferTooSmall) {
    list.resize(list.size() * 2);
  }
  if (status != 0) return -1;
  ULONG entries = *reinterpret_cast<ULONG*>(list.data());
  long owned = 0;
  for (ULONG i = 0; i < entries; ++i) {  // entries of 24 bytes after an 8-byte count, pid first
    owned += *reinterpret_cast<ULONG*>(list.data() + 8 + i * 24) == pid;
  }
  return owned;
}

}  // namespace

int ListLumivoProcesses(int, wchar_t**) {
  return ForEachProcess([](const PROCESSENTRY32W& entry) {
    if (_wcsicmp(entry.szExeFile, L"Lumivo.exe") == 0) {
      Print(std::to_string(entry.th32ProcessID));
    }
  })
             ? 0
             : 1;
}

// Where Wine stubs GetGuiResources (an error) and GetProcessHandleCount (0), the probe's own
// counts stand in: the process's windows, its GDI handle table, its entries in the system
// handle list.
int CountObjects(int, wchar_t** args) {
  DWORD pid = static_cast<DWORD>(_wtol(args[0]));
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 1;
  SetLastError(0);
  long long gdi = GetGuiResources(process, GR_GDIOBJECTS);
  long long user = GetGuiResources(process, GR_USEROBJECTS);
  if (GetLastError() != 0) {
    gdi = GdiTableCount(process);
    user = static_cast<long long>(WindowsOfProcess(pid).size());
  }
  DWORD handles = 0;
  long long handleCount = GetProcessHandleCount(process, &handles) && handles
                              ? static_cast<long long>(handles)
                              : SystemHandleCount(pid);
  CloseHandle(process);
  char counts[120];
  std::snprintf(counts, sizeof counts, "{\"user\": %lld, \"gdi\": %lld, \"handles\": %lld}", user,
                gdi, handleCount);
  Print(counts);
  return 0;
}

int ReportMemory(int count, wchar_t** args) {
  int failures = 0;
  bool listed = ForEachProcess([&](const PROCESSENTRY32W& entry) {
    for (int i = 0; i < count; ++i) {
      if (_wcsicmp(entry.szExeFile, args[i]) != 0) continue;
      HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE,
                                   entry.th32ProcessID);
      PROCESS_MEMORY_COUNTERS_EX counters{};
      counters.cb = sizeof counters;
      if (!process ||
          !GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters)) {
        ++failures;
      } else {
        char figures[200];
        std::snprintf(figures, sizeof figures,
                      ", \"pid\": %lu, \"working_set\": %llu, \"private\": %llu, "
                      "\"peak_working_set\": %llu}",
                      entry.th32ProcessID, static_cast<unsigned long long>(counters.WorkingSetSize),
                      static_cast<unsigned long long>(counters.PrivateUsage),
                      static_cast<unsigned long long>(counters.PeakWorkingSetSize));
        Print("{\"exe\": " + Json(Utf8(entry.szExeFile)) + figures);
      }
      if (process) CloseHandle(process);
    }
  });
  return listed && failures == 0 ? 0 : 1;
}

int HoldLockedMutex(int, wchar_t** args) {
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ACL empty;  // an empty DACL grants nothing to anyone
  InitializeAcl(&empty, sizeof empty, ACL_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  if (!CreateMutexW(&attributes, FALSE, args[0])) return 1;
  Print("ready");
  for (;;) Sleep(INFINITE);
}

// Starts the command line in the probe's desktop and waits for it: prints {"exit": CODE}, or
// ends it and fails after TIMEOUT_MS.
int RunAndWait(int, wchar_t** args) {
  wchar_t desktop[256] = {};
  if (!GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop,
                                 sizeof desktop, nullptr)) {
    return 1;
  }
  std::wstring commandLine = args[1];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 1;
  }
  CloseHandle(process.hThread);
  DWORD exitCode = 0;
  const bool ended = WaitForSingleObject(process.hProcess,
                                         static_cast<DWORD>(NumberArg(args[0]))) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(process.hProcess, &exitCode);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  if (ended) Print("{\"exit\": " + std::to_string(exitCode) + "}");
  return ended ? 0 : 1;
}
