"""Test cases on a freshly started Lumivo, with the waits and checks the test modules share."""

import contextlib
import os
import random
import time
import unittest

from lumivo import (ABOUT_SIZE, CLOSED, GREEN, MENU_ABOUT, MENU_ITEMS, MENU_ROWS, OPEN, RED,
                    SYSTEM32, TPM_RIGHTBUTTON)
from session import LumivoSession
from waiting import wait_for
from wine_prefix import CONFIG, LOG_DIR

SEED = 7


def on_configurations(*names):
    """For a test class whose subject does not change with the exe's bitness, or that costs
    too much to repeat on each: it runs on these configurations only."""
    return unittest.skipUnless(CONFIG.name in names,
                               f"runs on the {' and '.join(names)} configuration(s)")


def seeded_random(variable):
    """The same random events in every run; the environment variable chooses others."""
    seed = int(os.environ.get(variable, SEED))
    print(f"\nseed {seed} ({variable} to change it)")
    return random.Random(seed)


class LumivoTestCase(unittest.TestCase):
    """Each test gets its own display, desktop and freshly started Lumivo.exe."""

    start_lumivo = True  # False: the test calls session.launch() itself

    def setUp(self):
        self.session = LumivoSession(self.id().split(".", 1)[-1], **self.session_options())
        self.addCleanup(self.session.stop)
        self.addCleanup(self._last_screenshot)
        self.session.start(launch=self.start_lumivo)

    def session_options(self):
        """Where and how this test's Lumivo starts: LumivoSession's exe, cwd and extra_env."""
        return {}

    def _last_screenshot(self):
        # Beside the logs, what the screen showed at the end; its absence hides no result.
        with contextlib.suppress(Exception):
            self.session.screenshot(LOG_DIR / f"{self.session.name}.end.png")

    def lumivo_pid(self, timeout=20):
        return wait_for(lambda: (lambda p: p if len(p) == 1 else None)(
            self.session.probe.lumivo_pids()), timeout, "exactly one Lumivo.exe process")[0]

    def window(self, hwnd):
        return next((w for w in self.session.probe.windows() if w["hwnd"] == hwnd), None)

    def wait_window(self, predicate, message, timeout=10):
        """The first window, of any program, that satisfies predicate."""
        return wait_for(lambda: next((w for w in self.session.probe.windows(all_processes=True)
                                      if predicate(w)), None), timeout, message)

    def wait_message_box(self, shown_by=lambda pid: True, timeout=20):
        """A visible message box of a Lumivo that shown_by(pid) accepts, once its text reads:
        a box just shown may not answer the probe's WM_GETTEXT in time."""
        def readable_box():
            return next((w for w in self.session.probe.windows()
                         if w["class"] == "#32770" and w["visible"] and shown_by(w["pid"])
                         and any(c["text"] for c in w["children"]
                                 if c["class"].lower() == "static")), None)
        return wait_for(readable_box, timeout, "a message box with its text")

    def assert_stays_visible(self, hwnd, seconds):
        """Polls for a while: the window must be there and visible at every look."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            w = self.window(hwnd)
            self.assertTrue(w and w["visible"], "the About window went away")
            time.sleep(0.1)

    def wait_gone(self, hwnd, timeout=5):
        wait_for(lambda: self.window(hwnd) is None, timeout, f"window {hwnd} to be destroyed")

    def wait_about_closed(self, about):
        """The About window goes, and Lumivo stays: closing it ends nothing."""
        self.wait_gone(about["hwnd"])
        time.sleep(0.5)  # a crash on the way out comes just after the window has gone
        self.assertEqual(len(self.session.probe.lumivo_pids()), 1, "Lumivo ended with the window")

    def wait_no_lamp(self, timeout=10):
        wait_for(lambda: not self.session.lamps(), timeout, "the lamp to leave the tray")

    def wait_process_ended(self, timeout=10):
        wait_for(lambda: not self.session.probe.lumivo_pids(), timeout, "Lumivo.exe to end")

    def assert_only_lamp(self, color):
        self.assertEqual([c for c, _ in self.session.lamps()], [color])

    def click_in(self, window, place):
        """Clicks a place of the About window, an ABOUT_* (point in the window, tip)."""
        (x, y), _ = place
        self.session.click(window["rect"][0] + x, window["rect"][1] + y)

    def click_menu(self, index):
        """Opens the menu from the green lamp and clicks its item index."""
        menu = self.session.open_menu()
        self.assertEqual(len(menu["items"]), MENU_ITEMS, menu)
        self.session.click_menu_item(menu, index)

    def show_about(self):
        self.click_menu(MENU_ABOUT)
        return self.session.probe.wait_visible(*ABOUT_SIZE, timeout=10)


class LampTestCase(LumivoTestCase):
    """Lumivo is up: its green lamp is in the tray at self.green, self.pid is its process."""

    def setUp(self):
        super().setUp()
        self.green = self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()

    def door_commands(self):
        return self.session.trace.door_commands(self.pid)

    def wait_door_commands(self, expected, timeout=5):
        wait_for(lambda: self.door_commands() == expected, timeout, f"door commands {expected}")

    def open_and_close_by_clicks(self):
        """A left click on the green lamp, then a right click on the red one."""
        s = self.session
        s.click(*self.green, button=1)
        red = s.wait_tray_icon(RED)
        self.wait_door_commands([CLOSED, OPEN])
        s.click(*red, button=3)
        s.wait_tray_icon(GREEN)
        self.wait_door_commands([CLOSED, OPEN, CLOSED])

    def right_double_click_chooses_nothing(self):
        """A real right double click on the green lamp opens the menu on its second press; the
        release of that button, wherever the menu opened, chooses nothing, and Escape closes the
        menu with Lumivo still running."""
        s = self.session
        menu = s.open_menu(hold=True)
        self.assertEqual([kind for kind, _ in menu["rows"]], MENU_ROWS, menu)
        track = wait_for(lambda: s.trace.calls("TrackPopupMenu", self.pid), 5, "TrackPopupMenu")
        self.assertEqual(len(track), 1)
        self.assertEqual(track[0].args[1].low32 & TPM_RIGHTBUTTON, 0, "the right button chooses")
        time.sleep(1)
        self.assertIsNone(s.trace.result(track[0]), "the menu closed with the button's release")
        self.assertTrue(s.probe.menu_window(), "the menu closed with the button's release")
        s.key("Escape")
        wait_for(lambda: not s.probe.menu_window(), 5, "Escape to close the menu")
        wait_for(lambda: s.trace.result(track[0]) is not None, 5, "TrackPopupMenu to return")
        self.assertEqual(s.trace.result(track[0]), 0, "an item was chosen")
        self.assertEqual(s.trace.calls("ExitWindowsEx", self.pid), [])
        self.assertEqual(s.probe.lumivo_pids(), [self.pid])
        self.assert_only_lamp(GREEN)

    def drives_asked(self):
        return [c.args[0].text for c in self.session.trace.calls("GetDriveTypeA", self.pid)]

    def launches(self):
        """(program, command line) of each program Lumivo started, oldest first."""
        return [(c.args[0].text, c.args[1].text)
                for c in self.session.trace.calls("CreateProcessW", self.pid)]

    def current_folders(self):
        """The current folder each program Lumivo started was given."""
        return [c.args[7].text for c in self.session.trace.calls("CreateProcessW", self.pid)]

    def wait_launches(self, count, timeout=10):
        wait_for(lambda: len(self.launches()) >= count, timeout, f"{count} program start(s)")

    def assert_launched(self, expected):
        """Lumivo started exactly these programs so far, in order: [(paths, command line)]."""
        launches = self.launches()
        self.assertEqual([command for _, command in launches], [command for _, command in expected])
        for (program, _), (paths, _) in zip(launches, expected):
            self.assertIn(program.lower(), paths)
        # Nothing a started program loads by a bare name comes from where Lumivo was started.
        self.assertEqual([(f or "").lower().rstrip("\\") + "\\" for f in self.current_folders()],
                         [SYSTEM32] * len(launches), "not started in the system folder")

    def assert_launches_succeeded(self):
        trace = self.session.trace
        for call in trace.calls("CreateProcessW", self.pid):
            # The call's line may be in the trace before its return's.
            wait_for(lambda: trace.result(call) is not None, 5, "CreateProcessW to return")
            self.assertEqual(trace.result(call), 1, call.line)


class TrayHostsTestCase(LampTestCase):
    """A test that talks to Lumivo's windows directly: knows both icon hosts, the main window
    and the door commands sent so far."""

    def setUp(self):
        super().setUp()
        self.closed_host, self.open_host = self.session.tray_hosts(self.pid)
        self.main = self.session.probe.main_window()["hwnd"]
        self.commands = self.door_commands()

    def assert_alive(self):
        """The same one Lumivo.exe runs, and its window thread answers a sent WM_NULL."""
        self.assertEqual(self.session.probe.lumivo_pids(), [self.pid],
                         "Lumivo.exe died or another one started")
        self.assertTrue(self.session.probe.ping(), "the main window does not answer")
