"""A whole session writes no file and no registry value."""

import struct
import subprocess
import time
import unittest

from wine_session import (EXE, GREEN, RED, LumivoTestCase, _base_env, _run, environment,
                          parse_relay_line, wait_for)

CLOSED, OPEN = "set CDAudio door closed", "set CDAudio door open"
MENU_EXIT, MENU_ABOUT = 0, 2
ABOUT_SIZE = (248, 119)
CLICK_GAP = 0.6  # longer than the double-click time: two clicks on the lamp stay single clicks
DEBUG_KEY = "HKCU\\Software\\Wine\\Debug"

# Bare names: the relay then logs them in whichever DLL exports them (kernel32, kernelbase,
# advapi32, msvcrt, ntdll).
FILE_OPENS = ["CreateFileW", "CreateFileA", "CreateFile2", "OpenFile", "_lcreat", "_lopen",
              "NtCreateFile", "NtOpenFile"]
CRT_OPENS = ["fopen", "_wfopen", "fopen_s", "_wfopen_s", "freopen", "_wfreopen", "_open",
             "_wopen", "_sopen", "_wsopen", "_sopen_s", "_wsopen_s", "_creat", "_wcreat"]
FILE_CHANGES = ["WriteFile", "WriteFileEx", "WriteFileGather", "_lwrite", "_hwrite",
                "DeleteFileW", "DeleteFileA", "MoveFileW", "MoveFileA", "MoveFileExW",
                "MoveFileExA", "MoveFileWithProgressW", "MoveFileWithProgressA", "CopyFileW",
                "CopyFileA", "CopyFileExW", "CopyFileExA", "ReplaceFileW", "ReplaceFileA",
                "CreateDirectoryW", "CreateDirectoryA", "CreateDirectoryExW",
                "RemoveDirectoryW", "RemoveDirectoryA", "SetFileAttributesW",
                "SetFileAttributesA", "SetEndOfFile", "SetFileInformationByHandle",
                "WritePrivateProfileStringW", "WritePrivateProfileStringA",
                "WritePrivateProfileSectionW", "WritePrivateProfileSectionA",
                "WritePrivateProfileStructW", "WritePrivateProfileStructA",
                "WriteProfileStringW", "WriteProfileStringA", "NtWriteFile", "NtDeleteFile",
                "_write", "fwrite", "fputs", "fputc", "fprintf", "vfprintf", "rename",
                "_wrename", "remove", "_wremove", "_unlink", "_wunlink", "_mkdir", "_wmkdir",
                "_rmdir", "_wrmdir"]
REGISTRY_CHANGES = ["RegSetValueExW", "RegSetValueExA", "RegSetValueW", "RegSetValueA",
                    "RegSetKeyValueW", "RegSetKeyValueA", "RegCreateKeyExW", "RegCreateKeyExA",
                    "RegCreateKeyW", "RegCreateKeyA", "RegDeleteValueW", "RegDeleteValueA",
                    "RegDeleteKeyW", "RegDeleteKeyA", "RegDeleteKeyExW", "RegDeleteKeyExA",
                    "RegDeleteKeyValueW", "RegDeleteKeyValueA", "RegDeleteTreeW",
                    "RegDeleteTreeA", "RegSaveKeyW", "RegSaveKeyA", "RegSaveKeyExW",
                    "RegRestoreKeyW", "RegRestoreKeyA", "RegReplaceKeyW", "RegReplaceKeyA",
                    "RegLoadKeyW", "RegLoadKeyA", "RegCopyTreeW", "RegCopyTreeA",
                    "RegRenameKey", "SHSetValueW", "SHSetValueA", "SHDeleteKeyW",
                    "SHDeleteKeyA", "SHDeleteValueW", "SHDeleteValueA", "NtSetValueKey",
                    "NtCreateKey", "NtDeleteKey", "NtDeleteValueKey", "NtRenameKey",
                    "NtSaveKey"]
WATCHED = FILE_OPENS + CRT_OPENS + FILE_CHANGES + REGISTRY_CHANGES

