#pragma once

#include "platform/win32/windows_api.h"

#include <vector>

namespace lumivo {

// The sessions whose Lumivo an upgrade closed, kept in the product's key
// (HKLM\Software\Norbek\Lumivo, value ReopenSessions) from the close before the old files go
// to the start after the new ones are in. Writing needs the administrator's rights the
// installer runs with; without them nothing is kept, and nothing is started again.
bool RememberClosedSessions(const std::vector<DWORD>& sessions);  // each session once

// The kept sessions; the value is deleted, so they are started again only once.
std::vector<DWORD> TakeClosedSessions();

}  // namespace lumivo
