#!/usr/bin/env python3
"""fix_msi_tables.py PACKAGE.msi Lumivo.exe

Sets in a package built by wixl (msitools 0.101) what wixl leaves out or writes wrong, each
table exported with msiinfo, edited and imported back with msibuild:
  CustomAction  immediate actions lose the no-impersonate bit, which only deferred actions
                may carry (ICE68); the actions that run the exe carried in the Binary table
                (type 2), which wixl cannot write, are added
  Property      AUTOSTART joins SecureCustomProperties (wixl ignores Secure on Property), so
                a value given to a managed install reaches its server side
  Upgrade       the rows that remove an older product migrate its feature states
                (msidbUpgradeAttributesMigrateFeatures), which wixl ignores
  Registry      HKMU rows get root -1 (wixl writes 4, no root at all)
  File          Lumivo.exe's Version and Language from the exe's own version block (wixl
                leaves them empty, and Windows Installer then treats the exe as unversioned;
                ICE60 wants a language with a version)
  MsiFileHash   no hash for a versioned file: only unversioned files have one
  Shortcut      the door shortcuts' Chinese names (wixl drops non-ASCII text) and their keys
                (wixl has no Hotkey); the database's code page becomes 936 first, so that
                Windows Installer reads the names as GBK on every system"""

import struct
import subprocess
import sys
import tempfile
from pathlib import Path

NO_IMPERSONATE = 0x800
IN_SCRIPT = 0x400
MIGRATE_FEATURES = 1
ONLY_DETECT = 2
WIXL_HKMU = "4"
HKMU = "-1"
# Exe in the Binary table, synchronous, exit code ignored; immediate and impersonated.
BINARY_EXE = 2 | 0x40
BINARY_EXE_ACTIONS = {
    "CloseLumivoForRemoval": ("LumivoCloser", "/close"),
    "CloseLumivoForUpgrade": ("LumivoCloser", "/close /remember"),
}
SECURE_PROPERTIES = ["AUTOSTART"]
CODE_PAGE = 936
# Hotkey: the virtual key in the low byte, HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT above.
CTRL_ALT_SHIFT = 0x07 << 8
DOOR_SHORTCUTS = {  # short|long file names, as the Filename type has them
    "OpenDoorShortcut": ("DOOROPEN|弹出光驱", CTRL_ALT_SHIFT | ord("O")),
    "CloseDoorShortcut": ("DOORCLOS|关闭光驱", CTRL_ALT_SHIFT | ord("C")),
}


def file_version(exe):
    """The fixed file version of an exe's version block (VS_FIXEDFILEINFO), as "a.b.c.d"."""
    data = Path(exe).read_bytes()
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<II", data, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


def file_language(exe):
    """The first language of the version block's Translation value, as a decimal LANGID."""
    data = Path(exe).read_bytes()
    at = data.index("Translation\0".encode("utf-16-le")) + len("Translation\0") * 2
    at += -at % 4  # the value starts on a 32-bit boundary
    return str(struct.unpack_from("<H", data, at)[0])


class Table:
    """An exported table: three header lines (names, types, table and keys), then rows."""

    def __init__(self, msi, name):
        text = subprocess.run(["msiinfo", "export", msi, name], check=True, capture_output=True,
                              text=True, encoding="utf-8").stdout
        lines = text.splitlines()
        self.header = lines[:3]
        self.columns = lines[0].split("\t")
        self.rows = [line.split("\t") for line in lines[3:]]

    def column(self, name):
        return self.columns.index(name)

    def import_into(self, msi, folder):
        path = Path(folder) / f"{self.header[2].split(chr(9))[0]}.idt"
        # msibuild reads UTF-8 and stores the text in the database's code page.
        path.write_text("\r\n".join([*self.header, *("\t".join(row) for row in self.rows)]) + "\r\n",
                        encoding="utf-8")
        subprocess.run(["msibuild", msi, "-i", str(path)], check=True, capture_output=True)


def fix_custom_actions(table):
    type_at = table.column("Type")
    table.rows = [row for row in table.rows if row[0] not in BINARY_EXE_ACTIONS]
    for action, (binary, command) in BINARY_EXE_ACTIONS.items():
        table.rows.append([action, str(BINARY_EXE), binary, command, ""][:len(table.columns)])
    for row in table.rows:
        kind = int(row[type_at])
        if not kind & IN_SCRIPT:
            row[type_at] = str(kind & ~NO_IMPERSONATE)


def fix_secure_properties(table):
    for row in table.rows:
        if row[0] == "SecureCustomProperties":
            secure = row[1].split(";")
            row[1] = ";".join(secure + [name for name in SECURE_PROPERTIES if name not in secure])


def fix_upgrade(table):
    attributes_at = table.column("Attributes")
    for row in table.rows:
        attributes = int(row[attributes_at])
        if not attributes & ONLY_DETECT:
            row[attributes_at] = str(attributes | MIGRATE_FEATURES)


def fix_registry(table):
    root_at = table.column("Root")
    for row in table.rows:
        if row[root_at] == WIXL_HKMU:
            row[root_at] = HKMU


def fix_file_version(table, hashes, exe):
    name_at, version_at = table.column("FileName"), table.column("Version")
    language_at = table.column("Language")
    versioned = set()
    for row in table.rows:
        if row[name_at].split("|")[-1].lower() == Path(exe).name.lower():
            row[version_at] = file_version(exe)
            row[language_at] = file_language(exe)
            versioned.add(row[0])
    hashes.rows = [row for row in hashes.rows if row[0] not in versioned]


def fix_door_shortcuts(table):
    name_at, hotkey_at = table.column("Name"), table.column("Hotkey")
    for row in table.rows:
        if row[0] in DOOR_SHORTCUTS:
            row[name_at], hotkey = DOOR_SHORTCUTS[row[0]]
            row[hotkey_at] = str(hotkey)


def set_code_page(msi, folder):
    path = Path(folder) / "_ForceCodepage.idt"
    path.write_text(f"\r\n\r\n{CODE_PAGE}\t_ForceCodepage\r\n")
    subprocess.run(["msibuild", msi, "-i", str(path)], check=True, capture_output=True)


def main(msi, exe):
    tables = {name: Table(msi, name)
              for name in ("CustomAction", "Property", "Upgrade", "Registry", "File", "MsiFileHash",
                           "Shortcut")}
    fix_custom_actions(tables["CustomAction"])
    fix_secure_properties(tables["Property"])
    fix_upgrade(tables["Upgrade"])
    fix_registry(tables["Registry"])
    fix_file_version(tables["File"], tables["MsiFileHash"], exe)
    fix_door_shortcuts(tables["Shortcut"])
    with tempfile.TemporaryDirectory() as folder:
        set_code_page(msi, folder)
        for table in tables.values():
            table.import_into(msi, folder)


if __name__ == "__main__":
    main(*sys.argv[1:])
