#pragma once

namespace lumivo {

// Enables a privilege the process token holds but has disabled (SE_SHUTDOWN_NAME,
// SE_DEBUG_NAME, ...); a privilege the token lacks stays missing.
void EnablePrivilege(const wchar_t* name);

// Whether the process runs as LocalSystem (a service, a deferred no-impersonate custom action):
// the only account that may take another session's user token.
bool RunsAsLocalSystem();

// Whether the process has the full token of an administrator whose session also holds the
// filtered one (UAC's elevation): the shell, at medium integrity, cannot reach its windows.
bool RunsElevatedByUac();

}  // namespace lumivo