# Access bits that allow changing a file: GENERIC_WRITE, GENERIC_ALL, MAXIMUM_ALLOWED, DELETE,
# WRITE_DAC, WRITE_OWNER, FILE_WRITE_DATA, FILE_APPEND_DATA, FILE_WRITE_EA,
# FILE_DELETE_CHILD, FILE_WRITE_ATTRIBUTES.
WRITE_ACCESS = 0x40000000 | 0x10000000 | 0x02000000 | 0x00010000 | 0x00040000 | 0x00080000 | \
    0x2 | 0x4 | 0x10 | 0x40 | 0x100
OPEN_EXISTING, FILE_OPEN = 3, 1
# _open flags that write: _O_WRONLY, _O_RDWR, _O_APPEND, _O_CREAT, _O_TRUNC.
CRT_WRITING = 0x1 | 0x2 | 0x8 | 0x100 | 0x200


def _name(call):
    return call.func.rsplit(".", 1)[-1]


def _return_address(call):
    return int(call.line.rsplit("ret=", 1)[1], 16)


def file_write(call):
    """Why this call may change a file, or None."""
    name = _name(call)
    if name in FILE_CHANGES:
        return "changes files"
    if name in ("CreateFileW", "CreateFileA"):
        access, disposition = call.args[1].low32, call.args[4].low32
        if access & WRITE_ACCESS or disposition != OPEN_EXISTING:
            return f"access {access:#x}, disposition {disposition}"
    if name == "NtCreateFile":
        access, disposition = call.args[1].low32, call.args[7].low32
        if access & WRITE_ACCESS or disposition != FILE_OPEN:
            return f"access {access:#x}, disposition {disposition}"
    if name == "NtOpenFile" and call.args[1].low32 & WRITE_ACCESS:
        return f"access {call.args[1].low32:#x}"
    if name in ("CreateFile2", "OpenFile", "_lcreat"):
        return "opens a file in a way that may write"
    if name in CRT_OPENS and len(call.args) > 1:
        mode = call.args[1]
        if "fopen" in name:
            if mode.text is None or set(mode.text) & set("wa+"):
                return f"mode {mode.text!r}"
        elif mode.low32 & CRT_WRITING:
            return f"flags {mode.low32:#x}"
    return None


def image_range(calls, pid):
    """Where Lumivo.exe lies in the process: its entry point as the relay reported it, less the
    entry point's offset in the file."""
    data = EXE.read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    entry_rva = struct.unpack_from("<I", data, pe + 24 + 16)[0]
    size = struct.unpack_from("<I", data, pe + 24 + 56)[0]
    for line in calls:
        head = f":{pid:04x}:"
        if head in line[:40] and ":Starting thread proc " in line:
            entry = int(line.split("Starting thread proc ")[1].split()[0], 16)
            return entry - entry_rva, entry - entry_rva + size
    return None


def _reg(*args):
    env = _base_env()
    env.pop("DISPLAY", None)
    return _run(["wine", "reg", *args], env=env, timeout=60)


def relay_include():
    out = _reg("query", DEBUG_KEY, "/v", "RelayInclude").stdout.decode(errors="replace")
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0] == "RelayInclude":
            return parts[2].strip()
    return ""


def set_relay_include(value, wait=False):
    _reg("add", DEBUG_KEY, "/v", "RelayInclude", "/d", value, "/f")
    if wait:  # written to disk before anyone kills the server
        env = _base_env()
        env.pop("DISPLAY", None)
        try:
            _run(["wineserver", "-w"], env=env, timeout=60, check=False)
        except subprocess.TimeoutExpired:
            pass


def setUpModule():
    environment()


