#pragma once

#include "platform/win32/windows_api.h"

#include <string>

#include "app/reopen_plan.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// Starts an exe, with the system folder as its current folder, in a session as the user
// logged on there, on that session's winsta0\default. Only LocalSystem may take a session's
// user token (WTSQueryUserToken), so anyone else starts programs in their own session only.
// The started process, or nothing.
UniqueKernelHandle StartAsSessionUser(DWORD sessionId, const std::u16string& exe,
                                      std::u16string_view arguments);

// Starts an exe, with no arguments, as the plan says: as the session's user
// (StartAsSessionUser), or with this process's token as the program starts any program
// (LaunchProgram). Whether it started.
bool StartInSession(const SessionStart& start, const std::u16string& exe);

}  // namespace lumivo
