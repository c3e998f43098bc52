"""Plasma 5.27 on X11: KWin, and plasmashell's default panel along the bottom, whose system tray
is a StatusNotifierItem host.

Its StatusNotifierWatcher is a module of kded5, which a Plasma session starts with the module
loaded; kded5 started alone loads it when asked, as here. The session bus activates
nothing for them: the activity manager, which plasmashell needs, is started here like the rest,
so that each process ends with the desktop. Mesa's software GL draws the shell and KWin's
compositing on Xvfb.
"""

import subprocess

from waiting import wait_for

WATCHER = "org.kde.StatusNotifierWatcher"
ACTIVITY_MANAGER = "/usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd"
# The default panel along the bottom edge; the tray stands right of the task manager.
PANEL_AREA = (0, 550, 800, 600)


def start_plasma(desktop):
    """Starts KWin, kded5 with the tray's watcher, and plasmashell on the desktop; waits until
    the panel's tray has registered with the watcher. Returns the shell."""
    services = desktop.services
    services.start_bus("session")
    # What a Plasma session tells its programs, Lumivo included.
    desktop.extra_env.update(KDE_FULL_SESSION="true", KDE_SESSION_VERSION="5",
                             XDG_CURRENT_DESKTOP="KDE")
    env = dict(desktop.env(), LIBGL_ALWAYS_SOFTWARE="1")
    desktop._spawn(["kwin_x11"], env)
    wait_for(lambda: services.name_has_owner("session", "org.kde.KWin"), 60, "KWin")
    # The shell will not load without the activity manager, and the settings updates that
    # kded5 runs first wait for it.
    desktop._spawn([ACTIVITY_MANAGER], env)
    wait_for(lambda: services.name_has_owner("session", "org.kde.ActivityManager"), 30,
             "the activity manager")
    desktop._spawn(["kded5"], env)
    wait_for(lambda: services.name_has_owner("session", "org.kde.kded5"), 30, "kded5")
    if not services.name_has_owner("session", WATCHER):
        # kded5 answers once its start-up is done, which takes a while on a busy machine.
        if services.send("session", "--dest=org.kde.kded5", "/kded", "org.kde.kded5.loadModule",
                         "string:statusnotifierwatcher", timeout=60) is None:
            raise AssertionError("kded5 did not load its statusnotifierwatcher module")
    wait_for(lambda: services.name_has_owner("session", WATCHER), 10,
             "Plasma's StatusNotifierWatcher")
    shell = desktop._spawn(["plasmashell", "--no-respawn"], env)
    wait_for(lambda: "boolean true" in (services.send(
        "session", f"--dest={WATCHER}", "/StatusNotifierWatcher",
        "org.freedesktop.DBus.Properties.Get", f"string:{WATCHER}",
        "string:IsStatusNotifierHostRegistered") or ""), 90, "plasmashell's system tray")
    return shell


def menu(desktop):
    """The shell's menu on the screen, told apart from its tool tips by its window type."""
    for window in desktop.windows(desktop.tray.pid):
        kind = subprocess.run(["xprop", "-display", desktop.display, "-id", str(window["id"]),
                               "_NET_WM_WINDOW_TYPE"], capture_output=True, text=True).stdout
        if window["popup"] and "_NET_WM_WINDOW_TYPE_POPUP_MENU" in kind:
            return window
    return None
