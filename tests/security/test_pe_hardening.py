"""Reads the PE headers of both Lumivo.exe builds: hardening flags and imported DLLs."""

import os
import struct
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILDS = {
    "windows-x64": os.path.join(ROOT, "build", "windows-x64", "Lumivo.exe"),
    "windows-x86": os.path.join(ROOT, "build", "windows-x86", "Lumivo.exe"),
}

DYNAMIC_BASE = 0x0040
HIGH_ENTROPY_VA = 0x0020
NX_COMPAT = 0x0100
SECTION_EXECUTE = 0x20000000
SECTION_WRITE = 0x80000000

# DLLs that every Windows since XP carries in its system directory.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "winmm.dll", "comctl32.dll",
    "ole32.dll", "oleaut32.dll", "advapi32.dll", "msvcrt.dll", "shlwapi.dll",
}


class PortableExecutable:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        assert self.data[self.pe:self.pe + 4] == b"PE\0\0", "not a PE file"
        coff = self.pe + 4
        self.machine, self.section_count = struct.unpack_from("<HH", self.data, coff)
        optional_size = struct.unpack_from("<H", self.data, coff + 16)[0]
        self.optional = coff + 20
        self.magic = struct.unpack_from("<H", self.data, self.optional)[0]
        self.is64 = self.magic == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", self.data, self.optional + 70)[0]
        directories = self.optional + (112 if self.is64 else 96)
        self.import_rva = struct.unpack_from("<I", self.data, directories + 8)[0]
        self.sections = []
        table = self.optional + optional_size
        for i in range(self.section_count):
            entry = table + 40 * i
            name = self.data[entry:entry + 8].rstrip(b"\0").decode("latin-1")
            vsize, rva, raw_size, raw_pointer = struct.unpack_from("<IIII", self.data, entry + 8)
            flags = struct.unpack_from("<I", self.data, entry + 36)[0]
            self.sections.append((name, rva, max(vsize, raw_size), raw_pointer, flags))

    def offset(self, rva):
        for _, start, size, raw_pointer, _ in self.sections:
            if start <= rva < start + size:
                return raw_pointer + rva - start
        raise ValueError(f"rva {rva:#x} in no section")

    def c_string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imported_dlls(self):
        return list(self.imports())

    def imports(self):
        """{dll: [function, ...]} of the import table, names lowercased for the DLLs; a
        function imported by ordinal shows as "#N"."""
        found = {}
        at = self.offset(self.import_rva)
        entry_size, ordinal_flag = (8, 1 << 63) if self.is64 else (4, 1 << 31)
        while True:
            lookup_rva, _, _, name_rva = struct.unpack_from("<IIII", self.data, at)
            if name_rva == 0:
                return found
            functions = found.setdefault(self.c_string(name_rva).lower(), [])
            entry = self.offset(lookup_rva)
            while value := int.from_bytes(self.data[entry:entry + entry_size], "little"):
                by_ordinal = value & ordinal_flag
                functions.append(f"#{value & 0xFFFF}" if by_ordinal else
                                 self.c_string((value & 0x7FFFFFFF) + 2))
                entry += entry_size
            at += 20


class HardeningTest(unittest.TestCase):
    def each_build(self):
        for preset, path in BUILDS.items():
            with self.subTest(preset):
                self.assertTrue(os.path.exists(path), f"{path} is not built")
                yield preset, PortableExecutable(path)

    def test_aslr_and_dep_are_on_and_no_section_is_both_writable_and_executable(self):
        for preset, exe in self.each_build():
            flags = exe.dll_characteristics
            self.assertTrue(flags & DYNAMIC_BASE, "ASLR (dynamic base)")
            names = [section[0] for section in exe.sections]
            self.assertIn(".reloc", names, "ASLR needs the relocations kept")
            self.assertTrue(flags & NX_COMPAT, "DEP (NX compatible)")
            if exe.is64:
                self.assertTrue(flags & HIGH_ENTROPY_VA, "high-entropy ASLR")
            for name, _, _, _, section_flags in exe.sections:
                writable_code = section_flags & SECTION_EXECUTE and section_flags & SECTION_WRITE
                self.assertFalse(writable_code, f"section {name} is writable and executable")

    def test_the_bitness_matches_the_preset(self):
        for preset, exe in self.each_build():
            self.assertEqual(exe.is64, preset == "windows-x64")

    def test_only_windows_system_dlls_are_imported(self):
        for preset, exe in self.each_build():
            dlls = exe.imported_dlls()
            print(f"\n{preset} imports: {', '.join(dlls)}")
            self.assertIn("kernel32.dll", dlls)
            self.assertIn("user32.dll", dlls)
            self.assertLessEqual(set(dlls), SYSTEM_DLLS, "a DLL that Windows does not ship")

    def test_the_door_and_the_lamp_use_windows_own_dlls_by_name(self):
        # Loaded by name, from the system folder, with the first door command and tray request.
        for preset, exe in self.each_build():
            for dll in ("winmm.dll", "shell32.dll"):
                self.assertIn(dll.encode("utf-16-le") + b"\0\0", exe.data, f"{dll} is not named")


if __name__ == "__main__":
    unittest.main()
