"""Xfce's panel with only its Status Tray plugin, on the test's session bus: the
StatusNotifierItem tray of the Linux end-to-end tests (trayer stands for the XEmbed ones).

The panel reads its layout through xfconfd, which the bus starts with the bus's environment:
the test's HOME holds that layout. Xfce shows an item's exported menu on a right click and
never calls its ContextMenu; what hosts that do call it do is driven here over the bus.
"""

import re

from waiting import wait_for

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
# One panel along the top edge holding the Status Tray alone.
PANEL_AREA = (0, 0, 800, 40)
_PANEL_XML = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
"""


def split_item(item):
    """An item's bus name and object path."""
    if "@/" in item:
        name, _, path = item.partition("@")
        return name, path
    name, _, path = item.partition("/")
    return name, "/" + path


class StatusNotifierHost:
    """The tray items on the session bus, as its StatusNotifierWatcher knows them."""

    def __init__(self, services):
        self.services = services

    def items(self):
        """The tray items the watcher knows: "bus-name/path" (Xfce) or "bus-name@/path"
        (GNOME) each."""
        reply = self.services.send("session", f"--dest={WATCHER}", "/StatusNotifierWatcher",
                                   "org.freedesktop.DBus.Properties.Get", f"string:{WATCHER}",
                                   "string:RegisteredStatusNotifierItems")
        return re.findall(r'string "([^"]+)"', reply or "")

    def click_item(self, item, method):
        """Calls Activate, SecondaryActivate or ContextMenu on an item, at a point in the
        panel, as a host does."""
        name, path = split_item(item)
        return self.services.send("session", f"--dest={name}", path,
                                  f"{ITEM_INTERFACE}.{method}", "int32:700",
                                  "int32:10") is not None


def start_panel(spawn, services, home):
    """Starts the panel through the desktop's spawn and waits until the tray is on the bus."""
    xml = home / ".config" / "xfce4" / "xfconf" / "xfce-perchannel-xml" / "xfce4-panel.xml"
    xml.parent.mkdir(parents=True, exist_ok=True)
    xml.write_text(_PANEL_XML)
    services.allow_activation("org.xfce.Xfconf")
    panel = spawn(["xfce4-panel", "--disable-wm-check"])
    wait_for(lambda: services.name_has_owner("session", WATCHER), 30,
             "Xfce's StatusNotifierWatcher")
    return StatusNotifierHost(services), panel
