"""Programs Lumivo starts: file managers, the notes, dial-up; where it looks for them."""

import shutil
import time

from cases import LampTestCase
from lumivo import (BROWSE_E, BROWSE_G, DIAL_163, DIAL_NORBEK, DRIVES, GREEN, MAIN_TITLE, MB_OK,
                    MB_SETFOREGROUND, MENU_BROWSE, MENU_README, NIM_DELETE, README, SYSTEM32)
from waiting import wait_for
from wine_prefix import (DRIVE_C, EXE, LOOKALIKE_DLL, PROBE_EXE, REPO, SYSTEM_FOLDER,
                         set_cd_drive)


def setUpModule():
    # A second CD-ROM drive after E:, so the browser must go on past the first one.
    set_cd_drive("g", True)


def tearDownModule():
    set_cd_drive("g", False)


def missing_message(command):
    return f"无法运行“{command}”，请检查该程序是否存在！"


def hide_system_rundll32(test):
    """Takes rundll32.exe out of the Windows folders until the test ends."""
    for folder in (SYSTEM_FOLDER, DRIVE_C / "windows"):
        program, hidden = folder / "rundll32.exe", folder / "rundll32.exe.lumivo-hidden"
        if program.exists():
            program.rename(hidden)
        if hidden.exists():
            test.addCleanup(hidden.rename, program)


class CommandTest(LampTestCase):
    def test_menu_browse_opens_a_file_manager_per_cd_drive_in_order(self):
        self.click_menu(MENU_BROWSE)
        self.wait_launches(2)
        self.assert_launched([BROWSE_E, BROWSE_G])
        # The drives after G: are asked after its file manager is started.
        wait_for(lambda: len(self.drives_asked()) >= len(DRIVES), 5, "every drive to be asked")
        self.assertEqual(self.drives_asked(), DRIVES)
        self.assert_launches_succeeded()
        for drive in ("(E:)", "(G:)"):
            self.wait_window(lambda w: w["class"] == "ExplorerWClass" and drive in w["title"],
                             f"the file manager of {drive}")
        self.assertEqual(len(self.launches()), 2)
        self.assert_only_lamp(GREEN)

    def test_menu_readme_opens_the_notes_in_notepad(self):
        notes = DRIVE_C / "lumivo.txt"  # where users put the instructions
        shutil.copy(REPO / "src" / "resources" / "lumivo.txt", notes)
        self.addCleanup(notes.unlink)
        self.click_menu(MENU_README)
        self.wait_launches(1)
        self.assert_launched([README])
        self.assert_launches_succeeded()
        self.wait_window(lambda w: w["class"] == "Notepad" and "lumivo.txt" in w["title"],
                         "Notepad showing lumivo.txt")
        self.assertEqual(len(self.launches()), 1)
        self.assertEqual(self.drives_asked(), [])

    def test_missing_program_is_reported_and_lumivo_keeps_running(self):
        s = self.session
        hide_system_rundll32(self)
        for n, (key, (_, command)) in enumerate([("F11", DIAL_163), ("F12", DIAL_NORBEK)], 1):
            s.hold_key(key)
            calls = wait_for(lambda: (lambda c: c if len(c) >= n else None)(
                s.trace.calls("MessageBoxW", self.pid)), 10, f"message box {n}")
            self.assertEqual(len(calls), n)
            call = calls[-1]
            self.assertEqual(call.args[0].low32, 0, "the box has an owner")
            self.assertEqual(call.args[1].text, missing_message(command))
            self.assertEqual(call.args[2].text, "Lumivo")
            self.assertEqual(call.args[3].low32, MB_OK | MB_SETFOREGROUND,
                             "not an OK box that comes to the front")
            box = self.wait_message_box(lambda pid: pid == self.pid, timeout=10)
            self.assertEqual(box["title"], "Lumivo")
            self.assertIn(missing_message(command), [c["text"] for c in box["children"]])
            s.key("Return")
            wait_for(lambda: s.trace.result(call) == 1, 10, "the box to be answered with OK")
            wait_for(lambda: self.window(box["hwnd"]) is None, 10, "the box to close")
            self.assertEqual(s.probe.lumivo_pids(), [self.pid])
            self.assert_only_lamp(GREEN)
        self.assertEqual(self.launches(), [])

    def test_a_close_request_while_a_failure_message_is_open_ends_at_once(self):
        s = self.session
        hide_system_rundll32(self)
        s.hold_key("F11")
        wait_for(lambda: s.trace.calls("MessageBoxW", self.pid), 10, "the failure message")
        self.wait_message_box(lambda pid: pid == self.pid, timeout=10)
        self.assertTrue(s.probe.close(MAIN_TITLE))
        self.wait_process_ended()
        self.wait_no_lamp()
        self.assertEqual(len(s.trace.calls("MessageBoxW", self.pid)), 1)
        self.assertEqual(len(s.trace.notify_calls(NIM_DELETE, self.pid)), 1)
        self.assertEqual(self.launches(), [])


