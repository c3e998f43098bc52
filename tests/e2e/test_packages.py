"""The release packages in dist/ (scripts/package): the installer of the configuration's exe
(x64 on the 64-bit configuration, x86 on the 32-bit ones) installed, run from the system folder
as a logon start runs it, upgraded, repaired and removed under Wine as a user and an
administrator would; the rules of Windows Installer validation checked over both installers'
tables and the portable zip's contents, once, on the x64 configuration.

Wine's msiexec has no sessions, no LocalSystem and no UAC: the close in another user's session
and the elevation are not shown here, and deferred actions run with the caller's token. Wine
gives every process an elevated administrator's full token: where a double-click or winget
would start msiexec with the user's filtered token, the tests do so too (the probe's
"filtered"). Another Wine desktop stands in for another session: a window search from outside
it finds nothing there, as on Windows across sessions."""

import hashlib
import re
import struct
import subprocess
import tempfile
import time
import unittest
import zipfile
from pathlib import Path

from cases import LampTestCase, LumivoTestCase, on_configurations
from desktop_probe import DesktopProbe
from lumivo import ABOUT_SIZE, DIAL_163, DOOR_SHORTCUTS, GREEN, MAIN_TITLE, MENU_README, README
from waiting import wait_for
from wine_prefix import (CONFIG, DRIVE_C, EXE, PREFIX, PROBE_EXE, REPO, SYSTEM_WINE, WINE,
                         environment, registry_value, run, wait_server, windows_path)

DIST = REPO / "dist"
VERSION = "1.20.0.6"
MSI = {arch: DIST / f"lumivo-{VERSION}-{arch}.msi" for arch in ("x86", "x64")}
ZIP = DIST / f"lumivo-{VERSION}-portable.zip"
EXES = {arch: REPO / "build" / f"windows-{arch}" / "Lumivo.exe" for arch in ("x86", "x64")}
INSTRUCTIONS = REPO / "src" / "resources" / "lumivo.txt"
LICENSE = REPO / "LICENSE"
# The configuration's package; on 64-bit Windows a 32-bit one goes to Program Files (x86) and
# writes its keys in the 32-bit view of HKLM\Software.
ARCH = "x64" if CONFIG.bits == 64 else "x86"
WOW64 = CONFIG.name == "wow64"
PROGRAM_FILES = "Program Files (x86)" if WOW64 else "Program Files"
SOFTWARE = "HKLM\\Software\\WOW6432Node" if WOW64 else "HKLM\\Software"
INSTALLED_EXE = DRIVE_C / PROGRAM_FILES / "Lumivo" / "Lumivo.exe"
INSTALLED_INSTRUCTIONS = INSTALLED_EXE.with_name("lumivo.txt")
ROOT_INSTRUCTIONS = DRIVE_C / "lumivo.txt"
RUN_VALUE = f'"C:\\{PROGRAM_FILES}\\Lumivo\\Lumivo.exe"'
README_INSTALLED = (README[0], f'notepad.exe "C:\\{PROGRAM_FILES}\\Lumivo\\lumivo.txt"')
RUN_KEY = SOFTWARE + "\\Microsoft\\Windows\\CurrentVersion\\Run"
PRODUCT_KEY = SOFTWARE + "\\Norbek\\Lumivo"
# HKLM\Software as each package's components see it on this Windows: a 32-bit package's in
# WOW6432Node on 64-bit Windows. Both exist only there.
VIEWS = ({"x64": "HKLM\\Software", "x86": "HKLM\\Software\\WOW6432Node"}
         if CONFIG.winearch == "win64" else {"x86": "HKLM\\Software"})
