#pragma once

namespace lumivo {

// Enables a privilege the process token holds but has disabled (SE_SHUTDOWN_NAME,
// SE_DEBUG_NAME, ...); a privilege the token lacks stays missing.
void EnablePrivilege(const wchar_t* name);

}  // namespace lumivo
