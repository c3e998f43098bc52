"""The release packages in dist/ (scripts/package): the x64 installer installed, run from the
system folder as a logon start runs it, upgraded and removed under Wine as a user would; the
x86 installer and the portable zip checked without running them (this machine runs no
32-bit Windows program)."""

import hashlib
import struct
import subprocess
import tempfile
import unittest
import zipfile
from pathlib import Path

from cases import LampTestCase, LumivoTestCase
from lumivo import ABOUT_SIZE, DIAL_163, GREEN
from waiting import wait_for
from wine_prefix import DRIVE_C, PREFIX, REPO, registry_value, run, wait_server

DIST = REPO / "dist"
VERSION = "1.20.0.6"
MSI = {arch: DIST / f"lumivo-{VERSION}-{arch}.msi" for arch in ("x86", "x64")}
ZIP = DIST / f"lumivo-{VERSION}-portable.zip"
EXES = {arch: REPO / "build" / f"windows-{arch}" / "Lumivo.exe" for arch in ("x86", "x64")}
INSTRUCTIONS = REPO / "src" / "resources" / "lumivo.txt"
INSTALLED_EXE = DRIVE_C / "Program Files" / "Lumivo" / "Lumivo.exe"
INSTALLED_INSTRUCTIONS = DRIVE_C / "lumivo.txt"
RUN_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
PE_MACHINE = {"x86": 0x14C, "x64": 0x8664}


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def msiexec(*args):
    """msiexec in the prefix, outside any desktop: quiet installs need none."""
    run(["wine", "msiexec", *args], timeout=180)
    wait_server()


def installed_products():
    """(product code, version) of every installed Lumivo."""
    out = run(["wine", "reg", "query", UNINSTALL_KEY]).stdout.decode(errors="replace")
    codes = [line.rsplit("\\", 1)[1] for line in out.splitlines() if line.strip().startswith("HKEY")
             and line.rstrip().endswith("}")]
    return [(code, registry_value(f"{UNINSTALL_KEY}\\{code}", "DisplayVersion")) for code in codes
            if registry_value(f"{UNINSTALL_KEY}\\{code}", "DisplayName") == "Lumivo"]


def start_menu_shortcuts():
    return sorted(DRIVE_C.glob("**/Start Menu/Programs/Lumivo.lnk"))


def file_version(exe):
    """The fixed file version of an exe's version block, as "a.b.c.d"."""
    data = exe.read_bytes()
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<II", data, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


def pe_machine(exe):
    data = exe.read_bytes()
    return struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]


def lumivo_processes():
    """Lumivo.exe processes of this run's prefix (other Wine prefixes may run their own)."""
    found = []
    for proc in Path("/proc").glob("[0-9]*"):
        try:
            cmdline = (proc / "cmdline").read_bytes()
            environ = (proc / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if b"Lumivo.exe" in cmdline and f"WINEPREFIX={PREFIX}".encode() in environ:
            found.append(int(proc.name))
    return found


def remove_every_lumivo():
    for code, _ in installed_products():
        msiexec("/x", code, "/qn")


class InstalledLumivoTest(LampTestCase):
    """The x64 package installed quietly; Lumivo started as the Run value says, from the
    system folder."""

    @classmethod
    def setUpClass(cls):
        remove_every_lumivo()
        INSTALLED_INSTRUCTIONS.unlink(missing_ok=True)
        msiexec("/i", windows_path(MSI["x64"]), "/qn")

    @classmethod
    def tearDownClass(cls):
        remove_every_lumivo()

    def session_options(self):
        return {"exe": registry_value(RUN_KEY, "Lumivo").strip('"'),
                "cwd": DRIVE_C / "windows" / "system32"}

    def setUp(self):
        self.assertTrue(INSTALLED_EXE.exists(), "the package installed no Lumivo.exe")
        super().setUp()

    def test_install_start_at_logon_and_remove(self):
        self.assertEqual(INSTALLED_EXE.read_bytes(), EXES["x64"].read_bytes())
        self.assertEqual(INSTALLED_INSTRUCTIONS.read_bytes(), INSTRUCTIONS.read_bytes())
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), '"C:\\Program Files\\Lumivo\\Lumivo.exe"')
        self.assertEqual(len(start_menu_shortcuts()), 1, start_menu_shortcuts())

        s = self.session
        left, top, right, bottom = s.splash_window()["rect"]
        self.assertEqual((right - left, bottom - top), ABOUT_SIZE, "no splash")
        s.hold_key("F11")
        self.wait_launches(1)
        self.assert_launched([DIAL_163])
        self.assert_launches_succeeded()

        # Removed while it runs: the uninstaller closes it first, then takes everything away.
        s.start_program("msiexec", "uninstall", "/x", windows_path(MSI["x64"]), "/qn")
        self.wait_process_ended(30)
        self.wait_no_lamp()
        wait_for(lambda: not installed_products(), 60, "the product to be removed")
        self.assertFalse(INSTALLED_EXE.parent.exists(), "Program Files\\Lumivo is left")
        self.assertFalse(INSTALLED_INSTRUCTIONS.exists())
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")
        self.assertEqual(start_menu_shortcuts(), [])
        self.assertNotIn(b"Norbek", run(["wine", "reg", "query", "HKLM\\Software"]).stdout)


