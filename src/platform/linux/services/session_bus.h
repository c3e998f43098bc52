#pragma once

#include <QDBusConnection>
#include <QFileInfo>

namespace lumivo {

// The session's bus, when the session has one: its address in the environment, or the
// per-user bus in the runtime folder. Asked for anyway, libdbus would start a bus of its own
// (X11 autolaunch) that no tray or notification server is on and that outlives the program.
inline bool SessionBusGiven() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists();
}

}  // namespace lumivo
