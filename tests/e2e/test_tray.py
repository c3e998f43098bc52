"""The lamp in the tray: door commands, menu, ending, taskbar re-creation."""

import unittest

from wine_session import (GREEN, MAIN_TITLE, NIM_ADD, NIM_DELETE, RED, LumivoTestCase,
                          environment, wait_for)

CLOSED, OPEN = "set CDAudio door closed", "set CDAudio door open"
MENU_EXIT = 0
MENU_ROWS = ["item", "separator", "item", "item", "separator", "item", "separator", "item", "item"]


def setUpModule():
    environment()


class TrayTest(LumivoTestCase):
    def setUp(self):
        super().setUp()
        self.green = self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()

    def wait_commands(self, expected):
        wait_for(lambda: self.session.door_commands(pid=self.pid) == expected or None, 5,
                 f"door commands {expected}")

    def assert_only_lamp(self, color):
        img = self.session.screenshot()
        other = RED if color == GREEN else GREEN
        self.assertEqual(len(self.session.tray_icons(color, img)), 1)
        self.assertEqual(self.session.tray_icons(other, img), [])

    def test_left_click_opens_the_door_and_lights_the_red_lamp(self):
        s = self.session
        s.click(*self.green, button=1)
        s.wait_tray_icon(RED)
        self.wait_commands([CLOSED, OPEN])
        self.assert_only_lamp(RED)

    def test_right_click_on_the_red_lamp_closes_the_door(self):
        s = self.session
        s.click(*self.green, button=1)
        red = s.wait_tray_icon(RED)
        self.wait_commands([CLOSED, OPEN])
        s.click(*red, button=3)
        s.wait_tray_icon(GREEN)
        self.wait_commands([CLOSED, OPEN, CLOSED])
        self.assert_only_lamp(GREEN)

    def test_right_double_click_pops_up_the_menu(self):
        menu = self.session.open_menu()
        self.assertEqual([kind for kind, _ in menu["rows"]], MENU_ROWS, menu)
        self.session.key("Escape")

    def test_menu_exit_removes_the_lamp_and_ends(self):
        s = self.session
        menu = s.open_menu()
        self.assertEqual(len(menu["items"]), 6, menu)
        s.click_menu_item(menu, MENU_EXIT)
        self.wait_no_lamp()
        self.wait_process_ended()
        self.assertEqual(len(s.notify_calls(NIM_DELETE, pid=self.pid)), 1)

    def test_wm_close_to_the_hidden_window_removes_the_lamp_and_ends(self):
        s = self.session
        self.assertTrue(s.post_close(MAIN_TITLE), f"no window titled {MAIN_TITLE!r}")
        self.wait_no_lamp()
        self.wait_process_ended()
        self.assertEqual(len(s.notify_calls(NIM_DELETE, pid=self.pid)), 1)

    def test_taskbar_created_adds_the_lamp_again(self):
        s = self.session
        # Let through to an elevated copy too: the broadcast comes from the unelevated shell.
        main = next(w["hwnd"] for w in s.windows() if w["title"] == MAIN_TITLE) & 0xFFFFFFFF
        allowed = [(c.args[1].low32, c.args[2].low32)
                   for c in s.relay_calls("ChangeWindowMessageFilterEx", pid=self.pid)
                   if c.args[0].low32 == main]
        self.assertEqual(len(allowed), 1, allowed)
        self.assertGreaterEqual(allowed[0][0], 0xC000, "not a registered message")
        self.assertEqual(allowed[0][1], 1, "not MSGFLT_ALLOW")
        self.assertEqual(len(s.notify_calls(NIM_ADD, pid=self.pid)), 1)
        self.assertTrue(s.broadcast("TaskbarCreated"))
        wait_for(lambda: len(s.notify_calls(NIM_ADD, pid=self.pid)) == 2, 5, "a second NIM_ADD")
        self.assertEqual(s.wait_tray_icon(GREEN), self.green)
        self.assertEqual(s.lumivo_pids(), [self.pid])


if __name__ == "__main__":
    unittest.main()
