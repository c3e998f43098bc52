// Test and bench helper run under Wine: joins a desktop by name, then examines or pokes the
// windows and processes in it. Numbers are decimal or 0x hex; results are JSON lines.
// Usage: probe.exe DESKTOP COMMAND [ARGS]
//   hold                   sleeps forever: started into the desktop, keeps it open
//   windows [all]          each top-level window of Lumivo.exe (all: of every process)
//   wait W H TIMEOUT_MS    prints "ready", then waits for a visible Lumivo.exe window of that
//                          size (0 0: any size) and prints it like `windows`
//   menu                   each visible popup menu window ("#32768")
//   tree                   each Lumivo.exe window at every level, with its parent
//   procs                  pid of each running Lumivo.exe, one a line
//   close TITLE            posts WM_CLOSE to the top-level window with that title
//   close-message CLASS    posts WM_CLOSE to the message-only window of that class
//   broadcast NAME         broadcasts the registered window message NAME
//   post HWND MSG WP LP [N]  PostMessage N times
//   send HWND MSG WP LP    SendMessageTimeout (2 s), prints the result
//   batch FILE             lines "p|s HWND MSG WP LP": posts or sends each, prints the tally
//   ping TITLE [MS]        SendMessageTimeout(WM_NULL) round trip to the window with that title
//   serve                  reads "post HWND MSG WP LP" lines from stdin; for each writes the
//                          marker "lumivo-bench post N" with OutputDebugStringA (seen under
//                          +debugstr), posts at once and answers "posted" or "failed"
//   counts PID             GUI object and handle counts of that process
//   mem EXE...             pid, working set and private bytes of each process of those names
//   lock-mutex NAME        creates the mutex NAME with a descriptor that lets no one else open
//                          it (as a copy with other rights would), prints "ready", sleeps
//   run TIMEOUT_MS CMDLINE starts CMDLINE in the desktop, waits, prints {"exit": CODE}
// Exit code 0 on success, 1 when the thing asked for is not there or fails, 2 on misuse.
#include "probe.h"

#include <cstdio>
#include <cwchar>

namespace {

struct CommandEntry {
  const wchar_t* name;
  int minArgs;
  Command run;
};

int Hold(int, wchar_t**) {
  for (;;) Sleep(INFINITE);  // keeps the desktop alive between Lumivo runs
}

constexpr CommandEntry kCommands[] = {
    {L"hold", 0, Hold},
    {L"windows", 0, ListWindows},
    {L"wait", 3, WaitForWindow},
    {L"menu", 0, ListMenus},
    {L"tree", 0, ListWindowTree},
    {L"procs", 0, ListLumivoProcesses},
    {L"close", 1, CloseWindow},
    {L"close-message", 1, CloseMessageOnlyWindow},
    {L"broadcast", 1, BroadcastMessage},
    {L"post", 4, PostMessages},
    {L"send", 4, SendOneMessage},
    {L"batch", 1, RunMessageBatch},
    {L"ping", 1, PingWindow},
    {L"serve", 0, ServeMarkedPosts},
    {L"counts", 1, CountObjects},
    {L"mem", 1, ReportMemory},
    {L"lock-mutex", 1, HoldLockedMutex},
    {L"run", 2, RunAndWait},
};

bool JoinDesktop(const wchar_t* name, DWORD timeoutMs) {
  // The desktop may not exist yet when a test starts the probe together with Lumivo.
  DWORD start = GetTickCount();
  for (;;) {
    HDESK desktop = OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
    if (desktop && SetThreadDesktop(desktop)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: probe.exe DESKTOP COMMAND [ARGS]\n");
    return 2;
  }
  const CommandEntry* command = nullptr;
  for (const CommandEntry& entry : kCommands) {
    if (std::wcscmp(entry.name, argv[2]) == 0 && argc - 3 >= entry.minArgs) command = &entry;
  }
  if (!command) {
    std::fprintf(stderr, "unknown command or missing arguments\n");
    return 2;
  }
  DWORD joinTimeout = command->run == WaitForWindow ? _wtoi(argv[5]) : 0;
  if (!JoinDesktop(argv[1], joinTimeout)) {
    std::fprintf(stderr, "cannot join desktop\n");
    return 1;
  }
  return command->run(argc - 3, argv + 3);
}
