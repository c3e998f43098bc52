#pragma once

#include <QtGlobal>

namespace lumivo {

// Whether the desktop session is a Wayland one, whatever X server (Xwayland) it offers too.
inline bool WaylandSession() {
  return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace lumivo
