"""The .deb: lintian accepts it, it installs with dpkg, its program finds its libraries and
answers --help and --version without a display, its desktop entries hold, and it goes cleanly.
Also how the program starts: its command line, and no restart by the session manager."""

import gzip
import os
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from linux_session import EXE, REPO, Desktop

VERSION = "1.20.0.6"
ENTRIES = ["/usr/share/applications/lumivo.desktop", "/etc/xdg/autostart/lumivo.desktop"]
INSTALLED = ["/usr/bin/lumivo", "/usr/share/lumivo/lumivo.txt", *ENTRIES,
             "/usr/share/icons/hicolor/32x32/apps/lumivo.png",
             "/usr/share/man/man1/lumivo.1.gz", "/usr/share/doc/lumivo/copyright",
             "/usr/share/doc/lumivo/changelog.gz"]


def dpkg(*args):
    return subprocess.run(["dpkg", *args], capture_output=True, text=True, timeout=120)


def run_without_display(program, *args, **env):
    environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    return subprocess.run([str(program), *args], capture_output=True, text=True, timeout=60,
                          env={**environment, **env})


class StartTest(unittest.TestCase):
    def test_help_and_version_need_no_display_and_other_arguments_are_refused(self):
        for option in ("--help", "-h"):
            answered = run_without_display(EXE, option)
            self.assertEqual((answered.returncode, answered.stderr), (0, ""), option)
            self.assertTrue(answered.stdout.startswith(
                "Usage: lumivo [--help | --version | --door open|close|toggle [DRIVE]]\n"))
            self.assertIn("keypad / opens the door", answered.stdout)
        for option in ("--version", "-v"):
            answered = run_without_display(EXE, option)
            self.assertEqual((answered.returncode, answered.stdout, answered.stderr),
                             (0, f"lumivo {VERSION}\n", ""), option)
        # Qt takes its own options first, so the refusal comes once a platform is up.
        for argument in ("--bogus", "stray"):
            refused = run_without_display(EXE, argument, QT_QPA_PLATFORM="offscreen")
            self.assertEqual((refused.returncode, refused.stdout), (2, ""), argument)
            self.assertIn(f"lumivo: unknown option '{argument}'\n", refused.stderr)
        # --door needs no display either: its bad arguments are refused with the usage.
        for arguments in (["--door"], ["--door", "eject"], ["--door", "open", "D:", "E:"],
                          ["--door", "open", ""], ["--door", "close", "/" + "x" * 5000],
                          ["--door", "toggle", "Ｄ:"], ["--door", "open", "sr0"]):
            refused = run_without_display(EXE, *arguments)
            self.assertEqual((refused.returncode, refused.stdout), (2, ""), arguments)
            self.assertIn("Usage: lumivo --door open|close|toggle [DRIVE]\n", refused.stderr)

    def test_asks_the_session_manager_never_to_restart_it(self):
        # The autostart entry starts it at every logon; a restored session must not add a copy.
        folder = Path(tempfile.mkdtemp(prefix="lumivo-xsmp-"))
        self.addCleanup(shutil.rmtree, folder, True)
        subprocess.run(["cc", "-o", str(folder / "session_manager"),
                        str(Path(__file__).with_name("session_manager.c")), "-lSM", "-lICE"],
                       check=True, timeout=120)
        manager = subprocess.Popen([str(folder / "session_manager")], stdout=subprocess.PIPE,
                                   text=True)
        self.addCleanup(manager.kill)
        address = manager.stdout.readline().strip()
        self.assertTrue(address.startswith("local/"), address)
        desktop = Desktop(self.id().split(".")[-1])
        self.addCleanup(desktop.stop)
        lumivo = subprocess.Popen([str(EXE)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  env={**desktop.env(), "SESSION_MANAGER": address,
                                       "ICEAUTHORITY": str(folder / "iceauthority")})
        self.addCleanup(lumivo.wait, 10)
        self.addCleanup(lumivo.terminate)
        said, _ = manager.communicate(timeout=60)
        # SmRestartNever; Qt's default is SmRestartIfRunning (0).
        self.assertEqual((manager.returncode, said), (0, "RestartStyleHint 3\n"))


class DebianPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        out = Path(tempfile.mkdtemp(prefix="lumivo-deb-"))
        cls.addClassCleanup(shutil.rmtree, out, True)
        built = subprocess.run([str(REPO / "scripts" / "package-deb"), str(out)],
                               capture_output=True, text=True, timeout=900)
        if built.returncode != 0:
            raise AssertionError(f"scripts/package-deb failed:\n{built.stderr}")
        cls.deb = Path(built.stdout.split()[-1])

    def test_lintian_accepts_it_and_its_dependencies_come_from_the_program(self):
        self.assertEqual(self.deb.name, f"lumivo_{VERSION}_amd64.deb")
        checked = subprocess.run(["lintian", "--fail-on", "error,warning", "--display-info",
                                  str(self.deb)], capture_output=True, text=True, timeout=300)
        tags = re.findall(r"^[EWIX]: .*", checked.stdout, re.M)
        self.assertEqual((checked.returncode, tags), (0, []), checked.stderr)

        depends = dpkg("--field", str(self.deb), "Depends").stdout
        packages = {re.sub(r"\s*\(.*\)", "", p).strip() for p in depends.split(",")}
        self.assertLessEqual({"libc6", "libstdc++6", "libxcb1", "libqt6core6", "libqt6gui6",
                              "libqt6widgets6", "libqt6dbus6"}, packages)
        self.assertNotIn("qt6-qpa-plugins", packages)
        self.assertRegex(depends, r"libc6 \(>= [0-9.]+\)")

    def try_exec_found(self, entry):
        """Whether the program the entry's TryExec names is there: where it is not, sessions
        and menus skip the entry (as freedesktop.org's Desktop Entry rules say)."""
        try_exec = re.search(r"^TryExec=(.+)$", Path(entry).read_text(), re.M)
        self.assertIsNotNone(try_exec, entry)
        return shutil.which(try_exec[1], path="/usr/local/bin:/usr/bin:/bin") is not None

    @unittest.skipUnless(os.geteuid() == 0, "installing a package needs root")
    def test_installs_runs_its_libraries_and_removes_cleanly(self):
        if dpkg("-s", "lumivo").returncode == 0:
            self.skipTest("lumivo is installed on this machine; leaving it alone")
        self.addCleanup(lambda: dpkg("--purge", "lumivo"))
        installed = dpkg("-i", str(self.deb))
        self.assertEqual(installed.returncode, 0, installed.stderr)
        for path in INSTALLED:
            self.assertTrue(Path(path).is_file(), path)
        libraries = subprocess.run(["ldd", "/usr/bin/lumivo"], capture_output=True, text=True)
        self.assertNotIn("not found", libraries.stdout)
        self.assertIn("libQt6Widgets", libraries.stdout)
        with gzip.open("/usr/share/doc/lumivo/changelog.gz", "rt") as changelog:
            self.assertTrue(changelog.readline().startswith(f"lumivo ({VERSION}) "))
        version = run_without_display("/usr/bin/lumivo", "--version")
        self.assertEqual((version.returncode, version.stdout), (0, f"lumivo {VERSION}\n"))
        validated = subprocess.run(["desktop-file-validate", *ENTRIES], capture_output=True,
                                   text=True)
        self.assertEqual((validated.returncode, validated.stdout), (0, ""), validated.stderr)
        for entry in ENTRIES:
            self.assertTrue(self.try_exec_found(entry), entry)

        removed = dpkg("-r", "lumivo")
        self.assertEqual(removed.returncode, 0, removed.stderr)
        self.assertFalse(Path("/usr/bin/lumivo").exists())
        # Removing keeps the autostart entry an administrator may have edited, and its TryExec
        # keeps the session from starting the program that is gone; purging takes the entry.
        self.assertTrue(Path(ENTRIES[1]).is_file())
        self.assertFalse(self.try_exec_found(ENTRIES[1]))
        purged = dpkg("--purge", "lumivo")
        self.assertEqual(purged.returncode, 0, purged.stderr)
        for path in INSTALLED:
            self.assertFalse(Path(path).exists(), path)
        self.assertNotEqual(dpkg("-s", "lumivo").returncode, 0)


if __name__ == "__main__":
    unittest.main()
