"""Start-up: splash, first door command, the lamp in the tray."""

import time
import unittest

from wine_session import (GREEN, MAIN_TITLE, NIM_ADD, RED, WS_CAPTION, WS_THICKFRAME,
                          LumivoTestCase, environment, wait_for)

WS_EX_DLGMODALFRAME, WS_EX_CLIENTEDGE, WS_EX_STATICEDGE = 0x1, 0x200, 0x20000
WS_VISIBLE, SW_HIDE, SWP_SHOWWINDOW = 0x10000000, 0, 0x40


def setUpModule():
    environment()


class StartUpTest(LumivoTestCase):
    def test_splash_is_a_topmost_frameless_248_by_119_window(self):
        w = self.session.splash_window()
        left, top, right, bottom = w["rect"]
        self.assertEqual((right - left, bottom - top), (248, 119), w)
        self.assertTrue(w["topmost"], "the About window is not topmost")
        self.assertEqual(w["style"] & (WS_CAPTION | WS_THICKFRAME), 0, "the About window has a frame")
        self.assertEqual(w["exstyle"] & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE),
                         0, "the About window has an edge")
        self.assertNotEqual(w["title"], MAIN_TITLE)

    def test_start_closes_the_door_once(self):
        pid = self.session.splash_window()["pid"]
        self.session.wait_tray_icon(GREEN)
        calls = self.session.relay_calls("mciSendStringA", pid=pid)
        self.assertEqual([c.args[0].text for c in calls], ["set CDAudio door closed"])
        # No reply buffer, no callback window.
        self.assertEqual([c.args[1].value for c in calls], [0])
        self.assertEqual([c.args[3].value for c in calls], [0])
        self.assertEqual(self.session.door_commands(), ["set CDAudio door closed"],
                         "another process sent a door command")

    def test_splash_gives_way_to_the_green_lamp_after_a_second(self):
        s = self.session
        about = s.splash_window()
        icon = s.wait_tray_icon(GREEN)
        img = s.screenshot()
        self.assertEqual(s.tray_icons(GREEN, img), [icon])
        self.assertEqual(s.tray_icons(RED, img), [])

        adds = s.notify_calls(NIM_ADD, pid=about["pid"])
        self.assertEqual(len(adds), 1, [c.line for c in adds])
        started = s.process_start_time(about["pid"])
        self.assertIsNotNone(started)
        # Timer granularity: allow a few milliseconds under the second.
        self.assertGreaterEqual(adds[0].time - started, 0.95, "the lamp came before one second")
        self.assertLess(adds[0].time - started, 10)

        later = self.window(about["hwnd"])
        self.assertIsNotNone(later, "the About window was destroyed instead of hidden")
        self.assertFalse(later["visible"], "the About window is still visible with the lamp")

    def test_main_window_is_never_visible(self):
        s = self.session
        s.splash_window()
        seen = []

        def lamp_for_a_while():
            seen.extend(w for w in s.windows() if w["title"] == MAIN_TITLE)
            return s.find_tray_icon(GREEN)
        wait_for(lamp_for_a_while, 20, "the green lamp")
        deadline = time.monotonic() + 1.5
        while time.monotonic() < deadline:
            seen.extend(w for w in s.windows() if w["title"] == MAIN_TITLE)
        self.assertTrue(seen, f"no window titled {MAIN_TITLE!r}")
        self.assertEqual([w for w in seen if w["visible"]], [])
        self.assertEqual([w for w in s.seen_windows if w["title"] == MAIN_TITLE and w["visible"]],
                         [])
        # A flash too short for the polling above still shows in the relay log.
        main = seen[0]["hwnd"] & 0xFFFFFFFF
        pid = seen[0]["pid"]
        shown = [c.line for c in s.relay_calls("ShowWindow", pid=pid)
                 if c.args[0].low32 == main and c.args[1].low32 != SW_HIDE]
        shown += [c.line for c in s.relay_calls("SetWindowPos", pid=pid)
                  if c.args[0].low32 == main and c.args[6].low32 & SWP_SHOWWINDOW]
        shown += [c.line for c in s.relay_calls("CreateWindowExW", pid=pid)
                  + s.relay_calls("CreateWindowExA", pid=pid)
                  if c.args[2].text == MAIN_TITLE and c.args[3].low32 & WS_VISIBLE]
        self.assertEqual(shown, [])


if __name__ == "__main__":
    unittest.main()
