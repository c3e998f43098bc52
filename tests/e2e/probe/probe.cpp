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
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
