"""python3-dbusmock template: the XDG GlobalShortcuts portal as a Wayland desktop offers it.

CreateSession and BindShortcuts answer on their request objects, as the portal does; the
mock's Press(shortcut, down) stands for the user pressing or releasing a bound shortcut.
"""

import dbus
from dbusmock import MOCK_IFACE, mockobject
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
MAIN_OBJ = "/org/freedesktop/portal/desktop"
MAIN_IFACE = "org.freedesktop.portal.GlobalShortcuts"
SYSTEM_BUS = False


def load(mock, _parameters):
    mock.session = None
    mock.AddProperty(MAIN_IFACE, "version", dbus.UInt32(1))


def _handle(sender, kind, token):
    return f"{MAIN_OBJ}/{kind}/{sender[1:].replace('.', '_')}/{token}"


def _respond(mock, sender, token, results):
    """The request object, whose Response comes once the call has returned."""
    path = _handle(sender, "request", token)
    mock.AddObject(path, "org.freedesktop.portal.Request", {}, [])

    def send():
        mockobject.objects[path].EmitSignal("org.freedesktop.portal.Request", "Response",
                                            "ua{sv}", [dbus.UInt32(0), results])
        return False
    GLib.timeout_add(20, send)
    return dbus.ObjectPath(path)


@dbus.service.method(MAIN_IFACE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
def CreateSession(self, options, sender):
    self.session = _handle(sender, "session", options["session_handle_token"])
    return _respond(self, sender, options["handle_token"],
                    {"session_handle": dbus.String(self.session)})


@dbus.service.method(MAIN_IFACE, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                     sender_keyword="sender")
def BindShortcuts(self, session, shortcuts, _parent, options, sender):
    if session != self.session:
        raise dbus.exceptions.DBusException("no such session",
                                            name="org.freedesktop.portal.Error.NotFound")
    return _respond(self, sender, options["handle_token"], {"shortcuts": shortcuts})


@dbus.service.method(MOCK_IFACE, in_signature="sb", out_signature="")
def Press(self, shortcut, down):
    self.EmitSignal(MAIN_IFACE, "Activated" if down else "Deactivated", "osta{sv}",
                    [dbus.ObjectPath(self.session), shortcut, dbus.UInt64(0),
                     dbus.Dictionary({}, signature="sv")])