# Add/Remove Programs reads both views: Windows keeps a 32-bit package's entry in the 32-bit one.
UNINSTALL_KEYS = [f"{software}\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                  for software in VIEWS.values()]
PE_MACHINE = {"x86": 0x14C, "x64": 0x8664}
UPGRADE_CODE = "{3A014A09-CE72-4D0F-9C92-43AD9EF8034C}"


def msiexec(*args):
    """msiexec in the prefix, outside any desktop (quiet installs need none); its exit code."""
    code = run([SYSTEM_WINE, "msiexec", *args], timeout=180, check=False).returncode
    wait_server()
    return code


def squished(guid):
    """A GUID as Windows Installer's registry keys name it: each field's hex digits reversed,
    the last eight bytes nibble by nibble."""
    parts = guid.strip("{}").split("-")
    tail = "".join(parts[3:])
    return (parts[0][::-1] + parts[1][::-1] + parts[2][::-1] +
            "".join(tail[i + 1] + tail[i] for i in range(0, len(tail), 2)))


def keep_upgrade_code_registration():
    """Registers each installed Lumivo under its UpgradeCode again, as Windows keeps it. Wine's
    removal of an older product from inside an upgrade (RemoveExistingProducts after
    InstallExecute) deletes the whole UpgradeCodes key, the new product's entry with it, and the
    next upgrade then finds no older Lumivo. Returns the installed products."""
    upgrade_code = squished(UPGRADE_CODE)
    products = installed_products()
    for code, _ in products:
        for key in ("HKLM\\Software\\Classes\\Installer\\UpgradeCodes",
                    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes"):
            # Not set_registry_value: the running Lumivo keeps the wineserver up.
            run([SYSTEM_WINE, "reg", "add", f"{key}\\{upgrade_code}", "/v", squished(code), "/t",
                 "REG_SZ", "/d", "", "/f"])
    return products


def start_msiexec_filtered(session, *args):
    """msiexec started on the session's desktop with UAC's filtered token, as a double-click
    starts it: Wine gives every process the full token of an elevated administrator, which
    Lumivo's interactive start refuses. No output kept, which a started Lumivo would hold.
    (Wine's removal of an older product from an install made with this token drops the
    UpgradeCodes key, so no upgrade runs with it.)"""
    proc = subprocess.Popen(session.probe.command("filtered",
                                                  subprocess.list2cmdline(["msiexec", *args])),
                            env=session.env(), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    session.processes.append(proc)
    return proc


def installed_products():
    """(product code, version) of every installed Lumivo."""
    environment()
    products = []
    for key in UNINSTALL_KEYS:
        out = run([SYSTEM_WINE, "reg", "query", key], check=False).stdout.decode(errors="replace")
        codes = [line.rsplit("\\", 1)[1] for line in out.splitlines()
                 if line.strip().startswith("HKEY") and line.rstrip().endswith("}")]
        products += [(code, registry_value(f"{key}\\{code}", "DisplayVersion")) for code in codes
                     if registry_value(f"{key}\\{code}", "DisplayName") == "Lumivo"]
    return products


def run_values():
    """The Run value Lumivo has in each view of the registry that holds one."""
    values = {arch: registry_value(f"{software}\\Microsoft\\Windows\\CurrentVersion\\Run",
                                   "Lumivo") for arch, software in VIEWS.items()}
    return {arch: value for arch, value in values.items() if value}


def remembered_autostart():
    """The AUTOSTART choice kept in each view that holds one."""
    values = {arch: registry_value(f"{software}\\Norbek\\Lumivo", "AutoStart")
              for arch, software in VIEWS.items()}
    return {arch: value for arch, value in values.items() if value}


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


def drive_root():
    """What the root of drive C holds."""
    return sorted(path.name for path in DRIVE_C.iterdir())


def build_package(path, version):
    """The configuration's package again with another version, made as scripts/package
    makes it."""
    major, minor, build = version.split(".")
    subprocess.run(["wixl", "-a", ARCH, "-D", f"Arch={ARCH}", "-D", f"Version={version}",
                    "-D", f"UpgradeBelow={major}.{minor}.{int(build) + 1}", "-o", str(path),
                    str(REPO / "packaging" / "lumivo.wxs")],
                   cwd=EXES[ARCH].parent, check=True, capture_output=True, timeout=120)
    subprocess.run(["python3", str(REPO / "packaging" / "fix_msi_tables.py"), str(path),
                    str(EXES[ARCH])], check=True, capture_output=True, timeout=120)


class InstalledLumivoTest(LampTestCase):
    """The package installed quietly; Lumivo started as the Run value says, from the system
    folder."""

    @classmethod
    def setUpClass(cls):
        remove_every_lumivo()
        ROOT_INSTRUCTIONS.unlink(missing_ok=True)
        cls.root_before = drive_root()
        cls.exit_code = msiexec("/i", windows_path(MSI[ARCH]), "/qn")

    @classmethod
    def tearDownClass(cls):
        remove_every_lumivo()

    def session_options(self):
        return {"exe": registry_value(RUN_KEY, "Lumivo").strip('"'),
                "cwd": DRIVE_C / "windows" / "system32"}

    def setUp(self):
        self.assertEqual(self.exit_code, 0)
        self.assertTrue(INSTALLED_EXE.exists(), "the package installed no Lumivo.exe")
        super().setUp()

    def test_install_start_at_logon_and_remove(self):
        self.assertEqual(INSTALLED_EXE.read_bytes(), EXES[ARCH].read_bytes())
        self.assertEqual(INSTALLED_INSTRUCTIONS.read_bytes(), INSTRUCTIONS.read_bytes())
        self.assertEqual(INSTALLED_EXE.with_name("LICENSE.txt").read_bytes(), LICENSE.read_bytes())
        self.assertEqual(drive_root(), self.root_before, "the installer wrote to C:\\")
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), RUN_VALUE)
        self.assertEqual(len(start_menu_shortcuts()), 1, start_menu_shortcuts())

        s = self.session
        left, top, right, bottom = s.splash_window()["rect"]
        self.assertEqual((right - left, bottom - top), ABOUT_SIZE, "no splash")
        s.hold_key("F11")
        self.wait_launches(1)
        # The instructions: the installed file while C:\ holds none, C:\'s own once it does.
        self.click_menu(MENU_README)
        self.wait_launches(2)
        ROOT_INSTRUCTIONS.write_text("the user's own notes\n")
        self.addCleanup(ROOT_INSTRUCTIONS.unlink, missing_ok=True)
        self.click_menu(MENU_README)
        self.wait_launches(3)
        self.assert_launched([DIAL_163, README_INSTALLED, README])
        self.assert_launches_succeeded()

        # Removed while it runs: the uninstaller closes it first, then takes everything away,
        # and leaves the file the user put at C:\ alone.
        s.start_program("msiexec", "uninstall", "/x", windows_path(MSI[ARCH]), "/qn")
        self.wait_process_ended(30)
        self.wait_no_lamp()
        wait_for(lambda: not installed_products(), 60, "the product to be removed")
        self.assertFalse(INSTALLED_EXE.parent.exists(), "Program Files\\Lumivo is left")
        self.assertTrue(ROOT_INSTRUCTIONS.exists())
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")
        self.assertEqual(start_menu_shortcuts(), [])
        for software in VIEWS.values():
            self.assertNotIn(b"Norbek", run([SYSTEM_WINE, "reg", "query", software]).stdout)


class InteractiveInstallTest(LumivoTestCase):
    start_lumivo = False

    def setUp(self):
        remove_every_lumivo()
        self.addCleanup(remove_every_lumivo)
        super().setUp()

    def test_an_interactive_install_ends_with_lumivo_in_the_tray(self):
        start_msiexec_filtered(self.session, "/i", windows_path(MSI[ARCH]))
        self.session.wait_tray_icon(GREEN, timeout=60)
        self.assertEqual(len(self.session.probe.lumivo_pids()), 1)

    def test_an_interactive_install_from_an_elevated_prompt_starts_no_elevated_lumivo(self):
        # Wine's own token is the elevated administrator's: the shell could not reach that lamp.
        # The start at the end is synchronous: once msiexec is back, it has run.
        install = subprocess.run([SYSTEM_WINE, "msiexec", "/i", windows_path(MSI[ARCH])],
                                 env=self.session.env(), stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)
        self.assertEqual(install.returncode, 0)
        self.assertTrue(installed_products())
        self.assertEqual(lumivo_processes(), [])


class UpgradeTest(unittest.TestCase):
    def setUp(self):
        remove_every_lumivo()
        self.addCleanup(remove_every_lumivo)

    def test_autostart_0_starts_nothing_and_lasts_through_upgrades_until_autostart_1(self):
        run_value = RUN_VALUE
        self.assertEqual(msiexec("/i", windows_path(MSI[ARCH]), "/qn", "AUTOSTART=0"), 0)
        self.assertTrue(INSTALLED_EXE.exists())
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")
        self.assertEqual(lumivo_processes(), [], "a quiet install started Lumivo")
        with tempfile.TemporaryDirectory() as folder:
            newer, newest = Path(folder) / "lumivo-newer.msi", Path(folder) / "lumivo-newest.msi"
            build_package(newer, "1.20.7")
            build_package(newest, "1.20.8")
            self.assertEqual(msiexec("/i", windows_path(newer), "/qn"), 0)
            self.assertEqual([version for _, version in installed_products()], ["1.20.7"])
            self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")
            # Given to the installed version, AUTOSTART turns the logon start on and off, and
            # the next upgrade keeps the last choice.
            self.assertEqual(msiexec("/i", windows_path(newer), "/qn", "AUTOSTART=1"), 0)
            self.assertEqual(registry_value(RUN_KEY, "Lumivo"), run_value)
            self.assertEqual(msiexec("/i", windows_path(newer), "/qn", "AUTOSTART=0"), 0)
            self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")
            self.assertEqual(msiexec("/i", windows_path(newest), "/qn"), 0)
        self.assertEqual([version for _, version in installed_products()], ["1.20.8"])
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), "")

    def test_the_same_package_twice_or_a_newer_one_leaves_one_product(self):
        self.assertEqual(msiexec("/i", windows_path(MSI[ARCH]), "/qn"), 0)
        self.assertEqual(msiexec("/i", windows_path(MSI[ARCH]), "/qn"), 0)
        self.assertEqual([version for _, version in installed_products()], ["1.20.6"])
        with tempfile.TemporaryDirectory() as folder:
            newer = Path(folder) / "lumivo-newer.msi"
            build_package(newer, "1.20.7")
            self.assertEqual(msiexec("/i", windows_path(newer), "/qn"), 0)
        self.assertEqual([version for _, version in installed_products()], ["1.20.7"])
        self.assertEqual(registry_value(RUN_KEY, "Lumivo"), RUN_VALUE)

    @on_configurations("x64")
    def test_a_switch_of_bitness_leaves_one_lumivo_and_keeps_autostart(self):
        # With no Lumivo running, neither switch needs 32-bit code but the x86 package's
        # closer, which has nothing to close (here it cannot start, and its exit code is
        # ignored): both directions run on this configuration. Wine drops the UpgradeCodes key
        # in each switch.
        folders = {"x86": "Program Files (x86)", "x64": "Program Files"}

        def install(arch, *properties):
            self.assertEqual(msiexec("/i", windows_path(MSI[arch]), "/qn", *properties), 0)
            self.assertEqual(keep_upgrade_code_registration(),
                             [(product_code(MSI[arch]), "1.20.6")], arch)
            self.assertEqual(sorted(DRIVE_C.glob("Program Files*/Lumivo/Lumivo.exe")),
                             [DRIVE_C / folders[arch] / "Lumivo" / "Lumivo.exe"], arch)

        # The start at logon goes with the product that is removed.
        install("x86")
        self.assertEqual(run_values(), {"x86": f'"C:\\{folders["x86"]}\\Lumivo\\Lumivo.exe"'})
        install("x64", "AUTOSTART=0")
        self.assertEqual(run_values(), {})
        # Turned off with one bitness, it stays off with the other, either way.
        for arch in ("x86", "x64"):
            install(arch)
            self.assertEqual(run_values(), {}, arch)
            self.assertEqual(remembered_autostart().get("x86"), "0", arch)

    def test_a_repair_brings_back_the_exe_and_an_uninstall_needs_none(self):
        root_before = drive_root()
        self.assertEqual(msiexec("/i", windows_path(MSI[ARCH]), "/qn"), 0)
        INSTALLED_EXE.unlink()
        # What /fa sets: Wine's msiexec hands /f's package to MsiReinstallProduct as a product
        # code, and leaves a product code to a "not implemented".
        self.assertEqual(msiexec("/i", windows_path(MSI[ARCH]), "REINSTALL=ALL",
                                 "REINSTALLMODE=amus", "/qn"), 0)
        self.assertEqual(INSTALLED_EXE.read_bytes(), EXES[ARCH].read_bytes())
        INSTALLED_EXE.unlink()
        (product_code, _), = installed_products()
        self.assertEqual(msiexec("/x", product_code, "/qn"), 0)
        self.assertEqual(installed_products(), [])
        self.assertFalse(INSTALLED_EXE.parent.exists(), "Program Files\\Lumivo is left")
        self.assertEqual(drive_root(), root_before)


