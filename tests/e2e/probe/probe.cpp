// Test helper run under Wine: joins a desktop by name, then examines or pokes Lumivo's windows.
// Usage: probe.exe DESKTOP COMMAND [ARGS]
//   windows [all]          one JSON line per top-level window of Lumivo.exe (all: every process)
//   wait W H TIMEOUT_MS    prints "ready", then waits for a visible Lumivo.exe window of that
//                          size (0 0: any size) and prints it like `windows`
//   close TITLE            posts WM_CLOSE to the top-level window with that title
//   broadcast NAME         broadcasts the registered window message NAME
//   menu                   rect of each visible popup menu window ("#32768")
//   procs                  pid of each running Lumivo.exe
//   hold                   sleeps forever: started into the desktop, keeps it open
//   lock-mutex NAME        creates the mutex NAME with a descriptor that lets no one else open
//                          it (as a copy with other rights would), prints "ready", sleeps
//   tree                   one JSON line per Lumivo.exe window at every level, with its hwnd
//   post HWND MSG WP LP [N]  PostMessage N times (numbers: decimal or 0x hex)
//   send HWND MSG WP LP    SendMessageTimeout (2 s), prints the result
//   batch FILE             lines "p|s HWND MSG WP LP": posts or sends each, prints the tally
//   counts PID             JSON: GUI object and handle counts of that process
//   ping TITLE [MS]        SendMessageTimeout(WM_NULL) round trip to the window with that title
// Exit code 0 on success, 1 when the thing asked for is not there, 2 on misuse.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::string Json(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

bool IsLumivo(DWORD pid) {
  HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return false;
  wchar_t path[MAX_PATH * 2];
  DWORD len = MAX_PATH * 2;
  bool ok = QueryFullProcessImageNameW(p, 0, path, &len);
  CloseHandle(p);
  if (!ok) return false;
  const wchar_t* base = std::wcsrchr(path, L'\\');
  return _wcsicmp(base ? base + 1 : path, L"Lumivo.exe") == 0;
}

std::string Text(HWND w) {
  wchar_t buf[512] = {};
  // Another process's window: WM_GETTEXT through SendMessageTimeout so a hung window cannot block.
  DWORD_PTR res = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 1000,
                      &res);
  return Utf8(buf);
}

std::string ClassOf(HWND w) {
  wchar_t buf[256] = {};
  GetClassNameW(w, buf, 256);
  return Utf8(buf);
}

