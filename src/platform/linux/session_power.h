#pragma once

#include "platform/windows_services.h"

namespace lumivo {

// Asks the desktop's session manager to restart or power off the machine, so that programs
// with unsaved work get their say: GNOME's (and those that answer for it: MATE, Cinnamon),
// KDE Plasma's, Xfce's. Where none runs, systemd-logind, letting polkit ask the user to
// authenticate where the policy wants it. Whether the request was taken.
//
// The logic needs the answer before it goes on, so it is waited for here, without an event
// loop: a session manager answers at once and shows its own dialog afterwards.
bool RequestSessionEnd(WindowsExit how);

}  // namespace lumivo
