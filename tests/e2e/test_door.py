"""The door command line and the lamp that follows the door, with a stand-in CD audio driver.

test_cdaudio.dll (tests/e2e/probe) takes mcicda.dll's place in both registry views: it records
every MCI command in C:\\lumivo-mci\\log.txt and reports the drive the test describes there,
"open" for a closed drive with no disc too, as real drives and Wine's driver do.
"""

import codecs
import shutil
import time

from cases import LampTestCase
from lumivo import CLOSED, GREEN, OPEN, RED
from waiting import wait_for
from wine_prefix import (DRIVE_C, E2E_DIR, EXE, PREFIX, REPO, SYSTEM_WINE, environment, run,
                         wait_server, windows_path)

STAND_IN = "test_cdaudio.dll"
MCI_DIR = DRIVE_C / "lumivo-mci"
# Where each bitness's system folder is, and its view of HKLM\Software.
BITNESSES = {"windows-x64": ("system32", "Software"),
             "windows-x86": ("syswow64", "Software\\WOW6432Node")}
EXIT_DONE, EXIT_FAILED, EXIT_BAD_ARGUMENTS = 0, 1, 2


def import_registry(lines):
    """One regedit run for every key: each wine process start takes seconds."""
    path = E2E_DIR / "test_door.reg"
    text = "Windows Registry Editor Version 5.00\n\n" + "\n".join(lines) + "\n"
    path.write_bytes(codecs.BOM_UTF16_LE + text.replace("\n", "\r\n").encode("utf-16-le"))
    run([SYSTEM_WINE, "regedit", "/S", str(path)])
    wait_server()


def driver_keys(software):
    """Windows reads its MCI drivers from MCI32; Wine 8 from MCI (then system.ini's [mci])."""
    base = f"HKEY_LOCAL_MACHINE\\{software}\\Microsoft\\Windows NT\\CurrentVersion"
    return f"{base}\\MCI32", f"{base}\\MCI"


def setUpModule():
    environment()
    lines = []
    for preset, (folder, software) in BITNESSES.items():
        built = REPO / "build" / preset / "tests" / "e2e" / "probe" / STAND_IN
        if built.exists():  # the other bitness may not be built where only one is tested
            shutil.copy(built, DRIVE_C / "windows" / folder / STAND_IN)
        for key in driver_keys(software):
            lines += [f"[{key}]", f'"cdaudio"="{STAND_IN}"']
    # G: is a CD drive that is not the lamp's (E:).
    lines += ["[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]", '"g:"="cdrom"']
    (E2E_DIR / "cdrom-g").mkdir(exist_ok=True)
    (PREFIX / "dosdevices" / "g:").unlink(missing_ok=True)
    (PREFIX / "dosdevices" / "g:").symlink_to(E2E_DIR / "cdrom-g")
    import_registry(lines)


def tearDownModule():
    lines = []
    for _, software in BITNESSES.values():
        windows_key, wine_key = driver_keys(software)
        lines += [f"[{windows_key}]", '"cdaudio"="mcicda.dll"', f"[-{wine_key}]"]
    lines += ["[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]", '"g:"=-']
    (PREFIX / "dosdevices" / "g:").unlink(missing_ok=True)
    import_registry(lines)
    shutil.rmtree(MCI_DIR, ignore_errors=True)


class Drive:
    """The stand-in's drives and what it heard: lines "PID INSTANCE COMMAND X:"."""

    def __init__(self):
        shutil.rmtree(MCI_DIR, ignore_errors=True)
        MCI_DIR.mkdir()

    def log(self, pid=None, command=None):
        path = MCI_DIR / "log.txt"
        lines = [line.split(" ", 2) for line in path.read_text().splitlines()] if path.exists() else []
        return [(int(p), int(i), rest) for p, i, rest in lines
                if (pid is None or int(p) == pid) and (command is None or rest.startswith(command))]

    def moves(self):
        """(pid, "set door open E:") of every door command the drives got."""
        return [(p, rest) for p, _, rest in self.log(command="set door")]

    def set(self, letter, door, disc):
        (MCI_DIR / f"{letter}.door").write_text(door)
        (MCI_DIR / f"{letter}.disc").unlink(missing_ok=True)
        if disc:
            (MCI_DIR / f"{letter}.disc").write_text("")

    def refuse(self, refusing):
        (MCI_DIR / "refuse").unlink(missing_ok=True)
        if refusing:
            (MCI_DIR / "refuse").write_text("")


