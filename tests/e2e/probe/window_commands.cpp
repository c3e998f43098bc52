// Commands that find windows and describe them.
#include "probe.h"

#include <cstdio>
#include <cwchar>

namespace {

std::string Text(HWND window) {
  wchar_t text[512] = {};
  // Another process's window: through SendMessageTimeout so that a hung window cannot block us.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      1000, &result);
  return Utf8(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return Utf8(name);
}

std::string RectJson(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  char json[96];
  std::snprintf(json, sizeof json, "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right, r.bottom);
  return json;
}

const char* Bool(bool value) { return value ? "true" : "false"; }

unsigned long long Number(HWND window) {
  return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&children));
  return children;
}

// A top-level window with its children's classes, texts and places.
std::string Describe(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  LONG style = GetWindowLongW(window, GWL_STYLE), exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  std::string children;
  for (HWND child : ChildrenOf(window)) {
    children += (children.empty() ? "" : ", ") + std::string("{\"class\": ") +
                Json(ClassOf(child)) + ", \"text\": " + Json(Text(child)) +
                ", \"rect\": " + RectJson(child) +
                ", \"visible\": " + Bool(IsWindowVisible(child)) + "}";
  }
  char head[200];
  std::snprintf(head, sizeof head,
                "{\"hwnd\": %llu, \"pid\": %lu, \"style\": %lu, \"exstyle\": %lu, "
                "\"visible\": %s, \"topmost\": %s, ",
                Number(window), pid, static_cast<unsigned long>(style),
                static_cast<unsigned long>(exStyle), Bool(IsWindowVisible(window)),
                Bool(exStyle & WS_EX_TOPMOST));
  return head + std::string("\"class\": ") + Json(ClassOf(window)) +
         ", \"title\": " + Json(Text(window)) + ", \"rect\": " + RectJson(window) +
         ", \"children\": [" + children + "]}";
}

std::vector<HWND> LumivoWindows(bool allProcesses) {
  std::vector<HWND> found;
  for (HWND window : TopLevelWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (allProcesses || IsLumivoProcess(pid)) found.push_back(window);
  }
  return found;
}

}  // namespace

bool IsLumivoProcess(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  wchar_t path[MAX_PATH * 2];
  DWORD length = MAX_PATH * 2;
  bool named = QueryFullProcessImageNameW(process, 0, path, &length);
  CloseHandle(process);
  if (!named) return false;
  const wchar_t* base = std::wcsrchr(path, L'\\');
  return _wcsicmp(base ? base + 1 : path, L"Lumivo.exe") == 0;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> WindowsOfProcess(DWORD pid) {
  std::vector<HWND> tops = TopLevelWindows(), found;
  for (HWND m = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); m;
       m = FindWindowExW(HWND_MESSAGE, m, nullptr, nullptr)) {
    tops.push_back(m);
  }
  for (HWND top : tops) {
    DWORD owner = 0;
    GetWindowThreadProcessId(top, &owner);
    if (owner != pid) continue;
    found.push_back(top);
    for (HWND child : ChildrenOf(top)) found.push_back(child);
  }
  return found;
}

int ListWindows(int count, wchar_t** args) {
  bool all = count > 0 && std::wcscmp(args[0], L"all") == 0;
  for (HWND window : LumivoWindows(all)) Print(Describe(window));
  return 0;
}

int WaitForWindow(int, wchar_t** args) {
  int width = _wtoi(args[0]), height = _wtoi(args[1]);
  DWORD start = GetTickCount(), timeout = _wtoi(args[2]);
  Print("ready");  // the caller may start Lumivo now
  do {
    for (HWND window : LumivoWindows(false)) {
      RECT r{};
      GetWindowRect(window, &r);
      bool sized = width == 0 || (r.right - r.left == width && r.bottom - r.top == height);
      if (IsWindowVisible(window) && sized) {
        Print(Describe(window));
        return 0;
      }
    }
    Sleep(5);
  } while (GetTickCount() - start < timeout);
  return 1;
}

int ListMenus(int, wchar_t**) {
  int found = 0;
  for (HWND window : TopLevelWindows()) {
    if (IsWindowVisible(window) && ClassOf(window) == "#32768") {
      Print(Describe(window));
      ++found;
    }
  }
  return found ? 0 : 1;
}

int ListWindowTree(int, wchar_t**) {
  for (HWND top : LumivoWindows(false)) {
    std::vector<HWND> windows = ChildrenOf(top);
    windows.insert(windows.begin(), top);
    for (HWND window : windows) {
      char head[200];
      std::snprintf(head, sizeof head,
                    "{\"hwnd\": %llu, \"parent\": %llu, \"root\": %llu, \"id\": %d, "
                    "\"visible\": %s, ",
                    Number(window), Number(window == top ? nullptr : GetParent(window)),
                    Number(top), window == top ? 0 : GetDlgCtrlID(window),
                    Bool(IsWindowVisible(window)));
      Print(head + std::string("\"class\": ") + Json(ClassOf(window)) +
            ", \"title\": " + Json(Text(window)) + ", \"rect\": " + RectJson(window) + "}");
    }
  }
  return 0;
}