std::string RectJson(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  char buf[96];
  std::snprintf(buf, sizeof buf, "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right, r.bottom);
  return buf;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM out) {
  auto& s = *reinterpret_cast<std::string*>(out);
  if (s.size() > 1) s += ", ";
  s += "{\"class\": " + Json(ClassOf(w)) + ", \"text\": " + Json(Text(w)) +
       ", \"rect\": " + RectJson(w) + ", \"visible\": " + (IsWindowVisible(w) ? "true" : "false") +
       "}";
  return TRUE;
}

std::string Describe(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  LONG style = GetWindowLongW(w, GWL_STYLE), ex = GetWindowLongW(w, GWL_EXSTYLE);
  std::string children = "[";
  EnumChildWindows(w, CollectChild, reinterpret_cast<LPARAM>(&children));
  children += "]";
  char head[160];
  std::snprintf(head, sizeof head,
                "{\"hwnd\": %llu, \"pid\": %lu, \"style\": %lu, \"exstyle\": %lu, \"visible\": %s, "
                "\"topmost\": %s, ",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid,
                static_cast<unsigned long>(style), static_cast<unsigned long>(ex),
                IsWindowVisible(w) ? "true" : "false", (ex & WS_EX_TOPMOST) ? "true" : "false");
  return head + std::string("\"class\": ") + Json(ClassOf(w)) + ", \"title\": " + Json(Text(w)) +
         ", \"rect\": " + RectJson(w) + ", \"children\": " + children + "}";
}

std::vector<HWND> TopLevel() {
  std::vector<HWND> out;
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

std::vector<HWND> LumivoWindows(bool all) {
  std::vector<HWND> out;
  for (HWND w : TopLevel()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (all || IsLumivo(pid)) out.push_back(w);
  }
  return out;
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

bool JoinDesktop(const wchar_t* name, DWORD timeoutMs) {
  // The desktop may not exist yet when a test starts the probe together with Lumivo.
  DWORD start = GetTickCount();
  for (;;) {
    HDESK d = OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
    if (d && SetThreadDesktop(d)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
}

}  // namespace

// Returns -1 when cmd is not one of these commands (defined at the end of the file).
int ExtraCommand(const std::wstring& cmd, int argc, wchar_t** argv);

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) {
    std::fprintf(stderr, "usage: probe.exe DESKTOP COMMAND [ARGS]\n");
    return 2;
  }
  std::wstring cmd = argv[2];
  DWORD joinTimeout = cmd == L"wait" && argc > 5 ? _wtoi(argv[5]) : 0;
  if (!JoinDesktop(argv[1], joinTimeout)) {
    std::fprintf(stderr, "cannot join desktop\n");
    return 1;
  }

  if (cmd == L"hold") {
    for (;;) Sleep(60000);  // keeps the desktop alive between Lumivo runs
  }
  if (cmd == L"windows") {
    bool all = argc > 3 && std::wstring(argv[3]) == L"all";
    for (HWND w : LumivoWindows(all)) Print(Describe(w));
    return 0;
  }
  if (cmd == L"wait" && argc > 5) {
    int width = _wtoi(argv[3]), height = _wtoi(argv[4]);
    Print("ready");  // the caller may start Lumivo now
    DWORD start = GetTickCount(), timeout = _wtoi(argv[5]);
    do {
      for (HWND w : LumivoWindows(false)) {
        RECT r{};
        GetWindowRect(w, &r);
        bool sized = width == 0 || (r.right - r.left == width && r.bottom - r.top == height);
        if (IsWindowVisible(w) && sized) {
          Print(Describe(w));
          return 0;
        }
      }
      Sleep(5);
    } while (GetTickCount() - start < timeout);
    return 1;
  }
  if (cmd == L"close" && argc > 3) {
    HWND w = FindWindowW(nullptr, argv[3]);
    if (!w) return 1;
    return PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (cmd == L"broadcast" && argc > 3) {
    UINT msg = RegisterWindowMessageW(argv[3]);
    return PostMessageW(HWND_BROADCAST, msg, 0, 0) ? 0 : 1;
  }
  if (cmd == L"menu") {
    int found = 0;
    for (HWND w : TopLevel()) {
      if (IsWindowVisible(w) && ClassOf(w) == "#32768") {
        Print(Describe(w));
        ++found;
      }
    }
    return found ? 0 : 1;
  }
  if (cmd == L"procs") {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
      if (_wcsicmp(pe.szExeFile, L"Lumivo.exe") == 0) Print(std::to_string(pe.th32ProcessID));
    }
    CloseHandle(snap);
    return 0;
  }
  if (int code = ExtraCommand(cmd, argc, argv); code >= 0) return code;
  std::fprintf(stderr, "unknown command\n");
  return 2;
}

// ---------------------------------------------------------------- soak and hostile-message tests

namespace {

UINT_PTR NumberArg(const wchar_t* s) { return static_cast<UINT_PTR>(_wcstoui64(s, nullptr, 0)); }

HWND HandleArg(const wchar_t* s) { return reinterpret_cast<HWND>(NumberArg(s)); }

bool SendTimed(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD ms, DWORD_PTR* result) {
  return SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, ms, result) != 0;
}

BOOL CALLBACK CollectAll(HWND w, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
  return TRUE;
}

// Every window of the process: top-level, descendants and message-only ones.
std::vector<HWND> WindowsOf(DWORD pid) {
  std::vector<HWND> tops = TopLevel(), out;
  for (HWND m = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); m;
       m = FindWindowExW(HWND_MESSAGE, m, nullptr, nullptr)) {
    tops.push_back(m);
  }
  for (HWND w : tops) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != pid) continue;
    out.push_back(w);
    EnumChildWindows(w, CollectAll, reinterpret_cast<LPARAM>(&out));
  }
  return out;
}