class NoWritesTest(LumivoTestCase):
    def setUp(self):
        environment()
        original = relay_include()
        self.assertTrue(original, "no RelayInclude list in the prefix")
        # Only for this test: the prefix's list comes back afterwards, the others rely on it.
        set_relay_include(";".join([original] + WATCHED))
        self.addCleanup(set_relay_include, original, True)
        super().setUp()
        self.last_click = 0.0

    def click(self, x, y, button=1):
        time.sleep(max(0.0, self.last_click + CLICK_GAP - time.monotonic()))
        self.session.click(x, y, button)
        self.last_click = time.monotonic()

    def hotkey(self, key, pid, count_before):
        s = self.session
        s.xdotool("keydown", key)
        try:
            wait_for(lambda: len(s.door_commands(pid=pid)) > count_before, 10, f"{key} to act")
        finally:
            s.xdotool("keyup", key)

    def test_a_whole_session_writes_nothing(self):
        s = self.session
        about = s.splash_window()
        s.wait_tray_icon(GREEN)
        pid = self.lumivo_pid()
        self.wait_gone_or_hidden(about["hwnd"])

        self.click(*s.wait_tray_icon(GREEN), button=1)
        self.click(*s.wait_tray_icon(RED), button=3)
        s.wait_tray_icon(GREEN)
        self.hotkey("KP_Divide", pid, len(s.door_commands(pid=pid)))
        self.hotkey("KP_Multiply", pid, len(s.door_commands(pid=pid)))
        time.sleep(max(0.0, self.last_click + CLICK_GAP - time.monotonic()))
        menu = s.open_menu()
        s.click_menu_item(menu, MENU_ABOUT)
        s.wait_visible_window(*ABOUT_SIZE, timeout=10)
        self.last_click = time.monotonic()
        time.sleep(CLICK_GAP)
        menu = s.open_menu()
        s.click_menu_item(menu, MENU_EXIT)
        self.wait_process_ended()
        self.wait_no_lamp()

        lines = s.relay_lines()
        calls = [c for c in map(parse_relay_line, lines) if c and c.pid == pid]
        image = image_range(lines, pid)
        self.assertIsNotNone(image, "the relay did not report Lumivo's start")
        mine = [c for c in calls if image[0] <= _return_address(c) < image[1]]
        watched = [c for c in calls if _name(c) in WATCHED]

        # The trace would have shown a write: Lumivo's own calls are recognised by their return
        # address, and the watched functions were logged in its process (Wine's code opening
        # the drive, DLLs and fonts; Wine's own registry caches).
        self.assertIn(CLOSED, [c.args[0].text for c in mine
                               if _name(c) == "mciSendStringA"], "no call placed in Lumivo.exe")
        self.assertTrue([c for c in watched if _name(c) in ("CreateFileW", "CreateFileA")],
                        "no CreateFile call logged in Lumivo's process")
        self.assertTrue([c for c in watched if _name(c) in ("NtCreateFile", "NtOpenFile")],
                        "no NtCreateFile/NtOpenFile call logged in Lumivo's process")
        self.assertTrue([c for c in watched if _name(c) in REGISTRY_CHANGES],
                        "no registry call logged in Lumivo's process")

        # No file is written in the process at all, by Lumivo or by Wine on its behalf.
        writes = [f"{c.line}  <- {why}" for c in watched if (why := file_write(c))]
        self.assertEqual(writes, [], "file writes in Lumivo's process")
        # Lumivo's own code changes nothing in the registry. (Wine's DLLs in the process keep
        # caches there, e.g. msacm32's driver list, loaded with the MCI driver.)
        registry = [c.line for c in mine if _name(c) in REGISTRY_CHANGES]
        self.assertEqual(registry, [], "registry changes by Lumivo.exe")
        own_files = [c.line for c in mine if _name(c) in FILE_OPENS + CRT_OPENS + FILE_CHANGES
                     and file_write(c)]
        self.assertEqual(own_files, [], "file writes by Lumivo.exe")
        print(f"\nwatched calls in Lumivo's process: {len(watched)}, of them by Lumivo.exe: "
              f"{len([c for c in mine if _name(c) in WATCHED])}; registry changes by Wine's "
              f"DLLs in it: {len([c for c in watched if _name(c) in REGISTRY_CHANGES])}")

    def wait_gone_or_hidden(self, hwnd, timeout=10):
        wait_for(lambda: (lambda w: w is None or not w["visible"])(self.window(hwnd)), timeout,
                 "the splash to go")


if __name__ == "__main__":
    unittest.main()
