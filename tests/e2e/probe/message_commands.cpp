// Commands that post or send messages to windows.
#include "probe.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
               DWORD_PTR* result) {
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs,
                             result) != 0;
}

// Counts of a batch; Wine itself declines to carry some messages across processes (pointers it
// cannot copy): only a timeout or a vanished window is the target's fault.
struct BatchTally {
  long posted = 0, sent = 0, refused = 0, failed = 0;

  void Count(char kind, bool delivered, DWORD error) {
    if (delivered) {
      ++(kind == 'p' ? posted : sent);
    } else if (error == ERROR_TIMEOUT || error == ERROR_INVALID_WINDOW_HANDLE) {
      ++failed;
    } else {
      ++refused;
    }
  }
};

// A batch line "p|s HWND MSG WP LP": numbers as NumberArg takes them, all 64 bits.
bool ParseBatchLine(const char* line, char* kind, unsigned long long (&numbers)[4]) {
  while (*line == ' ' || *line == '\t') ++line;
  *kind = *line;
  if (*kind != 'p' && *kind != 's') return false;
  char* end = const_cast<char*>(line + 1);
  for (unsigned long long& number : numbers) {
    const char* start = end;
    number = std::strtoull(start, &end, 0);
    if (end == start) return false;
  }
  return true;
}

}  // namespace

int CloseWindow(int, wchar_t** args) {
  HWND window = FindWindowW(nullptr, args[0]);
  return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int CloseMessageOnlyWindow(int, wchar_t** args) {
  HWND window = FindWindowExW(HWND_MESSAGE, nullptr, args[0], nullptr);
  return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int BroadcastMessage(int, wchar_t** args) {
  return PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(args[0]), 0, 0) ? 0 : 1;
}

int PostMessages(int count, wchar_t** args) {
  long times = count > 4 ? _wtol(args[4]) : 1;
  for (long i = 0; i < times; ++i) {
    if (!PostMessageW(HandleArg(args[0]), static_cast<UINT>(NumberArg(args[1])), NumberArg(args[2]),
                      static_cast<LPARAM>(NumberArg(args[3])))) {
      return 1;
    }
  }
  return 0;
}

int SendOneMessage(int, wchar_t** args) {
  DWORD_PTR result = 0;
  if (!SendTimed(HandleArg(args[0]), static_cast<UINT>(NumberArg(args[1])), NumberArg(args[2]),
                 static_cast<LPARAM>(NumberArg(args[3])), 2000, &result)) {
    return 1;
  }
  Print(std::to_string(static_cast<unsigned long long>(result)));
  return 0;
}

int RunMessageBatch(int, wchar_t** args) {
  FILE* file = _wfopen(args[0], L"r");
  if (!file) return 2;
  BatchTally tally;
  char line[256];
  while (std::fgets(line, sizeof line, file)) {
    char kind = 0;
    unsigned long long numbers[4];
    if (!ParseBatchLine(line, &kind, numbers)) continue;
    auto [window, message, wParam, lParam] = numbers;
    HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(window));
    DWORD_PTR result = 0;
    SetLastError(0);
    bool delivered = kind == 'p' ? PostMessageW(target, static_cast<UINT>(message), wParam,
                                                static_cast<LPARAM>(lParam)) != 0
                                 : SendTimed(target, static_cast<UINT>(message), wParam,
                                             static_cast<LPARAM>(lParam), 2000, &result);
    DWORD error = GetLastError();
    tally.Count(kind, delivered, error);
    if (!delivered && tally.refused + tally.failed <= 20) {  // the first few, to tell why
      char why[300];
      std::snprintf(why, sizeof why, "{\"failed\": \"%c %llu %llu %llu %llu\", \"error\": %lu}",
                    kind, window, message, wParam, lParam, error);
      Print(why);
    }
  }
  std::fclose(file);
  char summary[128];
  std::snprintf(summary, sizeof summary,
                "{\"posted\": %ld, \"sent\": %ld, \"refused\": %ld, \"failed\": %ld}", tally.posted,
                tally.sent, tally.refused, tally.failed);
  Print(summary);
  return tally.failed ? 1 : 0;
}

int PingWindow(int count, wchar_t** args) {
  HWND window = FindWindowW(nullptr, args[0]);
  DWORD timeout = count > 1 ? _wtoi(args[1]) : 5000, start = GetTickCount();
  DWORD_PTR result = 0;
  if (!window || !SendTimed(window, WM_NULL, 0, 0, timeout, &result)) return 1;
  Print(std::to_string(GetTickCount() - start));
  return 0;
}

int ServeMarkedPosts(int, wchar_t**) {
  char line[256];
  unsigned long long posts = 0;
  while (std::fgets(line, sizeof line, stdin)) {
    unsigned long long window = 0, message = 0, wParam = 0, lParam = 0;
    if (std::sscanf(line, "post %llu %llu %llu %llu", &window, &message, &wParam, &lParam) != 4) {
      Print("failed");
      continue;
    }
    char marker[64];
    std::snprintf(marker, sizeof marker, "lumivo-bench post %llu", ++posts);
    // The marker goes out first so that its timestamp precedes the message by the least.
    OutputDebugStringA(marker);
    bool posted = PostMessageW(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)),
                               static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                               static_cast<LPARAM>(lParam));
    Print(posted ? "posted" : "failed");
  }
  return 0;
}
