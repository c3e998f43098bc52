#include "platform/win32/windows_api.h"

#include "app/close_running_copy.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/closed_sessions.h"
#include "app/reopen_plan.h"
#include "app/running_copies.h"
#include "app/session_start.h"
#include "lumivo/version.h"
#include "platform/win32/forms/window_classes.h"
#include "platform/win32/services/privileges.h"
#include "platform/win32/services/program_files.h"

namespace lumivo {
namespace {

constexpr DWORD kCloseWaitMilliseconds = 10'000;
constexpr DWORD kPollMilliseconds = 100;

bool Contains(const std::vector<DWORD>& ids, DWORD id) {
  return std::ranges::find(ids, id) != ids.end();
}

// Enabled before anything is listed or started: a privilege held but disabled (the debug
// privilege of administrators; LocalSystem's right to take user tokens and start processes
// with them) would otherwise go unused.
void EnableHeldPrivileges() {
  for (const wchar_t* privilege :
       {SE_DEBUG_NAME, SE_TCB_NAME, SE_ASSIGNPRIMARYTOKEN_NAME, SE_INCREASE_QUOTA_NAME}) {
    EnablePrivilege(privilege);
  }
}

std::vector<DWORD> SessionsOf(const std::vector<RunningCopy>& copies) {
  std::vector<DWORD> sessions;
  for (const RunningCopy& copy : copies) {
    if (!Contains(sessions, copy.sessionId)) sessions.push_back(copy.sessionId);
  }
  return sessions;
}

// A system-context closer starts on the services' window station. On XP and Server 2003 the
// first console user shares session 0 with the services, and that user's copies have their
// windows on WinSta0's Default desktop: there the closer asks them as any closer does (the
// class name is one of the station's atoms). Both handles stay open for the closer's short
// life, as the station and desktop it works on. Where either cannot be joined, the window
// search finds nothing and those copies are ended by force.
void JoinInteractiveDesktop() {
  HWINSTA station =
      ::OpenWindowStationW(L"WinSta0", FALSE, WINSTA_ENUMDESKTOPS | WINSTA_ACCESSGLOBALATOMS);
  if (station == nullptr) return;
  if (!::SetProcessWindowStation(station)) {
    ::CloseWindowStation(station);
    return;
  }
  if (HDESK desktop = ::OpenDesktopW(L"Default", 0, FALSE, DESKTOP_READOBJECTS)) {
    ::SetThreadDesktop(desktop);
  }
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

// As LocalSystem, each session other than this one gets a "/close" of the copy's own exe
// (which that user can read, unlike the installer's temporary copy), started as its user,
// which asks on that session's desktop and waits there. The sessions that did so.
std::vector<DWORD> AskCopiesInOtherSessions(const std::vector<RunningCopy>& copies) {
  std::vector<DWORD> asked;
  const DWORD ownSession = OwnSessionId();
  for (const RunningCopy& copy : copies) {
    if (copy.sessionId == ownSession || Contains(asked, copy.sessionId)) continue;
    const UniqueKernelHandle closer =
        StartAsSessionUser(copy.sessionId, ImageOfProcess(copy.processId), u"/close");
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
// With the debug privilege (administrators, LocalSystem) other users' processes open too.
void EndByForce(const std::vector<RunningCopy>& copies) {
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
  EnableHeldPrivileges();
  const std::vector<RunningCopy> copies = FindRunningCopies();
  if (copies.empty()) return true;
  if (rememberSessions) RememberClosedSessions(SessionsOf(copies));
  const bool system = RunsAsLocalSystem();
  if (system) JoinInteractiveDesktop();
  std::vector<DWORD> asked = AskCopiesOnThisDesktop();
  const std::vector<DWORD> askedSessions =
      system ? AskCopiesInOtherSessions(copies) : std::vector<DWORD>{};
  for (const RunningCopy& copy : copies) {
    if (Contains(askedSessions, copy.sessionId)) asked.push_back(copy.processId);
  }
  WaitForAskedCopies(asked);
  if (const std::vector<RunningCopy> left = FindRunningCopies(); !left.empty()) EndByForce(left);
  return FindRunningCopies().empty();
}

bool ReopenClosedCopies(bool startInOwnSession) {
  EnableHeldPrivileges();
  const std::u16string exe = PathOfThisProgram();
  std::vector<std::uint32_t> sessionsWithCopy;
  for (const DWORD session : SessionsOf(FindRunningCopies())) sessionsWithCopy.push_back(session);
  const ReopenerContext context{OwnSessionId(), !RunsAsLocalSystem() && !RunsElevatedByUac(),
                                std::move(sessionsWithCopy)};
  const std::vector<DWORD> kept = TakeClosedSessions();
  bool allStarted = true;
  for (const SessionStart& start :
       PlanReopen({kept.begin(), kept.end()}, startInOwnSession, context)) {
    if (!StartInSession(start, exe)) allStarted = false;
  }
  return allStarted;
}

}  // namespace lumivo