class UpgradeWhileRunningTest(LampTestCase):
    """An older build installed and running as the Run value starts it; the new package installed
    over it with /passive, as winget does, from the same desktop."""

    def setUp(self):
        remove_every_lumivo()
        self.addCleanup(remove_every_lumivo)
        with tempfile.TemporaryDirectory() as folder:
            older = Path(folder) / "lumivo-older.msi"
            build_package(older, "1.20.5")
            self.assertEqual(msiexec("/i", windows_path(older), "/qn"), 0)
        super().setUp()

    def session_options(self):
        return {"exe": registry_value(RUN_KEY, "Lumivo").strip('"'),
                "cwd": DRIVE_C / "windows" / "system32"}

    def test_the_upgrade_closes_lumivo_without_a_prompt_and_starts_it_again(self):
        s = self.session
        s.start_program("msiexec", "upgrade", "/i", windows_path(MSI[ARCH]), "/passive")
        # A files-in-use prompt would hold the upgrade here.
        wait_for(lambda: [version for _, version in installed_products()] == ["1.20.6"], 90,
                 "the upgrade to finish")
        reopened = wait_for(lambda: [p for p in lumivo_processes() if p != self.pid], 30,
                            "Lumivo to start again")
        self.assertEqual(len(reopened), 1)
        self.assertNotIn(self.pid, lumivo_processes())
        self.assertEqual(registry_value(PRODUCT_KEY, "ReopenSessions"), "", "kept after use")
        # The installer's token here is an elevated administrator's, as Wine's always is: the
        # copy starts as the session's user on winsta0\default, not with the installer's token
        # on the installer's desktop, where this tray is and where its splash would show within
        # a second.
        time.sleep(3)
        self.assertEqual([w for w in s.probe.windows() if w["pid"] in reopened], [])
        self.assertEqual(s.lamps(), [])
        keep_upgrade_code_registration()

        # A quiet upgrade run from outside Lumivo's desktop, as deployment tools run it from
        # session 0: the copy it cannot ask is ended, and started again; no restart needed.
        with tempfile.TemporaryDirectory() as folder:
            newer = Path(folder) / "lumivo-newer.msi"
            build_package(newer, "1.20.7")
            # On the display's own desktop; no output kept, which the started Lumivo would hold.
            upgrade = subprocess.run([SYSTEM_WINE, "msiexec", "/i", windows_path(newer), "/qn"],
                                     env=s.env(), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     timeout=180)
        self.assertEqual(upgrade.returncode, 0)
        self.assertEqual([version for _, version in installed_products()], ["1.20.7"])
        self.assertNotIn(reopened[0], s.probe.lumivo_pids())
        wait_for(lambda: len(lumivo_processes()) == 1, 30, "one Lumivo to run again")

    @on_configurations("wow64")
    def test_the_x64_package_over_a_running_x86_lumivo_leaves_one_64_bit_lumivo(self):
        # The 64-bit closer closes the 32-bit copy, the x86 product goes, and the 64-bit exe
        # starts in its place, at logon too: one Run value, now in the 64-bit view.
        s = self.session
        upgrade = subprocess.run([SYSTEM_WINE, "msiexec", "/i", windows_path(MSI["x64"]), "/qn"],
                                 env=s.env(), stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 timeout=180)
        self.assertEqual(upgrade.returncode, 0)
        self.assertEqual(installed_products(), [(product_code(MSI["x64"]), "1.20.6")])
        self.assertNotIn(self.pid, lumivo_processes())
        reopened = wait_for(lambda: lumivo_processes() or None, 30, "Lumivo to start again")
        self.assertEqual(len(reopened), 1, reopened)
        self.assertIn(b"C:\\Program Files\\Lumivo\\Lumivo.exe",
                      Path(f"/proc/{reopened[0]}/cmdline").read_bytes())
        self.assertEqual(run_values(), {"x64": '"C:\\Program Files\\Lumivo\\Lumivo.exe"'})
        self.assertEqual(remembered_autostart(), {"x86": "1", "x64": "1"})


