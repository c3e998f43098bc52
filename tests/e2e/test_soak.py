"""Thousands of mixed events on one Lumivo process: it survives, leaks nothing, ends clean.

LUMIVO_SOAK_MINUTES runs the mix for that long instead of its 20 rounds (a long run, by hand).
The private bytes it prints each minute are those of a traced Lumivo: Wine's +relay keeps 72
bytes for every load of the MCI driver, which each door command loads (docs/performance.md)."""

import os
import re
import time
from pathlib import Path

from cases import TrayHostsTestCase, on_configurations, seeded_random
from lumivo import (ABOUT_PANEL, CLOSED, GREEN, LEFT_DOWN, MAIN_TITLE, OPEN, RED, RIGHT_DOUBLE,
                    RIGHT_UP, TRAY_CALLBACK, WM_CANCELMODE)
from screen import color_name
from waiting import wait_for, wait_settled
from wine_prefix import EXE, PREFIX

DESKTOP_SPOT = (300, 200)      # bare desktop: a click there closes the menu
# Every mouse message the shell reports, and values it never sends (negative X included).
CODES = list(range(512, 527)) + [0, 1, 2, 255, 511, 527, 700, 1023, 0x7FFF, 0x8000, 0xFFFF]
ROUNDS, POSTS_PER_ROUND = 20, 110
MIN_EVENTS = 2000
LEAK_SLACK = 5


def private_kib(exe_name=EXE.name):
    """The pages the Wine process of exe_name in this prefix has written (Private_Dirty), in KiB:
    its heaps, stacks and changed data, Lumivo's and Wine's own."""
    prefix = f"WINEPREFIX={PREFIX}".encode()
    for proc in Path("/proc").iterdir():
        try:
            argv0 = (proc / "cmdline").read_bytes().split(b"\0")[0].decode("latin-1")
            if (re.split(r"[\\/]", argv0)[-1].lower() == exe_name.lower()
                    and prefix in (proc / "environ").read_bytes().split(b"\0")):
                rollup = (proc / "smaps_rollup").read_text()
                return int(re.search(r"^Private_Dirty:\s+(\d+)", rollup, re.M)[1])
        except (OSError, ValueError):
            continue
    raise AssertionError(f"no {exe_name} process in {PREFIX}")


