"""A whole session writes no file and no registry value."""

from cases import LumivoTestCase
from lumivo import CLOSED, GREEN, MENU_EXIT, RED
from relay_trace import image_range, parse_relay_line
from waiting import wait_for
from wine_prefix import DEBUG_KEY, EXE, registry_value, set_registry_value

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


def file_write(call):
    """Why this call may change a file, or None."""
    name = call.name
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


class NoWritesTest(LumivoTestCase):
    def setUp(self):
        original = registry_value(DEBUG_KEY, "RelayInclude")
        self.assertTrue(original, "no RelayInclude list in the prefix")
        # Only for this test: the prefix's list comes back afterwards, the others rely on it.
        set_registry_value(DEBUG_KEY, "RelayInclude", "/d", ";".join([original] + WATCHED))
        self.addCleanup(set_registry_value, DEBUG_KEY, "RelayInclude", "/d", original)
        super().setUp()

    def hotkey(self, key, pid):
        s = self.session
        before = len(s.trace.door_commands(pid))
        with s.key_down(key):
            wait_for(lambda: len(s.trace.door_commands(pid)) > before, 10, f"{key} to act")

    def test_a_whole_session_writes_nothing(self):
        s = self.session
        about = s.splash_window()
        s.wait_tray_icon(GREEN)
        pid = self.lumivo_pid()
        wait_for(lambda: (lambda w: w is None or not w["visible"])(self.window(about["hwnd"])),
                 10, "the splash to go")

        s.click(*s.wait_tray_icon(GREEN), button=1)
        s.click(*s.wait_tray_icon(RED), button=3)
        s.wait_tray_icon(GREEN)
        self.hotkey("KP_Divide", pid)
        self.hotkey("KP_Multiply", pid)
        self.show_about()
        self.click_menu(MENU_EXIT)
        self.wait_process_ended()
        self.wait_no_lamp()

        lines = s.trace.lines()
        calls = [c for c in map(parse_relay_line, lines) if c and c.pid == pid]
        image = image_range(lines, pid, EXE)
        self.assertIsNotNone(image, "the relay did not report Lumivo's start")
        mine = [c for c in calls if image[0] <= c.return_address < image[1]]
        watched = [c for c in calls if c.name in WATCHED]

        # The trace would have shown a write: Lumivo's own calls are recognised by their return
        # address, and the watched functions were logged in its process (Wine's code opening
        # the drive, DLLs and fonts; Wine's own registry caches).
        self.assertIn(CLOSED, [c.args[0].text for c in mine if c.name == "mciSendStringA"],
                      "no call placed in Lumivo.exe")
        self.assertTrue([c for c in watched if c.name in ("CreateFileW", "CreateFileA")],
                        "no CreateFile call logged in Lumivo's process")
        self.assertTrue([c for c in watched if c.name in ("NtCreateFile", "NtOpenFile")],
                        "no NtCreateFile/NtOpenFile call logged in Lumivo's process")
        self.assertTrue([c for c in watched if c.name in REGISTRY_CHANGES],
                        "no registry call logged in Lumivo's process")

        # No file is written in the process at all, by Lumivo or by Wine on its behalf.
        writes = [f"{c.line}  <- {why}" for c in watched if (why := file_write(c))]
        self.assertEqual(writes, [], "file writes in Lumivo's process")
        # Lumivo's own code changes nothing in the registry. (Wine's DLLs in the process keep
        # caches there, e.g. msacm32's driver list, loaded with the MCI driver.)
        registry = [c.line for c in mine if c.name in REGISTRY_CHANGES]
        self.assertEqual(registry, [], "registry changes by Lumivo.exe")
        own_files = [c.line for c in mine if c.name in FILE_OPENS + CRT_OPENS + FILE_CHANGES
                     and file_write(c)]
        self.assertEqual(own_files, [], "file writes by Lumivo.exe")
        print(f"\nwatched calls in Lumivo's process: {len(watched)}, of them by Lumivo.exe: "
              f"{len([c for c in mine if c.name in WATCHED])}; registry changes by Wine's "
              f"DLLs in it: {len([c for c in watched if c.name in REGISTRY_CHANGES])}")
