// Bench helper run under Wine: joins a desktop by name, then reads memory figures of processes
// or posts messages to Lumivo's windows with a timestamped marker.
// Usage: bench_probe.exe DESKTOP COMMAND [ARGS]
//   mem EXE...   one JSON line per running process with that image name: pid, working set,
//                private bytes (PROCESS_MEMORY_COUNTERS_EX)
//   children     one JSON line per child window of Lumivo.exe's top-level windows
//   close-message CLASS   posts WM_CLOSE to the message-only window of that class
//   serve        reads "post HWND MSG WPARAM LPARAM" lines from stdin; for each writes the
//                marker "lumivo-bench post" with OutputDebugStringA (seen under +debugstr),
//                posts at once, and answers "posted" or "failed"
// Exit code 0 on success, 1 when a query fails, 2 on misuse.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

bool JoinDesktop(const wchar_t* name) {
  HDESK d = OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
  return d && SetThreadDesktop(d);
}

void Print(const char* line) {
  std::fputs(line, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Mem(int argc, wchar_t** argv) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 1;
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  int failures = 0;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
    for (int i = 3; i < argc; ++i) {
      if (_wcsicmp(pe.szExeFile, argv[i]) != 0) continue;
      HANDLE p =
          OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pe.th32ProcessID);
      PROCESS_MEMORY_COUNTERS_EX c{};
      c.cb = sizeof c;
      if (!p ||
          !GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c)) {
        ++failures;
      } else {
        char line[256];
        std::snprintf(line, sizeof line,
                      "{\"exe\": \"%ls\", \"pid\": %lu, \"working_set\": %llu, \"private\": %llu, "
                      "\"peak_working_set\": %llu}",
                      pe.szExeFile, pe.th32ProcessID,
                      static_cast<unsigned long long>(c.WorkingSetSize),
                      static_cast<unsigned long long>(c.PrivateUsage),
                      static_cast<unsigned long long>(c.PeakWorkingSetSize));
        Print(line);
      }
      if (p) CloseHandle(p);
    }
  }
  CloseHandle(snap);
  return failures ? 1 : 0;
}

bool IsLumivoWindow(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  bool found = false;
  for (BOOL ok = Process32FirstW(snap, &pe); ok && !found; ok = Process32NextW(snap, &pe)) {
    found = pe.th32ProcessID == pid && _wcsicmp(pe.szExeFile, L"Lumivo.exe") == 0;
  }
  CloseHandle(snap);
  return found;
}

BOOL CALLBACK PrintChild(HWND w, LPARAM parent) {
  wchar_t cls[128] = {};
  GetClassNameW(w, cls, 128);
  char line[256];
  std::snprintf(
      line, sizeof line, "{\"parent\": %llu, \"hwnd\": %llu, \"id\": %d, \"class\": \"%ls\"}",
      static_cast<unsigned long long>(parent),
      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), GetDlgCtrlID(w), cls);
  Print(line);
  return TRUE;
}

BOOL CALLBACK VisitTop(HWND w, LPARAM) {
  if (IsLumivoWindow(w)) {
    EnumChildWindows(w, PrintChild, static_cast<LPARAM>(reinterpret_cast<UINT_PTR>(w)));
  }
  return TRUE;
}

int Serve() {
  char line[256];
  unsigned long long count = 0;
  while (std::fgets(line, sizeof line, stdin)) {
    unsigned long long hwnd = 0, msg = 0, wParam = 0, lParam = 0;
    if (std::sscanf(line, "post %llu %llu %llu %llu", &hwnd, &msg, &wParam, &lParam) != 4) {
      Print("failed");
      continue;
    }
    char marker[64];
    std::snprintf(marker, sizeof marker, "lumivo-bench post %llu", ++count);
    // The marker goes out first so that its timestamp precedes the message by the least.
    OutputDebugStringA(marker);
    BOOL ok =
        PostMessageW(reinterpret_cast<HWND>(static_cast<UINT_PTR>(hwnd)), static_cast<UINT>(msg),
                     static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    Print(ok ? "posted" : "failed");
  }
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_probe.exe DESKTOP COMMAND [ARGS]\n");
    return 2;
  }
  if (!JoinDesktop(argv[1])) {
    std::fprintf(stderr, "cannot join desktop\n");
    return 1;
  }
  std::wstring cmd = argv[2];
  if (cmd == L"mem") return Mem(argc, argv);
  if (cmd == L"children") {
    EnumWindows(VisitTop, 0);
    return 0;
  }
  if (cmd == L"serve") return Serve();
  if (cmd == L"close-message" && argc > 3) {
    HWND w = FindWindowExW(HWND_MESSAGE, nullptr, argv[3], nullptr);
    return w && PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