class CloseTest(LampTestCase):
    """Lumivo.exe /close, as the installer runs it, from outside Lumivo's desktop: another Wine
    desktop stands in for another user's session."""

    def test_close_ends_a_copy_that_no_window_search_of_its_desktop_finds(self):
        # The installer's desktop, kept open by an idle probe, sees no Lumivo window.
        env = self.session.env()
        self.session.processes.append(subprocess.Popen(
            [SYSTEM_WINE, "explorer", "/desktop=Installer,640x480", str(PROBE_EXE), "Installer",
             "hold"],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True))
        outside = DesktopProbe("Installer", env, self.session.name)
        seen = wait_for(lambda: (lambda r: r[1] if r[0] == 0 else None)(
            outside.records("windows", "all")), 30, "the installer's desktop")
        self.assertNotIn(MAIN_TITLE, [w["title"] for w in seen])
        self.assertEqual(outside.lumivo_pids(), [self.pid], "no process list across desktops")
        close = [WINE, windows_path(EXE), "/close"]
        self.assertEqual(run(close, timeout=60, check=False).returncode, 0)
        self.wait_process_ended(10)
        self.assertEqual(run(close, timeout=60, check=False).returncode, 0, "with no copy left")


@on_configurations("x64")
class PackageContentsTest(unittest.TestCase):
    def test_each_installer_carries_its_exe_the_instructions_and_the_licence(self):
        for arch, program_files in (("x86", "ProgramFilesFolder"), ("x64", "ProgramFiles64Folder")):
            with self.subTest(arch), tempfile.TemporaryDirectory() as folder:
                subprocess.run(["msiextract", "-C", folder, str(MSI[arch])], check=True,
                               capture_output=True, timeout=60)
                exe, = Path(folder).glob("**/Lumivo/Lumivo.exe")
                self.assertEqual(exe.read_bytes(), EXES[arch].read_bytes())
                self.assertEqual(pe_machine(exe), PE_MACHINE[arch])
                self.assertEqual(file_version(exe), VERSION)
                self.assertEqual(sorted(p.name for p in Path(folder).rglob("*") if p.is_file()),
                                 ["LICENSE.txt", "Lumivo.exe", "lumivo.txt"])
                self.assertEqual(exe.with_name("lumivo.txt").read_bytes(), INSTRUCTIONS.read_bytes())
                self.assertEqual(exe.with_name("LICENSE.txt").read_bytes(), LICENSE.read_bytes())
                directories = msi_table(MSI[arch], "Directory")
                self.assertIn(f"INSTALLDIR\t{program_files}\tLumivo", directories)
                self.assertIn("ProductVersion\t1.20.6", msi_table(MSI[arch], "Property"))
                summary = subprocess.run(["msiinfo", "suminfo", str(MSI[arch])], check=True,
                                         capture_output=True, text=True).stdout
                self.assertIn(f"Template: {'Intel' if arch == 'x86' else 'x64'};2052", summary)

    def test_the_portable_zip_the_checksums_and_the_winget_manifests(self):
        with zipfile.ZipFile(ZIP) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             ["LICENSE.txt", "Lumivo.exe", "README.txt", "lumivo.txt"])
            self.assertEqual(archive.read("Lumivo.exe"), EXES["x86"].read_bytes())
            self.assertEqual(archive.read("lumivo.txt"), INSTRUCTIONS.read_bytes())
            self.assertEqual(archive.read("LICENSE.txt"), LICENSE.read_bytes())
            readme = archive.read("README.txt").decode("utf-8-sig")
            self.assertNotIn("复制到", readme, "the zip still asks for the file to be copied")
            self.assertIn("F11", readme)
            self.assertIn("/door open", readme)
        sums = {name: digest for digest, name in
                (line.split("  ", 1) for line in (DIST / "SHA256SUMS").read_text().splitlines())}
        # This version's packages only: the .deb is there when scripts/package-deb made it.
        self.assertEqual({name for name in sums if not name.endswith(".deb")},
                         {p.name for p in (*MSI.values(), ZIP)})
        self.assertTrue(all(VERSION in name for name in sums), sums)
        for name, digest in sums.items():
            self.assertEqual(hashlib.sha256((DIST / name).read_bytes()).hexdigest(), digest, name)
        manifests = DIST / "winget" / "manifests" / "n" / "Norbek" / "Lumivo" / VERSION
        installer = (manifests / "Norbek.Lumivo.installer.yaml").read_text()
        for arch in ("x86", "x64"):
            self.assertIn(f"InstallerSha256: \"{sums[MSI[arch].name].upper()}\"", installer)
            self.assertIn(f'ProductCode: "{product_code(MSI[arch])}"', installer)
        for manifest in manifests.iterdir():
            self.assertNotIn("@", manifest.read_text().replace("mailto:norbek@", ""), manifest)


