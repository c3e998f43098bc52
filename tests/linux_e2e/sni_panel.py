"""Xfce's panel with only its Status Tray plugin, on a private session bus: the
StatusNotifierItem tray of the Linux end-to-end tests (trayer stands for the XEmbed ones).

The panel reads its layout through xfconfd, which the bus starts with the bus's environment:
HOME points at a private folder holding that layout before the bus starts. Xfce shows an
item's exported menu on a right click and never calls its ContextMenu; what Plasma does with
its clicks is driven here by calling Activate and ContextMenu over the bus.
"""

import re
import subprocess
from pathlib import Path

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


class SessionBus:
    """A private session bus, started with HOME already pointing at the panel's layout."""

    def __init__(self, folder, env, log):
        home = folder / "home"
        xml = home / ".config" / "xfce4" / "xfconf" / "xfce-perchannel-xml" / "xfce4-panel.xml"
        xml.parent.mkdir(parents=True)
        xml.write_text(_PANEL_XML)
        self.env = dict(env, HOME=str(home), NO_AT_BRIDGE="1")
        # The services it starts (xfconfd) write where it does: to the test's log.
        with open(log, "ab") as output:
            self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork",
                                            "--print-address"], env=self.env,
                                           stdout=subprocess.PIPE, stderr=output, text=True)
        self.address = self.daemon.stdout.readline().strip()
        self.daemon.stdout.close()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.address

    def call(self, destination, path, method, *args):
        """dbus-send's printed reply, or None on an error."""
        done = subprocess.run(["dbus-send", f"--bus={self.address}", "--print-reply",
                               f"--dest={destination}", path, method, *args],
                              capture_output=True, text=True, timeout=10)
        return done.stdout if done.returncode == 0 else None

    def has_owner(self, name):
        reply = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus.NameHasOwner", f"string:{name}")
        return reply is not None and "boolean true" in reply

    def items(self):
        """The tray items the watcher knows: "bus-name/path" each."""
        reply = self.call(WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties.Get",
                          f"string:{WATCHER}", "string:RegisteredStatusNotifierItems")
        return re.findall(r'string "([^"]+)"', reply or "")

    def click_item(self, item, method):
        """Calls Activate or ContextMenu on an item, at a point in the panel, as Plasma does."""
        name, _, path = item.partition("/")
        return self.call(name, "/" + path, f"{ITEM_INTERFACE}.{method}", "int32:700",
                         "int32:10") is not None

    def stop(self):
        self.daemon.terminate()
        self.daemon.wait()


def start_panel(spawn, bus):
    """Starts the panel through the desktop's spawn and waits until the tray is on the bus."""
    panel = spawn(["xfce4-panel", "--disable-wm-check"], bus.env)
    wait_for(lambda: bus.has_owner(WATCHER), 30, "Xfce's StatusNotifierWatcher")
    return panel
