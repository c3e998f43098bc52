"""Programs Lumivo starts: file managers, the notes, dial-up; where it looks for them."""

import shutil
import unittest

from wine_session import (EXE, GREEN, MAIN_TITLE, NIM_DELETE, PREFIX, PROBE_EXE, RED, REPO,
                          LaunchChecks, LumivoTestCase, environment, hold_key, relay_result,
                          set_cd_drive, wait_for)

MENU_README, MENU_BROWSE = 1, 3  # 退出程序, 使用说明, 关于软件, 浏览光盘, 立即重启, 立即关机
DRIVES = [f"{letter}:\\" for letter in "CDEFGHIJKLM"]
SYSTEM32 = "c:\\windows\\system32\\"
SYSTEM_EXPLORER = {SYSTEM32 + "explorer.exe", "c:\\windows\\explorer.exe"}
SYSTEM_NOTEPAD = {SYSTEM32 + "notepad.exe", "c:\\windows\\notepad.exe"}
README = "notepad.exe c:\\lumivo.txt"
DIAL_163 = "rundll32.exe rnaui.dll,RnaDial 163"
DIAL_NORBEK = "rundll32.exe rnaui.dll,RnaDial Norbek-163"
DRIVE_C = PREFIX / "drive_c"
MB_OK, MB_SETFOREGROUND = 0, 0x10000


def setUpModule():
    environment()
    # A second CD-ROM drive after E:, so the browser must go on past the first one.
    set_cd_drive("g", True)


def tearDownModule():
    set_cd_drive("g", False)


def missing_message(command):
    return f"无法运行“{command}”，请检查该程序是否存在！"


def hide_system_rundll32(test):
    """Takes rundll32.exe out of the Windows folders until the test ends."""
    for folder in (DRIVE_C / "windows" / "system32", DRIVE_C / "windows"):
        program, hidden = folder / "rundll32.exe", folder / "rundll32.exe.lumivo-hidden"
        if program.exists():
            program.rename(hidden)
        if hidden.exists():
            test.addCleanup(hidden.rename, program)


class CommandTestMixin(LaunchChecks):
    def drives_asked(self):
        return [c.args[0].text for c in self.session.relay_calls("GetDriveTypeA", pid=self.pid)]

    def click_menu(self, index):
        menu = self.session.open_menu()
        self.assertEqual(len(menu["items"]), 6, menu)
        self.session.click_menu_item(menu, index)

    def wait_window(self, predicate, message, timeout=10):
        return wait_for(lambda: next((w for w in self.session.windows(all_processes=True)
                                      if predicate(w)), None), timeout, message)

    def assert_only_green_lamp(self):
        img = self.session.screenshot()
        self.assertEqual(len(self.session.tray_icons(GREEN, img)), 1)
        self.assertEqual(self.session.tray_icons(RED, img), [])


class CommandTest(CommandTestMixin, LumivoTestCase):
    def setUp(self):
        super().setUp()
        self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()

    def test_menu_browse_opens_a_file_manager_per_cd_drive_in_order(self):
        self.click_menu(MENU_BROWSE)
        launches = self.wait_launches(2)
        self.assertEqual([command for _, command in launches], ["explorer E:", "explorer G:"])
        for app, _ in launches:
            self.assertIn(app.lower(), SYSTEM_EXPLORER)
        self.assertEqual(self.drives_asked(), DRIVES)
        self.assert_launches_succeeded()
        for drive in ("(E:)", "(G:)"):
            self.wait_window(lambda w: w["class"] == "ExplorerWClass" and drive in w["title"],
                             f"the file manager of {drive}")
        self.assertEqual(len(self.launches()), 2)
        self.assert_only_green_lamp()

    def test_menu_readme_opens_the_notes_in_notepad(self):
        notes = DRIVE_C / "lumivo.txt"  # where users put the instructions
        shutil.copy(REPO / "src" / "resources" / "lumivo.txt", notes)
        self.addCleanup(notes.unlink)
        self.click_menu(MENU_README)
        launches = self.wait_launches(1)
        self.assertEqual(launches[0][1], README)
        self.assertIn(launches[0][0].lower(), SYSTEM_NOTEPAD)
        self.assert_launches_succeeded()
        self.wait_window(lambda w: w["class"] == "Notepad" and "lumivo.txt" in w["title"],
                         "Notepad showing lumivo.txt")
        self.assertEqual(len(self.launches()), 1)
        self.assertEqual(self.drives_asked(), [])

    def test_missing_program_is_reported_and_lumivo_keeps_running(self):
        s = self.session
        hide_system_rundll32(self)
        for n, (key, command) in enumerate([("F11", DIAL_163), ("F12", DIAL_NORBEK)], 1):
            hold_key(s, key)
            calls = wait_for(lambda: (lambda c: c if len(c) >= n else None)(
                s.relay_calls("MessageBoxW", pid=self.pid)), 10, f"message box {n}")
            self.assertEqual(len(calls), n)
            call = calls[-1]
            self.assertEqual(call.args[0].low32, 0, "the box has an owner")
            self.assertEqual(call.args[1].text, missing_message(command))
            self.assertEqual(call.args[2].text, "Lumivo")
            self.assertEqual(call.args[3].low32, MB_OK | MB_SETFOREGROUND,
                             "not an OK box that comes to the front")
            box = self.wait_window(lambda w: w["class"] == "#32770" and w["pid"] == self.pid
                                   and w["visible"], "the message box window")
            self.assertEqual(box["title"], "Lumivo")
            self.assertIn(missing_message(command), [c["text"] for c in box["children"]])
            s.key("Return")
            wait_for(lambda: relay_result(s, call) == 1, 10, "the box to be answered with OK")
            wait_for(lambda: self.window(box["hwnd"]) is None, 10, "the box to close")
            self.assertEqual(s.lumivo_pids(), [self.pid])
            self.assert_only_green_lamp()
        self.assertEqual(self.launches(), [])

    def test_a_close_request_while_a_failure_message_is_open_ends_at_once(self):
        s = self.session
        hide_system_rundll32(self)
        hold_key(s, "F11")
        wait_for(lambda: s.relay_calls("MessageBoxW", pid=self.pid), 10, "the failure message")
        self.wait_window(lambda w: w["class"] == "#32770" and w["pid"] == self.pid
                         and w["visible"], "the message box window")
        self.assertTrue(s.post_close(MAIN_TITLE))
        self.wait_process_ended()
        self.wait_no_lamp()
        self.assertEqual(len(s.relay_calls("MessageBoxW", pid=self.pid)), 1)
        self.assertEqual(len(s.notify_calls(NIM_DELETE, pid=self.pid)), 1)
        self.assertEqual(self.launches(), [])


