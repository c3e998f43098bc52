"""GNOME Shell 43 on X11 with the AppIndicator extension enabled: a StatusNotifierItem host.

It runs on the test's buses: the session bus activates dconf, where the extension is enabled
before the shell starts, and a dbusmock logind on the system bus stands for the seat the shell
asks about. Mesa's software GL draws it on Xvfb.
"""

import subprocess

from waiting import wait_for

WATCHER = "org.kde.StatusNotifierWatcher"
EXTENSION = "ubuntu-appindicators@ubuntu.com"
SCHEMA = "org.gnome.shell.extensions"
# The top bar; the extension puts its items at the right.
PANEL_AREA = (400, 0, 800, 30)
MENU_BACKGROUND = (0x30, 0x30, 0x30)
MENU_SHADES = (MENU_BACKGROUND, (0x44, 0x44, 0x44))  # and its separators


def start_shell(desktop):
    """Starts the shell on the desktop, leaves the overview it starts in, and waits until its
    tray is on the bus."""
    services = desktop.services
    services.mock("system", "org.freedesktop.login1", template="logind")
    services.allow_activation("ca.desrt.dconf")
    # The extension draws icons at 240 of 255 opacity by default: the lamps' own colours, for
    # the pixel checks.
    for schema, key, value in (("org.gnome.shell", "enabled-extensions", f"['{EXTENSION}']"),
                               ("org.gnome.shell", "welcome-dialog-last-shown-version", "'999'"),
                               (f"{SCHEMA}.appindicator", "icon-opacity", "255")):
        subprocess.run(["gsettings", "set", schema, key, value], env=desktop.env(),
                       check=True, timeout=20)
    shell = desktop._spawn(["gnome-shell", "--x11", "--replace"],
                           dict(desktop.env(), LIBGL_ALWAYS_SOFTWARE="1"))
    wait_for(lambda: services.name_has_owner("session", WATCHER), 60,
             "GNOME Shell's StatusNotifierWatcher")

    def on_the_desktop():
        desktop.key("Escape")
        return desktop.screenshot().pixel(400, 400) != (0, 0, 0)
    wait_for(on_the_desktop, 30, "the shell to leave its overview", interval=1)
    return shell


def menu(desktop, lamp):
    """Where the shell's menu for the lamp at that point is: the box of its background below
    the lamp, told apart from a notification's beside it."""
    shot = desktop.screenshot()
    x = lamp[0]
    top = next((y for y in range(PANEL_AREA[3], shot.height // 2)
                if shot.pixel(x, y) == MENU_BACKGROUND), None)
    if top is None:
        return None
    y = top + 2
    left = right = x
    while left > 0 and shot.pixel(left - 1, y) == MENU_BACKGROUND:
        left -= 1
    while right < shot.width - 1 and shot.pixel(right + 1, y) == MENU_BACKGROUND:
        right += 1
    bottom = top
    while bottom < shot.height - 1 and shot.pixel(left + 3, bottom + 1) in MENU_SHADES:
        bottom += 1
    return {"x": left, "y": top, "width": right - left, "height": bottom - top}
