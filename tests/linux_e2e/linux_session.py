"""Runs build/linux/lumivo on a private Xvfb with trayer as the tray and drives it like a user.

Each test gets its own display, tray, runtime folder and fake drive: a regular file whose path
the program takes from LUMIVO_CDROM. strace records the door requests made on it, with their
times, and answers them as a drive would (0, or the error a test sets in door_error). Buses
lead nowhere, so Qt uses the XEmbed tray and logind, NetworkManager and UDisks2 are absent,
unless the test starts them, and the services on them, through the desktop's services
(system_services.py, in set_up_services). A desktop made with tray="xfce" has Xfce's panel on
the test's session bus instead (sni_panel.py), with "gnome" or "plasma" that desktop's shell
(gnome_shell.py, plasma.py), and one made with tray=None has no tray until start_tray.
Environment: LUMIVO_LINUX_EXE, the program under test (default build/linux/lumivo).
"""

import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from collections import Counter
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
# The Wine suite's polling helper serves this one as well.
sys.path.append(str(REPO / "tests" / "e2e"))
from waiting import wait_for  # noqa: E402
import gnome_shell  # noqa: E402
import plasma  # noqa: E402
import sni_panel  # noqa: E402
from system_services import SystemServices  # noqa: E402
EXE = Path(os.environ.get("LUMIVO_LINUX_EXE", REPO / "build" / "linux" / "lumivo")).resolve()
LOG_DIR = REPO / "build" / "linux_e2e" / "logs"
SCREEN = (800, 600)
GREEN, RED = (0, 255, 0), (255, 0, 0)
TRAY_AREA = (600, 0, 800, 40)  # trayer stands at the top right
EJECT, CLOSE = "CDROMEJECT", "CDROMCLOSETRAY"


