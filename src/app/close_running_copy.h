#pragma once

namespace lumivo {

// What the installer's "Lumivo.exe /close" does before the files go: every running Lumivo, in
// every session, ends. Each copy that can be reached is asked as any close request asks (it
// removes its lamp and ends): on this desktop by its window, in another user's session
// (installers run as LocalSystem in session 0) by a "/close" started there as that user. A copy
// that cannot be reached, or does not end within the wait, is ended by force, with the debug
// privilege where the caller is an administrator. With rememberSessions the sessions that had
// a copy are kept for ReopenClosedCopies. True when no copy is left running.
bool CloseRunningCopies(bool rememberSessions);

// "Lumivo.exe /reopen", run once an upgrade's files are in: starts the new exe again in each
// session where the close found one running; with startInOwnSession ("/reopen /start", the
// end of an interactive install) in this session too, once. True when each of them started.
bool ReopenClosedCopies(bool startInOwnSession);

}  // namespace lumivo