class DoorCommandLineAloneTest(LampTestCase):
    """Lumivo.exe /door beside a running copy: it moves the door and the running lamp shows it."""

    def setUp(self):
        self.drive = Drive()
        super().setUp()
        self.started = len(self.drive.moves())  # the start-up's closing of the door

    def door(self, *args):
        """Runs Lumivo.exe /door ARGS in the desktop and waits: its exit code."""
        command = " ".join([f'"{windows_path(EXE)}"', "/door", *args])
        code, records = self.session.probe.records("run", 30000, command, timeout=60)
        self.assertEqual(code, 0, f"{command} did not end by itself: a window or box held it")
        return records[0]["exit"]

    def new_moves(self):
        return [rest for _, rest in self.drive.moves()[self.started:]]

    def test_door_commands_move_the_named_drive_and_the_running_lamp_follows_its_own(self):
        s = self.session
        self.assertEqual(self.door("open"), EXIT_DONE)
        self.assertEqual(self.new_moves(), ["set door open E:"])
        s.wait_tray_icon(RED)
        self.assertEqual(self.door("close", "E:"), EXIT_DONE)
        s.wait_tray_icon(GREEN)
        self.assertEqual(self.door("open", "g:"), EXIT_DONE)
        time.sleep(2)
        self.assert_only_lamp(GREEN)  # G: is not the lamp's drive
        # The door reads "open" (empty drive): toggle goes opposite to the running lamp.
        self.assertEqual(self.door("toggle"), EXIT_DONE)
        s.wait_tray_icon(RED)
        self.assertEqual(self.door("toggle"), EXIT_DONE)
        s.wait_tray_icon(GREEN)
        self.assertEqual(self.new_moves(), ["set door open E:", "set door closed E:",
                                            "set door open G:", "set door open E:",
                                            "set door closed E:"])
        self.assertEqual(self.door_commands(), [CLOSED], "the running copy moved a door")
        self.assertEqual(s.probe.lumivo_pids(), [self.pid])
        self.assertEqual([w for w in s.probe.seen_windows if w["pid"] != self.pid
                          and w["visible"]], [], "a door command line showed a window")

    def test_a_refused_missing_or_other_drive_exits_1_and_bad_arguments_2(self):
        self.drive.refuse(True)
        self.assertEqual(self.door("close"), EXIT_FAILED)
        self.drive.refuse(False)
        self.assertEqual(self.door("open", "C:"), EXIT_FAILED)  # no CD drive
        self.assertEqual(self.door("open", "Q:"), EXIT_FAILED)  # no drive
        for bad in (["eject"], ["open", "E:", "G:"], [], ['""'], ["open", "Ｅ:"]):
            self.assertEqual(self.door(*bad), EXIT_BAD_ARGUMENTS, bad)
        self.assertEqual(self.new_moves(), ["set door closed E:"], "only the refused one was sent")
        self.assert_only_lamp(GREEN)


class WatchedDoorTest(LampTestCase):
    """The lamp follows what the drive reports while it shows an open door."""

    def setUp(self):
        self.drive = Drive()
        super().setUp()

    def open_by_click(self):
        """Opens by a click and waits for the watch to ask the drive it now keeps open."""
        asked = len(self.drive.log(self.pid, "status mode"))
        self.session.click(*self.session.wait_tray_icon(GREEN), button=1)
        red = self.session.wait_tray_icon(RED)
        wait_for(lambda: len(self.drive.log(self.pid, "status mode")) > asked, 5,
                 "the watch to ask the drive")
        return red

    def test_a_door_closed_by_its_button_swaps_the_lamp_and_an_empty_one_changes_nothing(self):
        s = self.session
        self.open_by_click()
        self.drive.set("E", "closed", disc=False)  # reads "open": it may be either
        polls = len(self.drive.log(self.pid, "status mode"))
        wait_for(lambda: len(self.drive.log(self.pid, "status mode")) >= polls + 2, 5, "2 polls")
        self.assert_only_lamp(RED)
        self.drive.set("E", "closed", disc=True)
        s.wait_tray_icon(GREEN, timeout=5)
        self.assertEqual(self.door_commands(), [CLOSED, OPEN], "the lamp sent a door command")

        # The device kept open for the watch lets the lamp's own command through to the drive.
        self.drive.set("E", "closed", disc=False)
        red = self.open_by_click()
        kept = self.drive.log(self.pid, "status mode")[-1][1]
        s.click(*red, button=3)
        s.wait_tray_icon(GREEN)

        def heard():
            return [rest for _, i, rest in self.drive.log(self.pid) if i == kept]
        wait_for(lambda: heard()[-1] == "close E:", 5, "the watch to let the drive go")
        self.assertEqual(heard()[-2], "set door closed E:", "not through the device kept open")
        self.assertEqual(self.door_commands(), [CLOSED, OPEN, OPEN, CLOSED])