class InteractiveInstallTest(LumivoTestCase):
    start_lumivo = False

    def setUp(self):
        remove_every_lumivo()
        self.addCleanup(remove_every_lumivo)
        super().setUp()

    def test_an_interactive_install_ends_with_lumivo_in_the_tray(self):
        self.session.start_program("msiexec", "install", "/i", windows_path(MSI["x64"]))
        self.session.wait_tray_icon(GREEN, timeout=60)
        self.assertEqual(len(self.session.probe.lumivo_pids()), 1)


class UpgradeTest(unittest.TestCase):
    def setUp(self):
        remove_every_lumivo()
        self.addCleanup(remove_every_lumivo)

    def test_a_quiet_install_with_autostart_0_starts_nothing_now_or_at_logon(self):
        msiexec("/i", windows_path(MSI["x64"]), "/qn", "AUTOSTART=0")
        self.assertTrue(INSTALLED_EXE.exists())
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")
        self.assertEqual(lumivo_processes(), [], "a quiet install started Lumivo")

    def test_the_same_package_twice_or_a_newer_one_leaves_one_product(self):
        msiexec("/i", windows_path(MSI["x64"]), "/qn")
        msiexec("/i", windows_path(MSI["x64"]), "/qn")
        self.assertEqual([version for _, version in installed_products()], ["1.20.6"])
        with tempfile.TemporaryDirectory() as folder:
            newer = Path(folder) / "lumivo-newer.msi"
            self.build_package(newer, "1.20.7")
            msiexec("/i", windows_path(newer), "/qn")
        self.assertEqual([version for _, version in installed_products()], ["1.20.7"])
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), '"C:\\Program Files\\Lumivo\\Lumivo.exe"')

    @staticmethod
    def build_package(path, version):
        """The x64 package again with another version, made as scripts/package makes it."""
        major, minor, build = version.split(".")
        subprocess.run(["wixl", "-a", "x64", "-D", "Arch=x64", "-D", f"Version={version}",
                        "-D", f"UpgradeBelow={major}.{minor}.{int(build) + 1}", "-o", str(path),
                        str(REPO / "packaging" / "lumivo.wxs")],
                       cwd=EXES["x64"].parent, check=True, capture_output=True, timeout=120)


class PackageContentsTest(unittest.TestCase):
    def test_each_installer_carries_its_exe_and_the_instructions(self):
        for arch, program_files in (("x86", "ProgramFilesFolder"), ("x64", "ProgramFiles64Folder")):
            with self.subTest(arch), tempfile.TemporaryDirectory() as folder:
                subprocess.run(["msiextract", "-C", folder, str(MSI[arch])], check=True,
                               capture_output=True, timeout=60)
                exe, = Path(folder).glob("**/Lumivo/Lumivo.exe")
                self.assertEqual(exe.read_bytes(), EXES[arch].read_bytes())
                self.assertEqual(pe_machine(exe), PE_MACHINE[arch])
                self.assertEqual(file_version(exe), VERSION)
                self.assertEqual((Path(folder) / "lumivo.txt").read_bytes(),
                                 INSTRUCTIONS.read_bytes())
                directories = self.msi_table(MSI[arch], "Directory")
                self.assertIn(f"INSTALLDIR\t{program_files}\tLumivo", directories)
                self.assertIn("ProductVersion\t1.20.6", self.msi_table(MSI[arch], "Property"))
                summary = subprocess.run(["msiinfo", "suminfo", str(MSI[arch])], check=True,
                                         capture_output=True, text=True).stdout
                self.assertIn(f"Template: {'Intel' if arch == 'x86' else 'x64'};2052", summary)

    def test_the_portable_zip_and_the_checksums(self):
        with zipfile.ZipFile(ZIP) as archive:
            self.assertEqual(sorted(archive.namelist()), ["Lumivo.exe", "README.txt", "lumivo.txt"])
            self.assertEqual(archive.read("Lumivo.exe"), EXES["x86"].read_bytes())
            self.assertEqual(archive.read("lumivo.txt"), INSTRUCTIONS.read_bytes())
            readme = archive.read("README.txt").decode("utf-8-sig")
            self.assertIn("C:\\lumivo.txt", readme)
            self.assertIn("F11", readme)
        sums = {name: digest for digest, name in
                (line.split("  ", 1) for line in (DIST / "SHA256SUMS").read_text().splitlines())}
        self.assertLessEqual({p.name for p in (*MSI.values(), ZIP)}, set(sums))
        for name, digest in sums.items():
            self.assertEqual(hashlib.sha256((DIST / name).read_bytes()).hexdigest(), digest, name)

    @staticmethod
    def msi_table(msi, table):
        return subprocess.run(["msiinfo", "export", str(msi), table], check=True,
                              capture_output=True, text=True).stdout


if __name__ == "__main__":
    unittest.main()
