#pragma once

#include "platform/windows_services.h"

namespace lumivo {

// Asks the desktop's session manager to restart or power off the machine, so that programs
// with unsaved work get their say: GNOME's (and those that answer for it: MATE, Cinnamon),
// KDE Plasma's, Xfce's. Where none runs, systemd-logind, letting polkit ask the user to
// authenticate where the policy wants it.
//
// Returns at once: whether the request was taken comes to `answered` later, from the GUI
// thread's event loop, which keeps running meanwhile (logind waits while the user types a
// password).
void RequestSessionEnd(WindowsExit how, ExitWindowsAnswer& answered);

}  // namespace lumivo
