"""The lamp in the tray: door commands, menu, ending, taskbar re-creation."""

import struct

from cases import LampTestCase
from lumivo import (ABOUT_MAIL_LINE, CLOSED, CLOSED_TIP, COINIT_APARTMENTTHREADED,
                    COINIT_DISABLE_OLE1DDE, GREEN, MAIL, MAIN_TITLE, MENU_EXIT, NIM_ADD, NIM_DELETE,
                    OPEN, OPEN_TIP, RED, SYSTEM32, TRAY_CALLBACK)
from waiting import wait_for
from wine_prefix import CONFIG, EXE

# NOTIFYICONDATAA as far as its tip (the Windows 95 record): cbSize, hWnd, uID, uFlags,
# uCallbackMessage, hIcon, szTip[64]; its size, and the layout of its fields, by bitness.
NOTIFY_RECORD = {32: (88, "<IIIIII64s"), 64: (104, "<I4xQIII4xQ64s")}
NIF_MESSAGE_ICON_TIP = 0x7

WM_QUERYENDSESSION, WM_ENDSESSION, ENDSESSION_CLOSEAPP = 0x11, 0x16, 0x1


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

    def test_right_double_click_pops_up_the_menu_and_chooses_nothing(self):
        self.right_double_click_chooses_nothing()

    def test_the_shell_gets_the_record_of_the_exes_bitness_with_the_tip_in_gbk(self):
        s = self.session
        size, layout = NOTIFY_RECORD[CONFIG.bits]
        records = s.probe.tray_records(self.pid, 2, lambda: s.click(*self.green, button=1))
        self.assertEqual([message for message, _ in records], [NIM_DELETE, NIM_ADD])
        own = {w["hwnd"] for w in s.probe.tree()}
        for message, record in records:
            self.assertEqual(len(record), size)
            fields = struct.unpack(layout, record)
            self.assertEqual(fields[0], size, "cbSize")
            self.assertIn(fields[1], own, "hWnd is none of Lumivo's windows")
        _, window, _, flags, callback, icon, tip = struct.unpack(layout, records[1][1])
        self.assertEqual(flags, NIF_MESSAGE_ICON_TIP)
        self.assertEqual(callback, TRAY_CALLBACK)
        self.assertNotEqual(icon, 0)
        self.assertEqual(tip, (OPEN_TIP.encode("gbk") + b"\0").ljust(64, b" "), "not NUL, spaces")
        s.wait_tray_icon(RED)
        self.wait_door_commands([CLOSED, OPEN])

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

    def test_restart_managers_shutdown_ends_lumivo_as_a_close_request_does(self):
        s = self.session
        # Registered for the installer's restart as a start where none runs: not after a crash
        # (1), a hang (2) or a reboot (8), where the Run value starts it; an update's (4) stays.
        registered = s.trace.calls("RegisterApplicationRestart", self.pid)
        self.assertEqual([(c.args[0].text, c.args[1].low32) for c in registered],
                         [("/reopen /start", 11)])
        # Restart Manager asks, then tells: the question ends nothing, the answer is yes.
        main = s.probe.main_window()["hwnd"]
        code, answer = s.probe.run("send", main, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP)
        self.assertEqual((code, answer.strip()), (0, "1"), "the shutdown was refused")
        self.assertEqual(s.probe.lumivo_pids(), [self.pid])
        s.probe.run("send", main, WM_ENDSESSION, 1, ENDSESSION_CLOSEAPP)
        # Well within the time Restart Manager gives a program before it ends it by force.
        self.wait_no_lamp(5)
        self.wait_process_ended(5)
        self.assertEqual(len(s.trace.notify_calls(NIM_DELETE, self.pid)), 1)
        self.assertEqual(s.trace.calls("ExitWindowsEx", self.pid), [], "the session was ended")

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


class EnglishWindowsTest(LampTestCase):
    """On a Windows whose ANSI code page (1252) has no Chinese, every text still reads."""

    def session_options(self):
        return {"extra_env": {"LC_ALL": "en_US.UTF-8"}}

    def lamp_tip(self, lamp):
        """Hovers over a lamp; the tip the shell shows for it."""
        s = self.session
        s.xdotool("mousemove", lamp[0], lamp[1] - 1, "sleep", 0.1, "mousemove", *lamp)

        def shown():
            return next((w["title"] for w in s.probe.windows(all_processes=True)
                         if w["class"] == "tooltips_class32" and w["visible"] and w["title"]),
                        None)
        tip = wait_for(shown, 10, "the lamp's tip")
        s.xdotool("mousemove", 400, 300)
        wait_for(lambda: not shown(), 10, "the tip to go")
        return tip

    def test_the_tips_and_the_mail_subject_reach_windows_in_chinese(self):
        s = self.session
        self.assertEqual(self.lamp_tip(self.green), CLOSED_TIP)
        s.click(*self.green, button=1)
        self.assertEqual(self.lamp_tip(s.wait_tray_icon(RED)), OPEN_TIP)
        self.assertEqual(s.trace.calls("Shell_NotifyIconA", self.pid), [])
        self.assertEqual(len(s.trace.calls("Shell_NotifyIconW", self.pid)), 3)  # add, delete, add
        s.click(*s.wait_tray_icon(RED), button=3)

        self.click_in(self.show_about(), ABOUT_MAIL_LINE)
        execute = wait_for(lambda: s.trace.own_calls("ShellExecuteW", self.pid, EXE), 10,
                           "the mail link")
        self.assertEqual(execute[0].args[2].text, MAIL)
        self.assertEqual(s.trace.calls("ShellExecuteA", self.pid), [])

        # COM is there before the first ShellExecute, and stays: it is entered once.
        com = s.trace.own_calls("CoInitializeEx", self.pid, EXE)
        self.assertEqual(len(com), 1, com)
        lines = s.trace.lines()
        self.assertLess(lines.index(com[0].line), lines.index(execute[0].line))
        self.assertEqual(com[0].args[1].low32, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
        # Every DLL Lumivo loaded came from the system folder by its full path: shell32 (tray),
        # winmm (door), ole32 and oleaut32 (About picture, COM), comctl32 (tips).
        loads = [c for name in ("LoadLibraryExW", "LoadLibraryW", "LoadLibraryExA",
                                "LoadLibraryA") for c in s.trace.own_calls(name, self.pid, EXE)]
        loaded = {(c.args[0].text or "").lower() for c in loads}
        self.assertEqual(loaded, {SYSTEM32 + dll for dll in ("shell32.dll", "winmm.dll",
                                                             "ole32.dll", "oleaut32.dll",
                                                             "comctl32.dll")})
