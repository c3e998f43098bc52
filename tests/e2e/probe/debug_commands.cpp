// Commands that watch what another process passes to a system function: the probe attaches to
// it as its debugger and breaks on the function's first instruction.
#include "probe.h"

#include <psapi.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr BYTE kBreakpoint = 0xCC;
constexpr DWORD kTrapFlag = 0x100;
constexpr SIZE_T kMaxRecord = 1024;

// The function's address in the other process: its offset in the probe's own copy of the DLL,
// from where the other process has that DLL.
BYTE* RemoteFunction(HANDLE process, const wchar_t* dll, const char* function) {
  HMODULE own = LoadLibraryW(dll);
  FARPROC local = own ? GetProcAddress(own, function) : nullptr;
  if (!local) return nullptr;
  HMODULE modules[1024];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return nullptr;
  for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 1024; ++i) {
    wchar_t name[MAX_PATH];
    if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) && _wcsicmp(name, dll) == 0) {
      return reinterpret_cast<BYTE*>(modules[i]) +
             (reinterpret_cast<BYTE*>(local) - reinterpret_cast<BYTE*>(own));
    }
  }
  return nullptr;
}

bool WriteByte(HANDLE process, BYTE* at, BYTE value) {
  return WriteProcessMemory(process, at, &value, 1, nullptr) &&
         FlushInstructionCache(process, at, 1);
}

// The first two arguments of a call stopped at the function's first instruction.
bool FirstArguments(HANDLE process, const CONTEXT& context, UINT_PTR& first, UINT_PTR& second) {
#ifdef _WIN64
  (void)process;
  first = context.Rcx;
  second = context.Rdx;
  return true;
#else
  DWORD arguments[2];  // above the return address
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(context.Esp + 4), arguments,
                         sizeof arguments, nullptr)) {
    return false;
  }
  first = arguments[0];
  second = arguments[1];
  return true;
#endif
}

// Prints {"message": N, "record": "hex"}: the record's first cbSize bytes.
bool PrintRecord(HANDLE process, UINT_PTR message, UINT_PTR record) {
  DWORD size = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(record), &size, sizeof size, nullptr) ||
      size < sizeof size || size > kMaxRecord) {
    return false;
  }
  BYTE bytes[kMaxRecord];
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(record), bytes, size, nullptr)) {
    return false;
  }
  std::string hex;
  for (DWORD i = 0; i < size; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    hex += pair;
  }
  Print("{\"message\": " + std::to_string(message) + ", \"record\": \"" + hex + "\"}");
  return true;
}

// At the breakpoint: reports the call, puts the first instruction back and runs it by a
// single step, after which the breakpoint goes in again.
bool ReportCall(HANDLE process, DWORD threadId, BYTE* function, BYTE original) {
  HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, threadId);
  if (!thread) return false;
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
  UINT_PTR message = 0, record = 0;
  bool reported = GetThreadContext(thread, &context) &&
                  FirstArguments(process, context, message, record) &&
                  PrintRecord(process, message, record);
#ifdef _WIN64
  context.Rip = reinterpret_cast<DWORD64>(function);
#else
  context.Eip = reinterpret_cast<DWORD>(function);
#endif
  context.EFlags |= kTrapFlag;
  reported =
      reported && WriteByte(process, function, original) && SetThreadContext(thread, &context);
  CloseHandle(thread);
  return reported;
}

}  // namespace

// tray-records PID N TIMEOUT_MS: the Shell_NotifyIconA calls of process PID, as the shell gets
// them, until N have been seen. Prints "ready" once watching, then one record a line.
int WatchTrayRecords(int, wchar_t** args) {
  const DWORD pid = static_cast<DWORD>(NumberArg(args[0]));
  const UINT_PTR wanted = NumberArg(args[1]);
  const DWORD timeout = static_cast<DWORD>(NumberArg(args[2]));
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
  if (!process) return 1;
  BYTE* function = RemoteFunction(process, L"shell32.dll", "Shell_NotifyIconA");
  BYTE original = 0;
  if (!function || !ReadProcessMemory(process, function, &original, 1, nullptr) ||
      !DebugActiveProcess(pid)) {
    CloseHandle(process);
    return 1;
  }
  DebugSetProcessKillOnExit(FALSE);
  bool armed = WriteByte(process, function, kBreakpoint);
  if (armed) Print("ready");
  UINT_PTR seen = 0;
  bool failed = !armed, ended = false, stepping = false;
  const DWORD start = GetTickCount();
  DEBUG_EVENT event{};
  // After the last call too, the single step must come back here: a debugger gone by then
  // would leave it to the program as an exception of its own.
  while (!failed && !ended && (seen < wanted || stepping)) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeout || !WaitForDebugEvent(&event, timeout - elapsed)) break;
    DWORD status = DBG_CONTINUE;
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
      if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
    } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
      if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
    } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
      ended = true;
    } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
      const EXCEPTION_RECORD& exception = event.u.Exception.ExceptionRecord;
      if (exception.ExceptionCode == EXCEPTION_BREAKPOINT &&
          exception.ExceptionAddress == function) {
        failed = !ReportCall(process, event.dwThreadId, function, original);
        armed = false;
        stepping = true;
        ++seen;
      } else if (exception.ExceptionCode == EXCEPTION_SINGLE_STEP && stepping) {
        stepping = false;
        armed = seen < wanted && WriteByte(process, function, kBreakpoint);
        failed = seen < wanted && !armed;
      } else if (exception.ExceptionCode != EXCEPTION_BREAKPOINT) {
        status = DBG_EXCEPTION_NOT_HANDLED;  // the program's own, for it to handle
      }
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  if (!ended) {
    if (armed) WriteByte(process, function, original);
    DebugActiveProcessStop(pid);
  }
  CloseHandle(process);
  return !failed && seen == wanted ? 0 : 1;
}
