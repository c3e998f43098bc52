#pragma once

#include <string>

namespace lumivo {

// The notification areas the desktop has at this moment.
struct TrayPresence {
  // A StatusNotifierItem host registered with the session bus's watcher (KDE, GNOME's
  // AppIndicator extension, Xfce's Status Tray, most Wayland bars).
  bool statusNotifierHost = false;
  // An XEmbed tray manager owning the screen's _NET_SYSTEM_TRAY_S selection.
  bool xembedManager = false;

  bool Any() const { return statusNotifierHost || xembedManager; }
};

// Asks the session bus and the X server; each answers at once or, for a hung bus, within a
// second. The StatusNotifierItem check is the one Qt makes to choose its tray.
TrayPresence CurrentTrays();

// The XEmbed tray's selection of the screen that DISPLAY names, which Qt's windows are on.
std::string XEmbedTraySelection();

}  // namespace lumivo
