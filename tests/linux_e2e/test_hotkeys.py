"""The hotkeys under X11: door keys held, and a launcher whose program Linux lacks."""

import time
import unittest

from linux_session import CLOSE, EJECT, GREEN, LumivoTestCase, wait_for


class HotkeyTest(LumivoTestCase):
    def test_held_keypad_divide_and_multiply_send_the_door_requests(self):
        d = self.desktop
        self.wait_in_tray()
        d.hold("KP_Divide", 0.3)
        wait_for(lambda: d.door_requests().count(EJECT) >= 2, 5, "repeated ejects")
        self.assertEqual(set(d.door_requests()[1:]), {EJECT})
        d.hold("KP_Multiply", 0.3)
        wait_for(lambda: d.door_requests().count(CLOSE) >= 3, 5, "repeated closes")
        self.assertEqual(d.door_requests()[-1], CLOSE)
        # The keys leave the lamp as it was, and the slash of the main keyboard does nothing.
        self.assertEqual(len(d.lamps(GREEN)), 1)
        count = len(d.door_requests())
        d.hold("slash", 0.3)
        time.sleep(0.2)
        self.assertEqual(len(d.door_requests()), count)

    def test_f11_without_network_manager_reports_once_and_lumivo_keeps_running(self):
        d = self.desktop
        self.wait_in_tray()
        d.hold("F11", 0.3)
        box = self.message_box()
        time.sleep(0.3)
        boxes = [w for w in d.windows(self.lumivo.pid) if w["name"] == "Lumivo"]
        self.assertEqual([b["id"] for b in boxes], [box["id"]], "one box for one press")
        # The box came from a tick of the hotkeys' timer, which goes on ticking inside it.
        d.hold("KP_Divide", 0.2)
        wait_for(lambda: EJECT in d.door_requests(), 5, "an eject with the box open")
        d.key("Return")
        wait_for(lambda: d.window(self.lumivo.pid, name="Lumivo") is None, 5, "the box to close")
        self.assert_running()
        self.assertEqual(len(d.lamps(GREEN)), 1)
        d.hold("KP_Multiply", 0.2)
        wait_for(lambda: d.door_requests()[-1] == CLOSE, 5, "a close after the box")


class SecondCopyTest(LumivoTestCase):
    def test_a_second_copy_shows_its_message_and_leaves_the_first_alone(self):
        d = self.desktop
        self.wait_in_tray()
        second = d.start_lumivo(traced=False)
        self.message_box(pid=second.pid)
        self.assertEqual(len(d.lamps(GREEN)), 1)
        d.key("Return")
        wait_for(lambda: second.poll() is not None, 5, "the second copy to end")
        self.assertEqual(second.returncode, 0)
        time.sleep(1.2)
        self.assertEqual(len(d.lamps(GREEN)), 1, "no lamp of its own")
        self.assertEqual(d.door_requests(), [CLOSE], "the second copy sent a door request")
        self.assert_running()


if __name__ == "__main__":
    unittest.main()