def msi_table(msi, table):
    """An exported table; the streams of a binary column (Icon, Binary) go to a folder of its
    own, not into the current one."""
    with tempfile.TemporaryDirectory() as folder:
        return subprocess.run(["msiinfo", "export", str(Path(msi).resolve()), table], cwd=folder,
                              check=True, capture_output=True, text=True).stdout


def product_code(msi):
    return re.search(r"^ProductCode\t(\S+)", msi_table(msi, "Property"), re.M).group(1)


def msi_rows(msi, table):
    """The rows of an exported table, as dictionaries by column name."""
    lines = msi_table(msi, table).splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


@on_configurations("x64")
class MsiTablesTest(unittest.TestCase):
    """What Windows Installer validation (the ICEs of the SDK's darice.cub) and the project
    require of both installers, read from their tables: no ICE runner exists here."""

    NO_IMPERSONATE, IN_SCRIPT = 0x800, 0x400
    HKMU, HKCU = "-1", "1"

    def tables(self, msi):
        names = ("AppSearch", "Component", "CustomAction", "Directory", "FeatureComponents",
                 "File", "Icon", "InstallExecuteSequence", "Property", "RegLocator", "Registry",
                 "Shortcut", "Upgrade", "MsiFileHash")
        tables = subprocess.run(["msiinfo", "tables", str(msi)], check=True, capture_output=True,
                                text=True).stdout.split()
        return {"tables": tables, **{name: msi_rows(msi, name) for name in names}}

    def test_both_installers_follow_the_rules(self):
        for arch in ("x86", "x64"):
            with self.subTest(arch):
                t = self.tables(MSI[arch])
                properties = {row["Property"]: row["Value"] for row in t["Property"]}
                components = {row["Component"]: row for row in t["Component"]}
                registry = {row["Registry"]: row for row in t["Registry"]}
                features = {}
                for row in t["FeatureComponents"]:
                    features.setdefault(row["Component_"], set()).add(row["Feature_"])
                files = {row["File"]: row for row in t["File"]}

                # ICE38, ICE43, ICE57: a shortcut's component (per-user profile data in a
                # per-user install) has an HKCU key path, or HKMU in a per-machine one.
                self.assertEqual(properties["ALLUSERS"], "1")
                for shortcut in t["Shortcut"]:
                    key_path = components[shortcut["Component_"]]["KeyPath"]
                    self.assertIn(registry[key_path]["Root"], (self.HKMU, self.HKCU), shortcut)
                # ICE03: every registry root is one Windows Installer knows (wixl writes 4).
                for row in t["Registry"]:
                    self.assertIn(row["Root"], ("-1", "0", "1", "2", "3"), row)
                # ICE68: only deferred (in-script) actions carry the no-impersonate bit.
                for action in t["CustomAction"]:
                    kind = int(action["Type"])
                    if not kind & self.IN_SCRIPT:
                        self.assertFalse(kind & self.NO_IMPERSONATE, action)
                # ICE69: [#file] in a component's registry value or shortcut names a file of a
                # component in the same feature.
                for row in t["Registry"] + t["Shortcut"]:
                    for file in re.findall(r"\[#(\w+)\]", row.get("Value", "") + row.get("Target", "")):
                        self.assertLessEqual(features[row["Component_"]],
                                             features[files[file]["Component_"]], row)
                # ICE61: each Upgrade row's property is secure; MigrateFeatures (1) on the rows
                # that remove an older product, so its feature choices carry over.
                secure = properties["SecureCustomProperties"].split(";")
                for row in t["Upgrade"]:
                    self.assertIn(row["ActionProperty"], secure)
                    self.assertEqual(int(row["Attributes"]) & 3, 2 if row["ActionProperty"] ==
                                     "NEWER_LUMIVO" else 1, row)
                self.assertIn("AUTOSTART", secure)
                # Versioned files: Lumivo.exe's version is the one of its version block, with
                # its language (ICE60), and such a file has no hash (MsiFileHash holds
                # unversioned files only).
                self.assertEqual(files["LumivoExe"]["Version"], file_version(EXES[arch]))
                self.assertEqual(files["LumivoExe"]["Language"], "2052")
                self.assertNotIn("LumivoExe", [row["File_"] for row in t["MsiFileHash"]])
                # The door's shortcuts: their Chinese names (GBK in a 936 database, which wixl
                # alone would leave empty) and each one's key, Ctrl+Alt+Shift+O and +C.
                door = {row["Arguments"]: (row["Name"].split("|")[-1], int(row["Hotkey"]))
                        for row in t["Shortcut"] if row["Arguments"]}
                self.assertEqual(door, {f"/door {verb}": (name, 0x700 | ord(key))
                                        for name, (verb, key) in DOOR_SHORTCUTS.items()})
                self.assertIn("936\t_ForceCodepage", msi_table(MSI[arch], "_ForceCodepage"))
                # Add/Remove Programs: icon, links, publisher, no "change".
                self.assertIn(properties["ARPPRODUCTICON"], [row["Name"] for row in t["Icon"]])
                self.assertTrue(properties["ARPURLINFOABOUT"].startswith("http"))
                self.assertTrue(properties["ARPHELPLINK"])
                self.assertEqual(properties["Manufacturer"], "Norbek")
                self.assertEqual(properties["ARPNOMODIFY"], "1")
                # Nothing goes to the root of a drive: every component lives under Program
                # Files or the Start menu.
                self.assertEqual({row["Directory_"] for row in components.values()},
                                 {"INSTALLDIR", "ProgramMenuFolder"})
                self.assert_close_and_reopen_sequenced(t, properties)

    def test_a_switch_of_bitness_removes_the_other_product_and_keeps_the_choice(self):
        packages = {arch: self.tables(MSI[arch]) for arch in ("x86", "x64")}
        # One UpgradeCode, the same Upgrade rows: either package removes the other bitness's
        # Lumivo as it removes an older one of its own.
        for t in packages.values():
            self.assertIn(f"UpgradeCode\t{UPGRADE_CODE}", [f"{r['Property']}\t{r['Value']}"
                                                           for r in t["Property"]])
        self.assertEqual(packages["x86"]["Upgrade"], packages["x64"]["Upgrade"])
        # The exe's, the shortcuts' and the Run value's components have GUIDs of their own
        # bitness (64-bit, 0x100, only in x64): that removal takes them all, so one exe and one
        # Run value remain. The remembered choice's component is the same 32-bit one in both,
        # so that removal leaves the value the new product wrote.
        components = {arch: {row["Component"]: row for row in t["Component"]}
                      for arch, t in packages.items()}
        shared = {"RememberedAutoStart"}
        self.assertEqual(components["x86"].keys(), components["x64"].keys())
        for name in components["x86"].keys() - shared:
            self.assertNotEqual(components["x86"][name]["ComponentId"],
                                components["x64"][name]["ComponentId"], name)
            for arch, bit in (("x86", 0), ("x64", 0x100)):
                self.assertEqual(int(components[arch][name]["Attributes"]) & 0x100, bit, name)
        for name in shared:
            self.assertEqual(components["x86"][name], components["x64"][name])
            self.assertFalse(int(components["x86"][name]["Attributes"]) & 0x100, name)
        for arch, t in packages.items():
            with self.subTest(arch):
                registry = {row["Registry"]: row for row in t["Registry"]}
                kept = registry[components[arch]["RememberedAutoStart"]["KeyPath"]]
                self.assertEqual((kept["Root"], kept["Key"], kept["Name"], kept["Value"]),
                                 (self.HKMU, "Software\\Norbek\\Lumivo", "AutoStart",
                                  "[AUTOSTART]"))
                # AUTOSTART from the 32-bit view first; the x64 package then from its own view,
                # where its older builds kept it. ICE80: a 32-bit package has no 64-bit
                # locator (msidbLocatorType64bit, 0x10).
                locators = {row["Signature_"]: row for row in t["RegLocator"]}
                searched = {row["Property"]: locators[row["Signature_"]] for row in t["AppSearch"]}
                sequence = {row["Action"]: int(row["Sequence"])
                            for row in t["InstallExecuteSequence"]}
                uses = sorted((sequence[row["Action"]], row["Target"].strip("[]"))
                              for row in t["CustomAction"]
                              if int(row["Type"]) & 0x3F == 51 and row["Source"] == "AUTOSTART"
                              and row["Target"].strip("[]") in searched)
                self.assertEqual([int(searched[name]["Type"]) & 0x10 for _, name in uses],
                                 [0] if arch == "x86" else [0, 0x10])
                self.assertEqual(len(uses), len(searched))
                for _, name in uses:
                    self.assertEqual((searched[name]["Root"], searched[name]["Key"],
                                      searched[name]["Name"]), ("2", kept["Key"], kept["Name"]))
                self.assertLess(sequence["AppSearch"], uses[0][0])
                self.assertLess(uses[-1][0], sequence["DefaultAutoStart"])

    def assert_close_and_reopen_sequenced(self, t, properties):
        at = {row["Action"]: row for row in t["InstallExecuteSequence"]}
        number = {action: int(row["Sequence"]) for action, row in at.items()}
        actions = {row["Action"]: row for row in t["CustomAction"]}
        # Exe custom actions (Custom Action Types: 2 from the Binary table, 18 from an installed
        # file, 34 in a folder, 50 named by a property) that run Lumivo.exe.
        runs_lumivo = {name for name, row in actions.items() if int(row["Type"]) & 0x3F in
                       (2, 18, 34, 50) and row["Source"] in ("LumivoCloser", "LumivoExe")}
        closes = {"CloseLumivoForRemoval", "CloseLumivoForUpgrade"}
        self.assertEqual(runs_lumivo, closes | {"ReopenLumivo", "StartLumivo"})
        for action in closes | {"ReopenLumivo"}:
            # Custom Action Security, In-Script Execution Options: whatever closes or starts
            # other users' copies, or writes HKLM, runs deferred (0x400) in the system context
            # (0x800), not with the installing user's (under UAC filtered) token; ICE77: inside
            # the script, between InstallInitialize and InstallFinalize.
            self.assertEqual(int(actions[action]["Type"]) & 0xC00, 0xC00, action)
            self.assertLess(number["InstallInitialize"], number[action], action)
            self.assertLess(number[action], number["InstallFinalize"], action)
            self.assertIn("Privileged", at[action]["Condition"])
        # The close before any file is removed or replaced, the old product's removal
        # (RemoveExistingProducts) included; the reopening after the files are in, never on
        # removal. RemoveExistingProducts may sit between InstallExecute and InstallFinalize.
        for close in closes:
            self.assertLess(number[close], min(number["RemoveFiles"], number["InstallFiles"],
                                               number["RemoveExistingProducts"]))
        self.assertLess(number["InstallExecute"], number["RemoveExistingProducts"])
        self.assertLess(number["RemoveExistingProducts"], number["InstallFinalize"])
        self.assertGreater(number["ReopenLumivo"], number["RemoveExistingProducts"])
        self.assertIn('NOT REMOVE = "ALL"', at["ReopenLumivo"]["Condition"])
        # No immediate action runs Lumivo.exe but the interactive start: after the script, with
        # the installing user's own token (impersonated, no 0x800), in full UI only (UILevel 5).
        immediate = {name for name in runs_lumivo if not int(actions[name]["Type"]) & 0x400}
        self.assertEqual(immediate, {"StartLumivo"})
        self.assertFalse(int(actions["StartLumivo"]["Type"]) & 0x800)
        self.assertGreater(number["StartLumivo"], number["InstallFinalize"])
        self.assertIn("UILevel > 3", at["StartLumivo"]["Condition"])
        # Using Windows Installer with Restart Manager: it shuts Lumivo down only where every
        # holder of the files is registered for restart (MSIRMSHUTDOWN 2), and restarts what it
        # shut down (MSIDISABLERMRESTART left at 0): one restarter for each copy. No
        # MsiRMFilesInUse or FilesInUse dialog: full UI shows the built-in prompt.
        self.assertEqual(properties.get("MSIRMSHUTDOWN"), "2")
        self.assertEqual(properties.get("MSIDISABLERMRESTART", "0"), "0")
        self.assertNotIn("MSIRESTARTMANAGERCONTROL", properties)
        self.assertNotIn("Dialog", t["tables"])


if __name__ == "__main__":
    unittest.main()
