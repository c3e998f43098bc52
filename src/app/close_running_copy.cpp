#include "platform/win32/windows_api.h"

#include "app/close_running_copy.h"

#include <algorithm>
#include <vector>

#include "app/closed_sessions.h"
#include "app/running_copies.h"
#include "app/session_start.h"
#include "lumivo/version.h"
#include "platform/win32/privileges.h"
#include "platform/win32/program_files.h"
#include "platform/win32/window_classes.h"

namespace lumivo {
namespace {

constexpr DWORD kCloseWaitMilliseconds = 10'000;
constexpr DWORD kPollMilliseconds = 100;

bool Contains(const std::vector<DWORD>& ids, DWORD id) {
  return std::ranges::find(ids, id) != ids.end();
}

// The main window is the form window with the tray window's caption; the About window shares
// its class but not its caption. Window searches see this desktop only. The processes whose
// window took the request.
std::vector<DWORD> AskCopiesOnThisDesktop() {
  std::vector<DWORD> asked;
  const DWORD self = ::GetCurrentProcessId();
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, kFormClassName, L"" LUMIVO_CAPTION))) {
    DWORD processId = 0;
    if (::GetWindowThreadProcessId(window, &processId) && processId != self &&
        ::PostMessageW(window, WM_CLOSE, 0, 0)) {
      asked.push_back(processId);
    }
  }
  return asked;
}

// Each session other than this one gets a "/close" of the copy's own exe, started as its user,
// which asks on that session's desktop and waits there. The sessions that did so.
std::vector<DWORD> AskCopiesInOtherSessions(const std::vector<RunningCopy>& copies) {
  std::vector<DWORD> asked;
  const DWORD ownSession = OwnSessionId();
  for (const RunningCopy& copy : copies) {
    if (copy.sessionId == ownSession || Contains(asked, copy.sessionId)) continue;
    const UniqueKernelHandle closer =
        StartInOtherSession(copy.sessionId, ImageOfProcess(copy.processId), u"/close");
    if (!closer) continue;
    asked.push_back(copy.sessionId);
    ::WaitForSingleObject(closer.get(), kCloseWaitMilliseconds);
  }
  return asked;
}

bool IsAmong(const std::vector<RunningCopy>& copies, const std::vector<DWORD>& processIds) {
  return std::ranges::any_of(
      copies, [&](const RunningCopy& copy) { return Contains(processIds, copy.processId); });
}

// Whatever OpenProcess allows, the process list tells when an asked copy has gone.
void WaitForAskedCopies(const std::vector<DWORD>& processIds) {
  for (DWORD waited = 0; waited < kCloseWaitMilliseconds; waited += kPollMilliseconds) {
    if (!IsAmong(FindRunningCopies(), processIds)) return;
    ::Sleep(kPollMilliseconds);
  }
}

// The last resort: the process ends at once. Its lamp stays until the pointer passes over
// it, when the shell sees the owner gone.
void EndByForce(const std::vector<RunningCopy>& copies) {
  // Administrators hold the debug privilege, disabled: enabled, it opens other users'
  // processes.
  EnablePrivilege(SE_DEBUG_NAME);
  for (const RunningCopy& copy : copies) {
    const UniqueKernelHandle process(
        ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, copy.processId));
    if (process && ::TerminateProcess(process.get(), 1)) {
      ::WaitForSingleObject(process.get(), kCloseWaitMilliseconds);
    }
  }
}

}  // namespace

bool CloseRunningCopies(bool rememberSessions) {
  const std::vector<RunningCopy> copies = FindRunningCopies();
  if (copies.empty()) return true;
  if (rememberSessions) {
    std::vector<DWORD> sessions;
    for (const RunningCopy& copy : copies) {
      if (!Contains(sessions, copy.sessionId)) sessions.push_back(copy.sessionId);
    }
    RememberClosedSessions(sessions);
  }
  std::vector<DWORD> asked = AskCopiesOnThisDesktop();
  const std::vector<DWORD> askedSessions = AskCopiesInOtherSessions(copies);
  for (const RunningCopy& copy : copies) {
    if (Contains(askedSessions, copy.sessionId)) asked.push_back(copy.processId);
  }
  WaitForAskedCopies(asked);
  if (const std::vector<RunningCopy> left = FindRunningCopies(); !left.empty()) EndByForce(left);
  return FindRunningCopies().empty();
}

bool ReopenClosedCopies(bool startInOwnSession) {
  const std::u16string exe = PathOfThisProgram();
  std::vector<DWORD> sessions = TakeClosedSessions();
  if (startInOwnSession && !Contains(sessions, OwnSessionId())) sessions.push_back(OwnSessionId());
  bool allStarted = true;
  for (const DWORD session : sessions) {
    if (!StartInSession(session, exe, u"")) allStarted = false;
  }
  return allStarted;
}

}  // namespace lumivo