class Screenshot:
    def __init__(self, data):
        header = re.match(rb"P6\s+(?:#[^\n]*\n)*(\d+)\s+(\d+)\s+255\s", data)
        if not header:
            raise AssertionError("not an 8-bit PPM screenshot")
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return tuple(self.pixels[at:at + 3])

    def squares(self, color, area, size=6):
        """Centres of the size x size squares of exactly that color in the area."""
        left, top, right, bottom = area
        found = []
        for y in range(top, min(bottom, self.height) - size):
            for x in range(left, min(right, self.width) - size):
                if all(self.pixel(x + dx, y + dy) == color
                       for dy in range(size) for dx in range(size)):
                    if not any(abs(x - fx) < 16 and abs(y - fy) < 16 for fx, fy in found):
                        found.append((x + size // 2, y + size // 2))
        return found


class Desktop:
    """An X display with a tray, and the Lumivo processes started on it."""

    def __init__(self, name, tray="trayer", session_bus=False):
        self.name = name
        self.dir = Path(tempfile.mkdtemp(prefix="lumivo-e2e-"))
        self.runtime_dir = self.dir / "runtime"
        self.runtime_dir.mkdir(mode=0o700)
        self.home = self.dir / "home"
        self.home.mkdir()
        self.cdrom = self.dir / "cdrom"
        self.cdrom.write_bytes(b"")
        self.strace_log = self.dir / "strace.log"
        self.door_error = None  # the errno name the fake drive answers door requests with
        self.extra_env = {}  # what a test adds to the environment (its buses, ...)
        self.processes = []
        self.traced = []
        self.owners = {}  # window id: the pid that owns it
        LOG_DIR.mkdir(parents=True, exist_ok=True)
        self.services = SystemServices(self.dir / "buses", self.env, LOG_DIR / f"{name}-bus.log")
        # A compositing window manager (GNOME Shell) draws the screen on its overlay window,
        # which the root window's contents leave out: its screenshots come from Xvfb's frame
        # buffer.
        self.composited = tray in ("gnome", "plasma")
        self.xvfb = self._start_xvfb()
        self.sni = None  # the StatusNotifierItem host's items, where there is one
        self.tray_area = TRAY_AREA
        if session_bus:
            self.services.start_bus("session")
        if tray:
            try:
                self.start_tray(tray)
            except BaseException:
                self.stop()
                raise

    def start_tray(self, tray):
        """trayer (XEmbed), or xfce, gnome or plasma (StatusNotifierItem hosts, on the session
        bus)."""
        if tray == "gnome":
            self.tray_area = gnome_shell.PANEL_AREA
            self.tray = gnome_shell.start_shell(self)
            self.sni = sni_panel.StatusNotifierHost(self.services)
        elif tray == "plasma":
            self.tray_area = plasma.PANEL_AREA
            self.tray = plasma.start_plasma(self)
            self.sni = sni_panel.StatusNotifierHost(self.services)
        elif tray == "xfce":
            self.tray_area = sni_panel.PANEL_AREA
            self.sni, self.tray = sni_panel.start_panel(self._spawn, self.services, self.home)
        else:
            self.tray = self._spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                     "request", "--height", "24", "--transparent", "false"])

    def _start_xvfb(self):
        read, write = os.pipe()
        frame_buffer = ["-fbdir", str(self.dir)] if self.composited else []
        # -noreset: an X server resets when its last client leaves, and a client connecting
        # meanwhile is refused ("could not connect to display"): a tool that had looked at the
        # screen before Lumivo started could make its start fail.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                 f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp", "-noreset",
                                 *frame_buffer],
                                pass_fds=(write,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.display = ":" + pipe.readline().strip()
        return xvfb

    def env(self):
        # An X11 session, whatever desktop the tests run from.
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "XDG_", "QT_", "WAYLAND_"))}
        env.update(DISPLAY=self.display, XDG_RUNTIME_DIR=str(self.runtime_dir),
                   HOME=str(self.home), NO_AT_BRIDGE="1",
                   DBUS_SYSTEM_BUS_ADDRESS=f"unix:path={self.dir}/no-system-bus",
                   # Not unset: libdbus would autolaunch a session bus that outlives the test.
                   DBUS_SESSION_BUS_ADDRESS=f"unix:path={self.dir}/no-session-bus",
                   LUMIVO_CDROM=str(self.cdrom), LC_ALL="C.UTF-8")
        env.update(self.services.env)
        env.update(self.extra_env)
        return env

    def _spawn(self, command, env=None):
        """Starts a process on the display; what it prints goes to the test's log."""
        LOG_DIR.mkdir(parents=True, exist_ok=True)
        log = LOG_DIR / f"{self.name}-{Path(command[0]).name}.log"
        with open(log, "ab") as output:
            process = subprocess.Popen(command, env=env or self.env(), stdin=subprocess.DEVNULL,
                                       stdout=output, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def start_lumivo(self, traced=True, env=None):
        """Starts a copy; with traced, under strace, whose log then holds its door requests.
        Returns the Popen of the program itself (through strace: its pid and its end)."""
        if not traced:
            return self._spawn([str(EXE)], env)
        answer = f"error={self.door_error}" if self.door_error else "retval=0"
        tracer = self._spawn(["strace", "-f", "-qq", "-y", "-ttt", "-P", str(self.cdrom),
                              "-P", str(EXE), "-e", "trace=ioctl,execve,openat,close",
                              "-e", f"inject=ioctl:{answer}", "-o", str(self.strace_log),
                              str(EXE)], env)
        traced = Traced(tracer, self.strace_log)
        self.traced.append(traced)
        return traced

    def stop_lumivo(self, traced):
        """Ends a copy started with start_lumivo at once."""
        if traced.poll() is None:
            with contextlib.suppress(ProcessLookupError):  # ended, and strace about to
                os.kill(traced.pid, signal.SIGKILL)
            try:
                traced.wait(5)
            except subprocess.TimeoutExpired:
                traced.tracer.kill()
                traced.wait(5)

    def stop(self):
        # A stopped strace lets its program go on; without an X server to lose, it would stay.
        for traced in self.traced:
            if traced.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.kill(traced.pid, signal.SIGTERM)
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.services.stop()
        self.xvfb.terminate()
        self.xvfb.wait()
        if self.strace_log.exists():  # beside the test's other logs, for a look afterwards
            shutil.copy(self.strace_log, LOG_DIR / f"{self.name}-door.strace")
        shutil.rmtree(self.dir, ignore_errors=True)

    # ------------------------------------------------------------ what the user sees

    def _screen(self):
        if self.composited:
            return ["convert", f"xwd:{self.dir}/Xvfb_screen0"]
        return ["import", "-display", self.display, "-window", "root"]

    def screenshot(self):
        data = subprocess.run([*self._screen(), "-depth", "8", "ppm:-"],
                              check=True, capture_output=True).stdout
        return Screenshot(data)

    def save_screenshot(self, label, path=None):
        """Into the log folder, named after the test, unless a path is given."""
        path = Path(path or LOG_DIR / f"{self.name}-{label}.png")
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run([*self._screen(), str(path)], check=False)

    def lamps(self, color):
        return self.screenshot().squares(color, self.tray_area)

    def wait_lamp(self, color, timeout=10):
        return wait_for(lambda: (self.lamps(color) or [None])[0], timeout, f"the {color} lamp")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=False,
                              capture_output=True, text=True).stdout

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "sleep", 0.1, "click", button)

    def double_click(self, x, y, button=1):
        """Two clicks 150 ms apart, well within the double-click time."""
        self.xdotool("mousemove", x, y, "sleep", 0.1,
                     "click", "--repeat", 2, "--delay", 150, button)

    def key(self, *names):
        self.xdotool("key", "--delay", 80, *names)

    def hold(self, name, seconds):
        """Holds a key down long enough for the 10 ms poller to see it."""
        self.xdotool("keydown", name, "sleep", seconds, "keyup", name)

    def windows(self, pid):
        """The visible windows of a process (of any, for None): name, geometry, and whether they
        are popups (override-redirect: menus and tool tips)."""
        found = []
        for window in self.xdotool("search", "--onlyvisible", "--name", "").split():
            if window not in self.owners:  # a window keeps its process: asked until it tells
                owner = subprocess.run(["xprop", "-display", self.display, "-id", window,
                                        "_NET_WM_PID"], capture_output=True, text=True).stdout
                if "=" in owner:
                    self.owners[window] = owner.split("=")[-1].strip()
            if pid is not None and self.owners.get(window) != str(pid):
                continue
            info = subprocess.run(["xwininfo", "-display", self.display, "-id", window],
                                  capture_output=True, text=True).stdout
            if "Map State: IsViewable" not in info:
                continue
            number = lambda label: int(re.search(label + r":\s+(-?\d+)", info)[1])
            name = re.search(r'Window id: \S+ "(.*)"', info)
            found.append({"id": int(window), "name": name[1] if name else "",
                          "popup": "Override Redirect State: yes" in info,
                          "x": number("Absolute upper-left X"), "y": number("Absolute upper-left Y"),
                          "width": number("Width"), "height": number("Height")})
        return found

    def window(self, pid, name=None, popup=None, min_height=0):
        return next((w for w in self.windows(pid)
                     if (name is None or w["name"] == name) and
                     (popup is None or w["popup"] == popup) and w["height"] >= min_height), None)

    def wait_window(self, pid, timeout=10, **what):
        return wait_for(lambda: self.window(pid, **what), timeout, f"a window {what} of {pid}")

    def menu(self, pid):
        return self.window(pid, popup=True, min_height=60)

    def tool_tip(self, pid):
        """A popup line: wider than the tray's 22-pixel icon windows, lower than a menu."""
        return next((w for w in self.windows(pid)
                     if w["popup"] and w["height"] < 60 and w["width"] > 60), None)

    def menu_rows(self, menu):
        """The menu's lines from top to bottom: "item" (text) or "separator" (a plain line)."""
        return [kind for kind, _ in self.menu_lines(menu)]

    def menu_items(self, menu):
        """The screen points of the menu's items, from top to bottom."""
        return [(menu["x"] + menu["width"] // 2, y) for kind, y in self.menu_lines(menu)
                if kind == "item"]

    def menu_lines(self, menu):
        """The menu's lines from top to bottom, with the height of their middle."""
        shot = self.screenshot()
        left, right = menu["x"] + 4, menu["x"] + menu["width"] - 4
        lines = [[sum(shot.pixel(x, y)) // 3 for x in range(left, right)]
                 for y in range(menu["y"] + 2, menu["y"] + menu["height"] - 2)]
        # Text stands out from the menu's background; a separator is a faint line across it:
        # Qt's a grey one, GTK's one pixel barely off white, GNOME's a lighter grey on dark.
        background = Counter(s for shades in lines for s in shades).most_common(1)[0][0]
        rows = []
        for y, shades in enumerate(lines, menu["y"] + 2):
            if max(abs(s - background) for s in shades) > 100:
                kind = "item"
            elif sum(1 for s in shades if abs(s - background) > 16) > 0.6 * len(shades):
                kind = "separator"
            else:
                continue
            if not rows or rows[-1][0] != kind or y - rows[-1][2] > 3:
                rows.append([kind, y, y])
            rows[-1][2] = y
        return [(kind, (top + bottom) // 2) for kind, top, bottom in rows]

    # ------------------------------------------------------------ what the program does

    def door_requests(self):
        """The door requests on the fake drive so far, in order."""
        if not self.strace_log.exists():
            return []
        pattern = re.compile(r"ioctl\(\d+<" + re.escape(str(self.cdrom)) + r">, (" + EJECT + "|" +
                             CLOSE + ")")
        return pattern.findall(self.strace_log.read_text(errors="replace"))

    def door_request_times(self, request):
        """When each request of that kind was made, in seconds since the epoch."""
        pattern = re.compile(r"^\d+ +([\d.]+) ioctl\(\d+<" + re.escape(str(self.cdrom)) + r">, " +
                             request, re.M)
        text = self.strace_log.read_text(errors="replace") if self.strace_log.exists() else ""
        return [float(t) for t in pattern.findall(text)]

    def wait_door_requests(self, expected, timeout=5):
        wait_for(lambda: self.door_requests() == expected, timeout,
                 f"door requests {expected}, have {self.door_requests()}")


class Traced:
    """The program started under strace: its own pid, and its end as strace reports it."""

    def __init__(self, tracer, log):
        self.tracer = tracer
        # strace pads the pid to five columns: "1073  <time> execve(...)", "12345 <time> ...".
        started = re.compile(r"^(\d+) +[\d.]+ execve\(\"" + re.escape(str(EXE)) + r"\".* = 0$",
                             re.M)
        self.pid = int(wait_for(lambda: log.exists() and started.search(log.read_text()), 10,
                                "the traced program to start")[1])

    def poll(self):
        return self.tracer.poll()

    def wait(self, timeout):
        return self.tracer.wait(timeout)


class LumivoTestCase(unittest.TestCase):
    """A fresh desktop for each test, with one copy of Lumivo started and in the tray."""

    TRAY = "trayer"  # the desktop's tray at the start: "trayer", "xfce" or None
    SESSION_BUS = False  # a session bus even without Xfce's panel

    def setUp(self):
        if not EXE.exists():
            self.fail(f"{EXE} is not built (cmake --build --preset linux)")
        self.desktop = Desktop(self.id().rsplit(".", 2)[-1], self.TRAY, self.SESSION_BUS)
        self.addCleanup(self.desktop.stop)
        self.addCleanup(self.desktop.save_screenshot, "end")
        self.started = time.monotonic()
        self.services = self.desktop.services
        self.set_up_services(self.services)
        self.lumivo = self.start()

    def start(self):
        """Starts the copy under test."""
        return self.desktop.start_lumivo()

    def set_up_services(self, services):
        """Starts what the test needs on the buses before Lumivo starts: nothing here."""

    def wait_in_tray(self):
        return self.desktop.wait_lamp(GREEN)

    def open_menu(self):
        self.desktop.click(*self.wait_in_tray(), button=3)
        return wait_for(lambda: self.desktop.menu(self.lumivo.pid), 10, "the menu")

    def assert_running(self):
        self.assertIsNone(self.lumivo.poll(), "Lumivo ended")

    def wait_ended(self, timeout=10):
        wait_for(lambda: self.lumivo.poll() is not None, timeout, "Lumivo to end")
        self.assertEqual(self.lumivo.poll(), 0)

    def message_box(self, pid=None, timeout=10):
        return self.desktop.wait_window(pid or self.lumivo.pid, name="Lumivo", popup=False,
                                        timeout=timeout)
