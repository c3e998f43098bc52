"""Thousands of mixed events on one Lumivo process: it survives, leaks nothing, ends clean."""

import os
import random
import time
import unittest

from wine_session import (TrayHostsTestCase, GREEN, MAIN_TITLE, RED, TRAY_CALLBACK, WM_CANCELMODE,
                          environment, gui_counts, lamps, ping, post_batch, wait_for)

CLOSED, OPEN = "set CDAudio door closed", "set CDAudio door open"
LEFT_DOWN, RIGHT_UP, RIGHT_DOUBLE = 513, 517, 518
MENU_ABOUT = 2                 # 退出程序, 使用说明, 关于软件, ...
ABOUT_SIZE = (248, 119)
ABOUT_PANEL = (100, 30)        # window pixels inside the upper panel: a click there closes it
DESKTOP_SPOT = (300, 200)      # bare desktop: a click there closes the menu
# Every mouse message the shell reports, and values it never sends (negative X included).
CODES = list(range(512, 527)) + [0, 1, 2, 255, 511, 527, 700, 1023, 0x7FFF, 0x8000, 0xFFFF]
ROUNDS, POSTS_PER_ROUND = 20, 110
MIN_EVENTS = 2000
# Longer than the double-click time (500 ms): two clicks on the lamp stay two single clicks.
CLICK_GAP = 0.6
LEAK_SLACK = 5


def setUpModule():
    environment()


class SoakTest(TrayHostsTestCase):
    def setUp(self):
        super().setUp()
        self.door_open = False                         # the last door command given by the tray
        self.events = 0
        self.last_click = 0.0
        seed = int(os.environ.get("LUMIVO_SOAK_SEED", random.randrange(1 << 32)))
        print(f"\nsoak seed {seed} (LUMIVO_SOAK_SEED to repeat)")
        self.rng = random.Random(seed)

    # ---- bookkeeping

    def lamp_color(self):
        return RED if self.door_open else GREEN

    def sync(self, timeout=20):
        """Waits until Lumivo has given exactly the door commands expected and shows one lamp."""
        s = self.session
        wait_for(lambda: s.door_commands(pid=self.pid) == self.commands, timeout,
                 f"the door commands to be {self.commands[-3:]} (last three of "
                 f"{len(self.commands)})")
        want = self.lamp_color()

        def one_lamp():
            found = lamps(s)
            return found if [color for color, _ in found] == [want] else None
        found = wait_for(one_lamp, timeout,
                         f"one {'red' if self.door_open else 'green'} lamp and no other")
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
        tally = post_batch(self.session, lines, "soak")
        self.assertEqual((tally["posted"], tally["failed"]), (POSTS_PER_ROUND, 0), tally)
        self.events += POSTS_PER_ROUND
        self.sync()

    def click_gap(self):
        time.sleep(max(0.0, self.last_click + CLICK_GAP - time.monotonic()))

    def click_lamp(self, button):
        lamp = self.sync()
        self.click_gap()
        self.session.click(*lamp, button=button)
        self.last_click = time.monotonic()
        self.events += 1

    def toggle_by_click(self):
        if self.door_open:
            self.click_lamp(3)
            self.act(RIGHT_UP, self.open_host)
        else:
            self.click_lamp(1)
            self.act(LEFT_DOWN, self.closed_host)
        self.sync()

    def idle_click(self):
        """The click that does nothing in this state: right on the green lamp, left on the red."""
        self.click_lamp(1 if self.door_open else 3)
        self.sync()

    def hotkey(self, key, command):
        """Held until Lumivo reacts (it polls every 10 ms); each poll while held is a command."""
        s = self.session
        before = len(self.commands)
        s.xdotool("keydown", key)
        try:
            wait_for(lambda: len(s.door_commands(pid=self.pid)) > before, 10, f"{key} to act")
        finally:
            s.xdotool("keyup", key)
        last = [None]

        def settled():
            now = s.door_commands(pid=self.pid)
            same = now == last[0]
            last[0] = now
            return now if same else None
        now = wait_for(settled, 10, "the key's commands to stop", interval=0.15)
        self.assertEqual(now[:before], self.commands)
        self.assertEqual(set(now[before:]), {command})
        self.commands = now
        self.events += 1
        self.sync()

    def open_menu(self):
        """A right double click on the green lamp; the menu as drawn."""
        if self.door_open:
            self.toggle_by_click()
        self.sync()
        self.click_gap()
        menu = self.session.open_menu()
        self.last_click = time.monotonic()
        self.events += 1
        return menu

    def menu_and_dismiss(self, by_click):
        s = self.session
        self.open_menu()
        if by_click:
            s.click(*DESKTOP_SPOT)
        else:
            s.probe("post", self.main, WM_CANCELMODE, 0, 0)
        wait_for(lambda: not s.menu_window(), 5, "the menu to close")
        self.events += 1
        self.sync()

    def about_cycle(self):
        s = self.session
        menu = self.open_menu()
        self.assertEqual(len(menu["items"]), 6, menu)
        s.click_menu_item(menu, MENU_ABOUT)
        about = s.wait_visible_window(*ABOUT_SIZE, timeout=10)
        self.events += 1
        left, top, _, _ = about["rect"]
        s.click(left + ABOUT_PANEL[0], top + ABOUT_PANEL[1])
        self.wait_gone(about["hwnd"])
        self.events += 1
        self.sync()

    def counts(self, label):
        c = gui_counts(self.session, self.pid)
        print(f"{label}: USER {c['user']}, GDI {c['gdi']}, handles {c['handles']}")
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

        for r in range(ROUNDS):
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
        self.post_round()

        self.assertGreaterEqual(self.events, MIN_EVENTS)
        self.assertEqual(s.lumivo_pids(), [self.pid], "Lumivo.exe died or another one started")
        self.assertTrue(ping(s), "the main window does not answer")
        self.sync()
        end = self.counts("end")
        print(f"{self.events} events in {time.monotonic() - started:.1f} s; "
              f"door {'open' if self.door_open else 'closed'}")
        for kind in ("user", "gdi", "handles"):
            self.assertLessEqual(end[kind], start[kind] + LEAK_SLACK,
                                 f"{kind} objects grew from {start[kind]} to {end[kind]}")

        # And it still ends clean: no lamp is left behind.
        self.assertTrue(s.post_close(MAIN_TITLE))
        self.wait_no_lamp()
        self.wait_process_ended()


if __name__ == "__main__":
    unittest.main()