class LogonStartTest(CommandTestMixin, LumivoTestCase):
    """Started the way the Run key or the task scheduler starts it: in the system folder."""

    def session_options(self):
        return {"cwd": DRIVE_C / "windows" / "system32"}

    def setUp(self):
        super().setUp()
        self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()

    def test_every_launcher_finds_its_system_program(self):
        s = self.session
        for n, key in enumerate(["F11", "F12"], 1):
            hold_key(s, key)
            self.wait_launches(n)
        self.click_menu(MENU_README)
        self.wait_launches(3)
        hold_key(s, "KP_Add")
        self.wait_launches(5)
        self.click_menu(MENU_BROWSE)
        launches = self.wait_launches(7)
        self.assertEqual([command for _, command in launches],
                         [DIAL_163, DIAL_NORBEK, README] + ["explorer E:", "explorer G:"] * 2)
        apps = [app.lower() for app, _ in launches]
        self.assertEqual(apps[:2], [SYSTEM32 + "rundll32.exe"] * 2)
        self.assertIn(apps[2], SYSTEM_NOTEPAD)
        for app in apps[3:]:
            self.assertIn(app, SYSTEM_EXPLORER)
        self.assert_launches_succeeded()
        self.assertEqual(s.relay_calls("MessageBoxW", pid=self.pid), [])


class PlantedProgramsTest(CommandTestMixin, LumivoTestCase):
    """A copy of Lumivo.exe among look-alike programs, run from a folder that holds more."""

    EXE_DIR = DRIVE_C / "lumivo-planted"
    CWD = DRIVE_C / "lumivo-planted-cwd"
    PATH_DIR = DRIVE_C / "lumivo-path"
    # Its own folder (other case), the working folder (trailing \), relative entries: all
    # hold look-alikes and come before the one folder that may be used.
    WINEPATH = "C:\\LUMIVO-PLANTED;C:\\lumivo-planted-cwd\\;.;rel;C:\\lumivo-path"

    def setUp(self):
        for folder in (self.EXE_DIR, self.CWD, self.PATH_DIR):
            shutil.rmtree(folder, ignore_errors=True)
            self.addCleanup(shutil.rmtree, folder, True)
        for folder in (self.EXE_DIR, self.CWD, self.CWD / "rel"):
            folder.mkdir(parents=True)
            for name in ("explorer.exe", "notepad.exe", "rundll32.exe"):
                shutil.copy(PROBE_EXE, folder / name)
        self.PATH_DIR.mkdir()
        shutil.copy(PROBE_EXE, self.PATH_DIR / "rundll32.exe")
        shutil.copy(EXE, self.EXE_DIR / "Lumivo.exe")
        hide_system_rundll32(self)
        super().setUp()
        self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()

    def session_options(self):
        return {"exe": "C:\\lumivo-planted\\Lumivo.exe", "cwd": self.CWD,
                "extra_env": {"WINEPATH": self.WINEPATH}}

    def test_look_alikes_beside_lumivo_or_in_its_working_folder_never_run(self):
        s = self.session
        hold_key(s, "KP_Add")
        self.wait_launches(2)
        self.click_menu(MENU_README)
        self.wait_launches(3)
        hold_key(s, "F11")
        launches = self.wait_launches(4)
        self.assertEqual([command for _, command in launches],
                         ["explorer E:", "explorer G:", README, DIAL_163])
        apps = [app.lower() for app, _ in launches]
        self.assertIn(apps[0], SYSTEM_EXPLORER)
        self.assertIn(apps[1], SYSTEM_EXPLORER)
        self.assertIn(apps[2], SYSTEM_NOTEPAD)
        self.assertEqual(apps[3], "c:\\lumivo-path\\rundll32.exe")
        self.assert_launches_succeeded()
        self.assertEqual(s.relay_calls("MessageBoxW", pid=self.pid), [])
        self.assertEqual(len(self.launches()), 4)


if __name__ == "__main__":
    unittest.main()
