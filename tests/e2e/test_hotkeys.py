"""Keypad and function keys, watched by polling rather than registered as hot keys."""

import statistics
import time

from cases import LampTestCase
from lumivo import BROWSE_E, CLOSED, DIAL_163, DIAL_NORBEK, DRIVES, GREEN, OPEN
from waiting import wait_for, wait_settled


class HotkeyTest(LampTestCase):
    def setUp(self):
        super().setUp()
        # The door is closed once at start-up; what follows comes from the keys.
        self.wait_door_commands([CLOSED])

    def key_commands(self):
        return self.door_commands()[1:]

    def test_keypad_divide_opens_and_multiply_closes_the_door_leaving_the_lamp(self):
        s = self.session
        notifications = len(s.trace.calls("Shell_NotifyIconA", self.pid))
        s.hold_key("KP_Divide")
        wait_for(lambda: OPEN in self.key_commands(), 5, "the door open command")
        opened = wait_settled(self.key_commands, "the door commands")
        self.assertEqual(set(opened), {OPEN}, opened)
        s.hold_key("KP_Multiply")
        wait_for(lambda: CLOSED in self.key_commands(), 5, "the door closed command")
        both = wait_settled(self.key_commands, "the door commands")
        self.assertEqual(both[:len(opened)], opened)
        self.assertEqual(set(both[len(opened):]), {CLOSED}, both)
        # Keys never touch the lamp: no icon calls at all, and it is still the green one.
        self.assertEqual(len(s.trace.calls("Shell_NotifyIconA", self.pid)), notifications)
        self.assert_only_lamp(GREEN)
        self.assertEqual(self.launches(), [])

    def test_held_door_key_repeats_on_every_tick(self):
        s = self.session
        with s.key_down("KP_Divide"):
            wait_for(lambda: len(self.key_commands()) >= 20, 5, "20 door commands while held")
        wait_settled(self.key_commands, "the door commands")
        calls = s.trace.calls("mciSendStringA", self.pid)[1:]
        self.assertEqual({c.args[0].text for c in calls}, {OPEN})
        gaps = [b.time - a.time for a, b in zip(calls, calls[1:])]
        # One command per 10 ms tick; a loaded machine may stretch the timer somewhat.
        self.assertLess(statistics.median(gaps), 0.04, gaps)
        self.assertGreater(statistics.median(gaps), 0.004, gaps)

    def test_keypad_add_browses_the_cd_drive_once_per_press_even_when_held(self):
        s = self.session
        with s.key_down("KP_Add"):
            self.wait_launches(1)
            time.sleep(0.5)  # held on purpose: about 50 ticks see the key still down
        self.wait_window(lambda w: w["class"] == "ExplorerWClass" and "(E:)" in w["title"],
                         "the file manager window of E:")
        self.assert_launched([BROWSE_E])
        self.assertEqual(self.drives_asked(), DRIVES)

        # A new press acts again, with the file manager now in the foreground.
        s.hold_key("KP_Add")
        self.wait_launches(2)
        wait_settled(self.launches, "the launches")
        self.assert_launched([BROWSE_E] * 2)
        self.assertEqual(self.drives_asked(), DRIVES * 2)
        self.assert_launches_succeeded()
        # The door keys also reach Lumivo while another program has the focus.
        s.hold_key("KP_Divide")
        wait_for(lambda: OPEN in self.key_commands(), 5, "the door open command")

    def test_f11_and_f12_dial_their_entries_once_per_press(self):
        s = self.session
        s.hold_key("F11", 0.5)
        self.wait_launches(1)
        s.hold_key("F12", 0.5)
        self.wait_launches(2)
        wait_settled(self.launches, "the launches")
        self.assert_launched([DIAL_163, DIAL_NORBEK])
        self.assert_launches_succeeded()
        s.hold_key("F11")
        self.wait_launches(3)
        wait_settled(self.launches, "the launches")
        self.assert_launched([DIAL_163, DIAL_NORBEK, DIAL_163])
        self.assertEqual(self.key_commands(), [])
        self.assert_only_lamp(GREEN)