// Wine stubs GetGuiResources and GetProcessHandleCount; these count what they would.
long GdiTableCount(HANDLE process) {
  using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  void* basic[6] = {};  // PROCESS_BASIC_INFORMATION: the PEB address is the second field
  if (!query || query(process, 0, basic, sizeof basic, nullptr) != 0) return -1;
  char* peb = static_cast<char*>(basic[1]);
  char* table = nullptr;
  constexpr SIZE_T kGdiTableOffset = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit layout
  if (!ReadProcessMemory(process, peb + kGdiTableOffset, &table, sizeof table, nullptr) || !table) {
    return -1;
  }
  constexpr SIZE_T kEntry = 24, kEntries = 0x10000, kChunk = 4096;  // type byte at offset 14
  std::vector<unsigned char> buf(kChunk * kEntry);
  long used = 0;
  for (SIZE_T first = 0; first < kEntries; first += kChunk) {
    if (!ReadProcessMemory(process, table + first * kEntry, buf.data(), buf.size(), nullptr)) break;
    for (SIZE_T i = 0; i < kChunk; ++i) used += buf[i * kEntry + 14] != 0;
  }
  return used;
}

long SystemHandleCount(DWORD pid) {
  using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QuerySystem>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<unsigned char> buf(1 << 20);
  LONG status;
  while ((status = query(16, buf.data(), static_cast<ULONG>(buf.size()), nullptr)) ==
         static_cast<LONG>(0xC0000004)) {  // SystemHandleInformation; buffer too small
    buf.resize(buf.size() * 2);
  }
  if (status != 0) return -1;
  ULONG n = *reinterpret_cast<ULONG*>(buf.data());
  long mine = 0;
  for (ULONG i = 0; i < n; ++i) {  // entries of 24 bytes after an 8-byte count, owner pid first
    mine += *reinterpret_cast<ULONG*>(buf.data() + 8 + i * 24) == pid;
  }
  return mine;
}

int BatchCommand(const wchar_t* path) {
  FILE* f = _wfopen(path, L"r");
  if (!f) return 2;
  char line[256];
  long posted = 0, sent = 0, refused = 0, failed = 0;
  while (std::fgets(line, sizeof line, f)) {
    char kind = 0;
    unsigned long long w = 0, msg = 0, wp = 0, lp = 0;
    if (std::sscanf(line, " %c %lli %lli %lli %lli", &kind, &w, &msg, &wp, &lp) != 5) continue;
    HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(w));
    DWORD_PTR result = 0;
    SetLastError(0);
    bool ok = kind == 'p' ? PostMessageW(target, static_cast<UINT>(msg), wp, lp) != 0
                          : SendTimed(target, static_cast<UINT>(msg), wp, lp, 2000, &result);
    DWORD error = GetLastError();
    // Wine itself declines to carry some messages across processes (pointers it cannot copy);
    // only a timeout or a vanished window is the target's fault.
    bool theirs = error == ERROR_TIMEOUT || error == ERROR_INVALID_WINDOW_HANDLE;
    if (ok) {
      ++(kind == 'p' ? posted : sent);
      continue;
    }
    ++(theirs ? failed : refused);
    if (refused + failed <= 20) {  // the first few, to tell why
      char why[300];
      std::snprintf(why, sizeof why, "{\"failed\": \"%c %llu %llu %llu %llu\", \"error\": %lu}",
                    kind, w, msg, wp, lp, error);
      Print(why);
    }
  }
  std::fclose(f);
  char out[128];
  std::snprintf(out, sizeof out,
                "{\"posted\": %ld, \"sent\": %ld, \"refused\": %ld, \"failed\": %ld}", posted, sent,
                refused, failed);
  Print(out);
  return failed ? 1 : 0;
}

}  // namespace

