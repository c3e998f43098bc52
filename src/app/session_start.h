#pragma once

#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/unique_handles.h"

namespace lumivo {

// Starts an exe, with the system folder as its current folder, in another session as the user
// logged on there. Only LocalSystem may take another session's user token
// (WTSQueryUserToken), so anyone else can start programs in their own session only. The
// started process, or nothing.
UniqueKernelHandle StartInOtherSession(DWORD sessionId, const std::u16string& exe,
                                       std::u16string_view arguments);

// Starts an exe in a session: in this one as the program starts any program (LaunchProgram),
// in another one as StartInOtherSession does. Whether it started.
bool StartInSession(DWORD sessionId, const std::u16string& exe, std::u16string_view arguments);

}  // namespace lumivo