# The long run on the 64-bit exe and on the release exe where most users run it.
@on_configurations("x64", "wow64")
class SoakTest(TrayHostsTestCase):
    def setUp(self):
        super().setUp()
        self.door_open = False                         # the last door command given by the tray
        self.events = 0
        self.rng = seeded_random("LUMIVO_SOAK_SEED")

    # ---- bookkeeping

    def sync(self, timeout=20):
        """Waits until Lumivo has given exactly the door commands expected and shows one lamp."""
        s = self.session
        wait_for(lambda: self.door_commands() == self.commands, timeout,
                 f"the door commands to be {self.commands[-3:]} (last three of "
                 f"{len(self.commands)})")
        want = RED if self.door_open else GREEN
        found = wait_for(lambda: (lambda f: f if [c for c, _ in f] == [want] else None)(s.lamps()),
                         timeout, f"one {color_name(want)} lamp and no other")
        return found[0][1]

    def act(self, code, host):
        """The effect a tray callback has on the expected state."""
        if code == LEFT_DOWN and host == self.closed_host:
            self.door_open = True
            self.commands.append(OPEN)
        elif code == RIGHT_UP and host == self.open_host:
            self.door_open = False
            self.commands.append(CLOSED)

    # ---- events

    def post_round(self):
        lines = []
        for _ in range(POSTS_PER_ROUND):
            host = self.rng.choice((self.closed_host, self.open_host))
            code = self.rng.choice(CODES)
            if code == RIGHT_DOUBLE and host == self.closed_host:
                # The menu's own loop would swallow the callbacks posted after it: the menu is
                # opened by real clicks below instead.
                code = RIGHT_UP
            high = self.rng.choice((0, 0, 0, self.rng.randrange(1 << 16)))
            wparam = 1 if self.rng.random() < 0.9 else self.rng.choice((0, 2, 0xFFFF))
            lines.append(f"p {host} {TRAY_CALLBACK} {wparam} {code | high << 16}")
            self.act(code, host)
        tally = self.session.probe.batch(lines, "soak")
        self.assertEqual((tally["posted"], tally["failed"]), (POSTS_PER_ROUND, 0), tally)
        self.events += POSTS_PER_ROUND
        self.sync()

    def click_lamp(self, button):
        self.session.click(*self.sync(), button=button)
        self.events += 1

    def toggle_by_click(self):
        """A left click on the green lamp, or a right click on the red one."""
        code, host = (RIGHT_UP, self.open_host) if self.door_open else (LEFT_DOWN, self.closed_host)
        self.click_lamp(3 if self.door_open else 1)
        self.act(code, host)
        self.sync()

    def idle_click(self):
        """The click that does nothing in this state: right on the green lamp, left on the red."""
        self.click_lamp(1 if self.door_open else 3)
        self.sync()

    def hotkey(self, key, command):
        """Held until Lumivo reacts (it polls every 10 ms); each poll while held is a command."""
        before = len(self.commands)
        with self.session.key_down(key):
            wait_for(lambda: len(self.door_commands()) > before, 10, f"{key} to act")
        now = wait_settled(self.door_commands, "the key's commands", settle=0.15, timeout=10)
        self.assertEqual(now[:before], self.commands)
        self.assertEqual(set(now[before:]), {command})
        self.commands = now
        self.events += 1
        self.sync()

    def to_green(self):
        if self.door_open:
            self.toggle_by_click()
        self.sync()

    def menu_and_dismiss(self, by_click):
        s = self.session
        self.to_green()
        s.open_menu()
        if by_click:
            s.click(*DESKTOP_SPOT)
        else:
            s.probe.post(self.main, WM_CANCELMODE, 0, 0)
        wait_for(lambda: not s.probe.menu_window(), 5, "the menu to close")
        self.events += 2
        self.sync()

    def about_cycle(self):
        self.to_green()
        about = self.show_about()
        self.click_in(about, ABOUT_PANEL)
        self.wait_gone(about["hwnd"])
        self.events += 3
        self.sync()

    def counts(self, label):
        c = self.session.probe.counts(self.pid)
        print(f"{label}: USER {c['user']}, GDI {c['gdi']}, handles {c['handles']}, "
              f"private {private_kib()} KiB", flush=True)
        return c

    # ---- the test

    def test_thousands_of_mixed_events_leak_nothing(self):
        s = self.session
        started = time.monotonic()
        # One of every kind first: Wine creates menu fonts, tooltips and the like on first use,
        # and they must be in the starting figures too. The About window ends unloaded here and
        # at the end: once shown from the menu it can only be hidden by unloading it, so the
        # splash's loaded-but-hidden state cannot be had again for the final figures.
        self.toggle_by_click()
        self.toggle_by_click()
        self.idle_click()
        self.hotkey("KP_Divide", OPEN)
        self.menu_and_dismiss(by_click=True)
        self.menu_and_dismiss(by_click=False)
        self.about_cycle()
        start = self.counts("start")

        minutes = float(os.environ.get("LUMIVO_SOAK_MINUTES", 0))
        deadline, report = started + minutes * 60, time.monotonic() + 60
        r = 0
        while r < ROUNDS or time.monotonic() < deadline:
            self.post_round()
            self.toggle_by_click()
            if r % 2:
                self.idle_click()
            if r % 3 == 0:
                self.hotkey(*(("KP_Divide", OPEN), ("KP_Multiply", CLOSED))[r % 2])
            if r % 4 == 1:
                self.menu_and_dismiss(by_click=r % 8 == 1)
            if r % 5 == 2:
                self.about_cycle()
            if minutes and time.monotonic() >= report:
                self.counts(f"{(time.monotonic() - started) / 60:.0f} min, round {r}")
                report += 60
            r += 1
        self.post_round()

        self.assertGreaterEqual(self.events, MIN_EVENTS)
        self.assert_alive()
        self.sync()
        end = self.counts("end")
        print(f"{self.events} events in {time.monotonic() - started:.1f} s; "
              f"door {'open' if self.door_open else 'closed'}")
        for kind in ("user", "gdi", "handles"):
            self.assertLessEqual(end[kind], start[kind] + LEAK_SLACK,
                                 f"{kind} objects grew from {start[kind]} to {end[kind]}")

        # And it still ends clean: no lamp is left behind.
        self.assertTrue(s.probe.close(MAIN_TITLE))
        self.wait_no_lamp()
        self.wait_process_ended()
