#pragma once

#include "platform/windows_services.h"

namespace lumivo {

// Asks systemd-logind to restart or power off the machine, letting polkit ask the user to
// authenticate where the policy wants it. Whether logind took the request.
bool RequestSessionEnd(WindowsExit how);

}  // namespace lumivo
