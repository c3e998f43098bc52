"""The lamp in the tray: door commands, menu, ending, taskbar re-creation."""

from cases import LampTestCase
from lumivo import CLOSED, GREEN, MAIN_TITLE, MENU_EXIT, MENU_ROWS, NIM_ADD, NIM_DELETE, OPEN, RED
from waiting import wait_for


class TrayTest(LampTestCase):
    def test_left_click_opens_the_door_and_lights_the_red_lamp(self):
        s = self.session
        s.click(*self.green, button=1)
        s.wait_tray_icon(RED)
        self.wait_door_commands([CLOSED, OPEN])
        self.assert_only_lamp(RED)

    def test_right_click_on_the_red_lamp_closes_the_door(self):
        self.open_and_close_by_clicks()
        self.assert_only_lamp(GREEN)

    def test_right_double_click_pops_up_the_menu(self):
        menu = self.session.open_menu()
        self.assertEqual([kind for kind, _ in menu["rows"]], MENU_ROWS, menu)
        self.session.key("Escape")

    def test_menu_exit_removes_the_lamp_and_ends(self):
        self.click_menu(MENU_EXIT)
        self.wait_no_lamp()
        self.wait_process_ended()
        self.assertEqual(len(self.session.trace.notify_calls(NIM_DELETE, self.pid)), 1)

    def test_wm_close_to_the_hidden_window_removes_the_lamp_and_ends(self):
        s = self.session
        self.assertTrue(s.probe.close(MAIN_TITLE), f"no window titled {MAIN_TITLE!r}")
        self.wait_no_lamp()
        self.wait_process_ended()
        self.assertEqual(len(s.trace.notify_calls(NIM_DELETE, self.pid)), 1)

    def test_taskbar_created_adds_the_lamp_again(self):
        s = self.session
        # Let through to an elevated copy too: the broadcast comes from the unelevated shell.
        main = s.probe.main_window()["hwnd"] & 0xFFFFFFFF
        allowed = [(c.args[1].low32, c.args[2].low32)
                   for c in s.trace.calls("ChangeWindowMessageFilterEx", self.pid)
                   if c.args[0].low32 == main]
        self.assertEqual(len(allowed), 1, allowed)
        self.assertGreaterEqual(allowed[0][0], 0xC000, "not a registered message")
        self.assertEqual(allowed[0][1], 1, "not MSGFLT_ALLOW")
        self.assertEqual(len(s.trace.notify_calls(NIM_ADD, self.pid)), 1)
        self.assertTrue(s.probe.broadcast("TaskbarCreated"))
        wait_for(lambda: len(s.trace.notify_calls(NIM_ADD, self.pid)) == 2, 5, "a second NIM_ADD")
        self.assertEqual(s.wait_tray_icon(GREEN), self.green)
        self.assertEqual(s.probe.lumivo_pids(), [self.pid])