int ExtraCommand(const std::wstring& cmd, int argc, wchar_t** argv) {
  if (cmd == L"lock-mutex" && argc > 3) {
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;  // an empty DACL grants nothing to anyone
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    if (!CreateMutexW(&attributes, FALSE, argv[3])) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    Sleep(INFINITE);
  }
  if (cmd == L"tree") {
    for (HWND top : LumivoWindows(false)) {
      std::vector<HWND> all{top};
      EnumChildWindows(top, CollectAll, reinterpret_cast<LPARAM>(&all));
      for (HWND w : all) {
        char head[200];
        std::snprintf(head, sizeof head,
                      "{\"hwnd\": %llu, \"parent\": %llu, \"root\": %llu, \"id\": %d, "
                      "\"visible\": %s, ",
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)),
                      static_cast<unsigned long long>(
                          reinterpret_cast<UINT_PTR>(w == top ? nullptr : GetParent(w))),
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(top)),
                      w == top ? 0 : GetDlgCtrlID(w), IsWindowVisible(w) ? "true" : "false");
        Print(head + std::string("\"class\": ") + Json(ClassOf(w)) +
              ", \"title\": " + Json(Text(w)) + ", \"rect\": " + RectJson(w) + "}");
      }
    }
    return 0;
  }
  if (cmd == L"post" && argc > 6) {
    HWND w = HandleArg(argv[3]);
    auto msg = static_cast<UINT>(NumberArg(argv[4]));
    long count = argc > 7 ? _wtol(argv[7]) : 1;
    for (long i = 0; i < count; ++i) {
      if (!PostMessageW(w, msg, NumberArg(argv[5]), static_cast<LPARAM>(NumberArg(argv[6])))) {
        return 1;
      }
    }
    return 0;
  }
  if (cmd == L"send" && argc > 6) {
    DWORD_PTR result = 0;
    if (!SendTimed(HandleArg(argv[3]), static_cast<UINT>(NumberArg(argv[4])), NumberArg(argv[5]),
                   static_cast<LPARAM>(NumberArg(argv[6])), 2000, &result)) {
      return 1;
    }
    Print(std::to_string(static_cast<unsigned long long>(result)));
    return 0;
  }
  if (cmd == L"batch" && argc > 3) return BatchCommand(argv[3]);
  if (cmd == L"counts" && argc > 3) {
    DWORD pid = static_cast<DWORD>(_wtol(argv[3]));
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p) return 1;
    SetLastError(0);
    DWORD gdi = GetGuiResources(p, GR_GDIOBJECTS), user = GetGuiResources(p, GR_USEROBJECTS);
    DWORD guiError = GetLastError(), handles = 0;
    if (!GetProcessHandleCount(p, &handles)) handles = 0;
    char out[300];
    std::snprintf(out, sizeof out,
                  "{\"gui_gdi\": %lu, \"gui_user\": %lu, \"gui_error\": %lu, "
                  "\"handle_count\": %lu, \"gdi_table\": %ld, \"windows\": %zu, "
                  "\"system_handles\": %ld}",
                  gdi, user, guiError, handles, GdiTableCount(p), WindowsOf(pid).size(),
                  SystemHandleCount(pid));
    CloseHandle(p);
    Print(out);
    return 0;
  }
  if (cmd == L"ping" && argc > 3) {
    HWND w = FindWindowW(nullptr, argv[3]);
    DWORD timeout = argc > 4 ? _wtoi(argv[4]) : 5000, start = GetTickCount();
    DWORD_PTR result = 0;
    if (!w || !SendTimed(w, WM_NULL, 0, 0, timeout, &result)) return 1;
    Print(std::to_string(GetTickCount() - start));
    return 0;
  }
  return -1;
}
