#pragma once

#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

namespace lumivo {

struct RunningCopy {
  DWORD processId;
  DWORD sessionId;
};

// Every process of the exe's name (Lumivo.exe) but this one, in every session and on every
// desktop, with its session: the system's process list shows what window searches, bound to
// one desktop, miss, and needs no right to open the processes.
std::vector<RunningCopy> FindRunningCopies();

// The session this process runs in.
DWORD OwnSessionId();

// The exe a process runs, as a full path; empty where Windows (before Vista, or without the
// right to query that process) cannot say.
std::u16string ImageOfProcess(DWORD processId);

}  // namespace lumivo
