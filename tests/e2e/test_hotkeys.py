"""Keypad and function keys, watched by polling rather than registered as hot keys."""

import statistics
import time
import unittest

from wine_session import (LaunchChecks, GREEN, RED, LumivoTestCase, environment, hold_key, relay_result,
                          wait_for)

OPEN, CLOSED = "set CDAudio door open", "set CDAudio door closed"
DRIVES = [f"{letter}:\\" for letter in "CDEFGHIJKLM"]
SYSTEM_EXPLORER = {"c:\\windows\\system32\\explorer.exe", "c:\\windows\\explorer.exe"}
RUNDLL32 = "c:\\windows\\system32\\rundll32.exe"
DIAL_163 = "rundll32.exe rnaui.dll,RnaDial 163"
DIAL_NORBEK = "rundll32.exe rnaui.dll,RnaDial Norbek-163"


def setUpModule():
    environment()


class HotkeyTest(LaunchChecks, LumivoTestCase):
    def setUp(self):
        super().setUp()
        self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()
        # The door is closed once at start-up; what follows comes from the keys.
        wait_for(lambda: self.session.door_commands(pid=self.pid) == [CLOSED], 5,
                 "the start-up door command")

    def door_commands(self):
        return self.session.door_commands(pid=self.pid)[1:]

    def wait_stable(self, read, settle=0.3, timeout=5):
        """Polls read() until it has not changed for settle seconds; returns the last value."""
        deadline = time.monotonic() + timeout
        last, since = read(), time.monotonic()
        while time.monotonic() - since < settle:
            if time.monotonic() > deadline:
                raise AssertionError("the calls did not stop")
            time.sleep(0.05)
            now = read()
            if now != last:
                last, since = now, time.monotonic()
        return last

    def assert_only_green_lamp(self):
        img = self.session.screenshot()
        self.assertEqual(len(self.session.tray_icons(GREEN, img)), 1)
        self.assertEqual(self.session.tray_icons(RED, img), [])

    def test_keypad_divide_opens_and_multiply_closes_the_door_leaving_the_lamp(self):
        s = self.session
        notifications = len(s.relay_calls("Shell_NotifyIconA", pid=self.pid))
        hold_key(s, "KP_Divide")
        wait_for(lambda: OPEN in self.door_commands(), 5, "the door open command")
        opened = self.wait_stable(self.door_commands)
        self.assertEqual(set(opened), {OPEN}, opened)
        hold_key(s, "KP_Multiply")
        wait_for(lambda: CLOSED in self.door_commands(), 5, "the door closed command")
        both = self.wait_stable(self.door_commands)
        self.assertEqual(both[:len(opened)], opened)
        self.assertEqual(set(both[len(opened):]), {CLOSED}, both)
        # Keys never touch the lamp: no icon calls at all, and it is still the green one.
        self.assertEqual(len(s.relay_calls("Shell_NotifyIconA", pid=self.pid)), notifications)
        self.assert_only_green_lamp()
        self.assertEqual(self.launches(), [])

    def test_held_door_key_repeats_on_every_tick(self):
        s = self.session
        s.xdotool("keydown", "KP_Divide")
        try:
            wait_for(lambda: len(self.door_commands()) >= 20, 5, "20 door commands while held")
        finally:
            s.xdotool("keyup", "KP_Divide")
        self.wait_stable(self.door_commands)
        calls = s.relay_calls("mciSendStringA", pid=self.pid)[1:]
        self.assertEqual({c.args[0].text for c in calls}, {OPEN})
        gaps = [b.time - a.time for a, b in zip(calls, calls[1:])]
        # One command per 10 ms tick; a loaded machine may stretch the timer somewhat.
        self.assertLess(statistics.median(gaps), 0.04, gaps)
        self.assertGreater(statistics.median(gaps), 0.004, gaps)

    def test_keypad_add_browses_the_cd_drive_once_per_press_even_when_held(self):
        s = self.session
        s.xdotool("keydown", "KP_Add")
        try:
            self.wait_launches(1)
            time.sleep(0.5)  # held on purpose: about 50 ticks see the key still down
        finally:
            s.xdotool("keyup", "KP_Add")
        wait_for(lambda: any(w["class"] == "ExplorerWClass" and "(E:)" in w["title"]
                             for w in s.windows(all_processes=True)), 10,
                 "the file manager window of E:")
        self.assertEqual(len(self.launches()), 1, self.launches())
        app, command = self.launches()[0]
        self.assertEqual(command, "explorer E:")
        self.assertIn(app.lower(), SYSTEM_EXPLORER)
        drives = [c.args[0].text for c in s.relay_calls("GetDriveTypeA", pid=self.pid)]
        self.assertEqual(drives, DRIVES)

        # A new press acts again, with the file manager now in the foreground.
        hold_key(s, "KP_Add")
        self.wait_launches(2)
        self.assertEqual(self.wait_stable(self.launches)[1][1], "explorer E:")
        self.assertEqual(len(self.launches()), 2)
        drives = [c.args[0].text for c in s.relay_calls("GetDriveTypeA", pid=self.pid)]
        self.assertEqual(drives, DRIVES * 2)
        self.assert_launches_succeeded()
        # The door keys also reach Lumivo while another program has the focus.
        hold_key(s, "KP_Divide")
        wait_for(lambda: OPEN in self.door_commands(), 5, "the door open command")

    def test_f11_and_f12_dial_their_entries_once_per_press(self):
        s = self.session
        hold_key(s, "F11", 0.5)
        self.wait_launches(1)
        hold_key(s, "F12", 0.5)
        self.wait_launches(2)
        launches = self.wait_stable(self.launches)
        self.assertEqual([command for _, command in launches], [DIAL_163, DIAL_NORBEK])
        self.assertEqual({app.lower() for app, _ in launches}, {RUNDLL32})
        self.assert_launches_succeeded()
        hold_key(s, "F11")
        self.wait_launches(3)
        self.assertEqual(self.wait_stable(self.launches)[2][1], DIAL_163)
        self.assertEqual(len(self.launches()), 3)
        self.assertEqual(self.door_commands(), [])
        self.assert_only_green_lamp()


if __name__ == "__main__":
    unittest.main()
