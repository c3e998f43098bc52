#pragma once

#include "platform/win32/windows_api.h"

namespace lumivo {

// Lets a registered message from a program with lower rights through to a window of an
// elevated copy (Windows 7 and later; earlier ones have no such filter). Message 0: nothing.
void AllowMessageFromLowerRights(HWND window, UINT message);

}  // namespace lumivo