class LogonStartTest(LampTestCase):
    """Started the way the Run key or the task scheduler starts it: in the system folder. The
    build folder holds lumivo.txt beside the exe, and C:\\ none: the menu opens that one."""

    README_BESIDE = (README[0], 'notepad.exe "Z:' + str(EXE.parent / "lumivo.txt").replace("/", "\\")
                     + '"')

    def session_options(self):
        return {"cwd": DRIVE_C / "windows" / "system32"}

    def test_every_launcher_finds_its_system_program(self):
        s = self.session
        for n, key in enumerate(["F11", "F12"], 1):
            s.hold_key(key)
            self.wait_launches(n)
        self.click_menu(MENU_README)
        self.wait_launches(3)
        s.hold_key("KP_Add")
        self.wait_launches(5)
        self.click_menu(MENU_BROWSE)
        self.wait_launches(7)
        self.assert_launched([DIAL_163, DIAL_NORBEK, self.README_BESIDE] + [BROWSE_E, BROWSE_G] * 2)
        self.assert_launches_succeeded()
        self.assertEqual(s.trace.calls("MessageBoxW", self.pid), [])


class PlantedProgramsTest(LampTestCase):
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

    def session_options(self):
        return {"exe": "C:\\lumivo-planted\\Lumivo.exe", "cwd": self.CWD,
                "extra_env": {"WINEPATH": self.WINEPATH}}

    def test_look_alikes_beside_lumivo_or_in_its_working_folder_never_run(self):
        s = self.session
        s.hold_key("KP_Add")
        self.wait_launches(2)
        self.click_menu(MENU_README)
        self.wait_launches(3)
        s.hold_key("F11")
        self.wait_launches(4)
        self.assert_launched([BROWSE_E, BROWSE_G, README,
                              ({"c:\\lumivo-path\\rundll32.exe"}, DIAL_163[1])])
        self.assert_launches_succeeded()
        self.assertEqual(s.trace.calls("MessageBoxW", self.pid), [])
        self.assertEqual(len(self.launches()), 4)


class PlantedLibrariesTest(LampTestCase):
    """Look-alike DLLs beside a copy of Lumivo.exe and in the folder it is started from, as in a
    Downloads folder: neither Lumivo nor the programs it starts load them."""

    EXE_DIR = DRIVE_C / "lumivo-dlls"
    CWD = DRIVE_C / "lumivo-dlls-cwd"

    def setUp(self):
        for folder in (self.EXE_DIR, self.CWD):
            shutil.rmtree(folder, ignore_errors=True)
            self.addCleanup(shutil.rmtree, folder, True)
            folder.mkdir(parents=True)
            for name in ("rnaui.dll", "winmm.dll"):
                shutil.copy(LOOKALIKE_DLL, folder / name)
        shutil.copy(EXE, self.EXE_DIR / "Lumivo.exe")
        super().setUp()

    def session_options(self):
        return {"exe": "C:\\lumivo-dlls\\Lumivo.exe", "cwd": self.CWD}

    def loaded(self):
        return sorted(str(p.relative_to(DRIVE_C)) for folder in (self.EXE_DIR, self.CWD)
                      for p in folder.glob("*.loaded"))

    def test_look_alike_dlls_are_never_loaded(self):
        s = self.session
        # The look-alike does show a load: rundll32 started in that folder takes it.
        s.start_program(SYSTEM32 + "rundll32.exe", "rundll32", "rnaui.dll,RnaDial",
                        "163", cwd=str(self.CWD))
        wait_for(self.loaded, 30, "rundll32 to load the look-alike")
        self.assertEqual(self.loaded(), ["lumivo-dlls-cwd/rnaui.dll.loaded"])
        (self.CWD / "rnaui.dll.loaded").unlink()

        s.hold_key("F11")
        self.wait_launches(1)
        self.assert_launched([DIAL_163])
        self.assert_launches_succeeded()
        self.open_and_close_by_clicks()  # door commands: winmm
        time.sleep(2)  # rundll32 has loaded what it loads by now
        self.assertEqual(self.loaded(), [])
