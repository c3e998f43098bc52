"""One test's Xvfb display and Wine desktop, the programs started in it, and a user's hands."""

import contextlib
import json
import os
import re
import signal
import subprocess
import sys
import time

from desktop_probe import DesktopProbe, read_line
from lumivo import CLICK_GAP, CLOSED, GREEN, LEFT_DOWN, OPEN, RIGHT_UP, TRAY_CALLBACK
from relay_trace import RelayTrace
from screen import Image, color_name, menu_rows, tray_lamps
from waiting import TIME_SCALE, wait_for, wait_settled
from wine_prefix import EXE, LOG_DIR, PROBE_EXE, SYSTEM_WINE, environment, run, wine_env

DESKTOP = "Lumivo"
SCREEN = (800, 600)


class LumivoSession:
    """Xvfb + Wine desktop + Lumivo.exe for one test. Use start(); stop() always cleans up.
    exe: a host path, or a Windows path in the prefix; cwd: a host folder (default: the exe's
    own); extra_env: more environment for it."""

    def __init__(self, name, exe=EXE, cwd=None, extra_env=None):
        environment()
        self.exe, self.cwd, self.extra_env = exe, cwd or EXE.parent, extra_env or {}
        self.name = re.sub(r"[^\w.-]+", "_", name)
        self.display = self.xvfb = self.probe = self._splash_watch = None
        self.processes = []  # the launchers, and through their sessions what they started
        self.logs = []
        self.trace = RelayTrace(self.logs)  # of every Lumivo launch() started
        self._last_click = 0.0

    # ---- life cycle

    def start(self, launch=True):
        """Display and desktop, then (unless launch is false) Lumivo."""
        self._start_xvfb()
        self.probe = DesktopProbe(DESKTOP, self.env(), self.name)
        self._start_desktop()
        # Watch for the splash from before Lumivo starts: it shows for about a second only.
        self._splash_watch = self.probe.start("wait", 0, 0, 30000)
        if launch:
            self.launch()
        return self

    def env(self, debug="-all"):
        return wine_env(self.display, debug)

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        with open(LOG_DIR / f"{self.name}.xvfb.log", "wb") as log:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                 f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                start_new_session=True)
        os.close(write_fd)
        with os.fdopen(read_fd, "rb", buffering=0) as display_number:
            number = read_line(display_number, 30).strip()
        if not number:
            raise AssertionError("Xvfb did not report its display")
        self.display = ":" + number.decode()

    def _start_desktop(self):
        """A Wine desktop with its taskbar, kept open by an idle probe; Lumivo comes after."""
        self.start_program(PROBE_EXE, "desktop", DESKTOP, "hold")

        # No probe before explorer has made the desktop's X window: a probe that joined first
        # would make it, and take it along when it ends.
        def desktop_window():
            r = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env(),
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
            return f'"{DESKTOP} - Wine desktop"'.encode() in r.stdout
        wait_for(desktop_window, 60, "the Wine desktop window", interval=0.2)
        # The taskbar stays hidden until it has something to show; its window is enough.
        wait_for(lambda: any(w["class"] == "Shell_TrayWnd"
                             for w in self.probe.windows(all_processes=True)),
                 60, "the taskbar window", interval=0.2)

    def start_program(self, program, log_name, *args, debug="-all", extra_env=None, cwd=None,
                      explorer="explorer"):
        """Starts a program in the desktop through explorer, its output (trace included) going
        to a log; returns the launcher. Explorer by name gives a console program no console
        window; by full path (C:\\windows\\explorer.exe) no look-alike in cwd stands in for it."""
        with open(LOG_DIR / f"{self.name}.{log_name}.log", "wb") as log:
            proc = subprocess.Popen(
                [SYSTEM_WINE, explorer, f"/desktop={DESKTOP},{SCREEN[0]}x{SCREEN[1]}", str(program),
                 *args], env=dict(self.env(debug), **(extra_env or {})),
                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                start_new_session=True, cwd=cwd)
        self.processes.append(proc)
        return proc

    def launch(self, tag="main"):
        """Starts one more Lumivo.exe in the desktop; returns the trace of that one program.
        A launcher that ends without starting it (it happens, rarely) gets one more try."""
        for attempt in ("", ".retry"):
            log_name = f"{tag}{attempt}.relay"
            launcher = self.start_program(self.exe, log_name, debug="+relay,+timestamp,+pid",
                                          extra_env=self.extra_env, cwd=str(self.cwd),
                                          explorer="C:\\windows\\explorer.exe")
            trace = RelayTrace([LOG_DIR / f"{self.name}.{log_name}.log"])
            with contextlib.suppress(AssertionError):  # a launcher that hangs fails as well
                wait_for(lambda: self._created(trace) or launcher.poll() is not None, 30)
            if self._created(trace):
                self.logs.extend(trace.paths)
                return trace
            print(f"\n{self.name}: the launcher did not start {self.exe}"
                  f"{'' if attempt else '; starting it again'}", file=sys.stderr)
            self._end(launcher)
        raise AssertionError(f"the launcher did not start {self.exe}, twice")

    @staticmethod
    def _created(trace):
        return any(trace.result(c) == 1 for c in trace.calls("KERNEL32.CreateProcessW"))

    def splash_window(self, timeout=20):
        """The first visible Lumivo window, as the probe saw it the moment it became visible."""
        line = read_line(self._splash_watch.stdout, timeout)
        if not line.startswith(b"{"):
            raise AssertionError(f"no visible Lumivo window within {timeout} s of start")
        return self.probe.seen([json.loads(line)])[0]

    def tray_hosts(self, pid):
        """(closed-door host, open-door host): the main window's picture boxes that act on a
        sent tray callback, found by what they do. Leaves the lamp green, the door closed."""
        main = self.probe.main_window()["hwnd"]
        boxes = [w["hwnd"] for w in self.probe.tree()
                 if w["parent"] == main and w["class"] != "Button"]

        def acting(code, candidates, command):
            for box in candidates:
                before = len(self.trace.door_commands(pid))
                self.probe.send(box, TRAY_CALLBACK, 1, code)
                if after := self.trace.door_commands(pid)[before:]:
                    if after != [command]:
                        raise AssertionError(f"window {box} on {code} gave {after}")
                    return box
            raise AssertionError(f"no picture box of the main window acts on {code}")
        closed = acting(LEFT_DOWN, boxes, OPEN)
        return closed, acting(RIGHT_UP, [b for b in boxes if b != closed], CLOSED)

    def stop(self):
        with contextlib.suppress(subprocess.TimeoutExpired):
            run(["wineserver", "-k"], timeout=30, check=False)
        for proc in self.processes + (self.probe.running if self.probe else []):
            self._end(proc)
        if self.xvfb:
            self._end(self.xvfb)
        with contextlib.suppress(subprocess.TimeoutExpired):  # nothing may outlive the test
            run(["wineserver", "-w"], timeout=30, check=False)

    @staticmethod
    def _end(proc):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            if proc.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(proc.pid, sig)
                with contextlib.suppress(subprocess.TimeoutExpired):
                    proc.wait(5)
        if proc.stdout:
            proc.stdout.close()

    # ---- the screen

    def screenshot(self, path=None):
        r = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                           env=self.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           timeout=30, check=True)
        image = Image(*SCREEN, r.stdout)
        if path:
            image.save(path)
        return image

    def lamps(self):
        """Every lamp in the tray: [(colour, centre), ...]."""
        return tray_lamps(self.screenshot())

    def find_tray_icon(self, color):
        """The lamp of that colour when there is exactly one."""
        found = [p for c, p in self.lamps() if c == color]
        return found[0] if len(found) == 1 else None

    def wait_tray_icon(self, color, timeout=20):
        return wait_for(lambda: self.find_tray_icon(color), timeout,
                        f"exactly one {color_name(color)} lamp in the tray")

    def menu_layout(self):
        """The visible popup menu: its rect, its rows and the y of each item, or None."""
        menu = self.probe.menu_window()
        if not menu:
            return None
        rows = menu_rows(self.screenshot(), menu["rect"])
        return {"rect": menu["rect"], "rows": rows,
                "items": [y for kind, y in rows if kind == "item"]}

    def open_menu(self, lamp_color=GREEN, timeout=10, hold=False):
        """A right double click on the lamp; the menu once drawn. hold: the second press stays
        down until the menu shows, as a hand's does while the program reacts, and is released
        over it then."""
        lamp = self.wait_tray_icon(lamp_color)
        if hold:
            self.double_right_click_held(*lamp, self.probe.menu_window, timeout)
        else:
            self.double_right_click(*lamp)
        wait_for(self.probe.menu_window, timeout, "the popup menu")
        return wait_settled(lambda: (layout := self.menu_layout()) and layout["rows"] and layout,
                            "the menu's drawing", settle=0.2, timeout=timeout)

    def click_menu_item(self, layout, index):
        left, _, right, _ = layout["rect"]
        self.click((left + right) // 2, layout["items"][index])

    # ---- mouse and keys

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=30,
                       stdin=subprocess.DEVNULL)

    def click(self, x, y, button=1):
        self._paced_click("mousemove", x, y, "click", button)

    def double_right_click(self, x, y):
        self._paced_click("mousemove", x, y, "click", "--repeat", 2, "--delay", 120, 3)

    def double_right_click_held(self, x, y, held, timeout=10):
        """A right double click whose second press is let go once held() is true, after the
        pointer has trembled by a pixel, as a hand's does."""
        self._paced_click("mousemove", x, y, "click", 3, "sleep", 0.12, "mousedown", 3)
        try:
            wait_for(held, timeout, "the second press to be answered")
            self.xdotool("mousemove_relative", "--", 0, -1)
        finally:
            self.xdotool("mouseup", 3)
            self._last_click = time.monotonic()

    def _paced_click(self, *args):
        """Clicks no sooner than CLICK_GAP after the last: two clicks never pair by chance."""
        time.sleep(max(0.0, self._last_click + CLICK_GAP - time.monotonic()))
        self.xdotool(*args)
        self._last_click = time.monotonic()

    def key(self, name):
        self.xdotool("key", name)

    @contextlib.contextmanager
    def key_down(self, name):
        """Holds a key for the with block: `xdotool key` lets go within a few ms, sooner than
        Lumivo's 10 ms poll looks."""
        self.xdotool("keydown", name)
        try:
            yield
        finally:
            self.xdotool("keyup", name)

    def hold_key(self, name, seconds=0.1):
        with self.key_down(name):
            time.sleep(seconds * TIME_SCALE)
