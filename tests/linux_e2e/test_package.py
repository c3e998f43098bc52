"""The .deb: it installs with dpkg, its program finds its libraries, and it goes cleanly."""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from linux_session import REPO

INSTALLED = ["/usr/bin/lumivo", "/usr/share/lumivo/lumivo.txt",
             "/usr/share/applications/lumivo.desktop", "/etc/xdg/autostart/lumivo.desktop",
             "/usr/share/icons/hicolor/32x32/apps/lumivo.png"]


def dpkg(*args):
    return subprocess.run(["dpkg", *args], capture_output=True, text=True, timeout=120)


@unittest.skipUnless(os.geteuid() == 0, "installing a package needs root")
class DebianPackageTest(unittest.TestCase):
    def setUp(self):
        if dpkg("-s", "lumivo").returncode == 0:
            self.skipTest("lumivo is installed on this machine; leaving it alone")
        self.out = Path(tempfile.mkdtemp(prefix="lumivo-deb-"))
        self.addCleanup(shutil.rmtree, self.out, True)
        built = subprocess.run([str(REPO / "scripts" / "package-deb"), str(self.out)],
                               capture_output=True, text=True, timeout=900)
        self.assertEqual(built.returncode, 0, built.stderr)
        self.deb = Path(built.stdout.split()[-1])
        self.addCleanup(lambda: dpkg("--purge", "lumivo"))

    def test_installs_runs_its_libraries_and_removes_cleanly(self):
        self.assertEqual(self.deb.name, "lumivo_1.20.0.6_amd64.deb")
        installed = dpkg("-i", str(self.deb))
        self.assertEqual(installed.returncode, 0, installed.stderr)
        for path in INSTALLED:
            self.assertTrue(Path(path).is_file(), path)
        libraries = subprocess.run(["ldd", "/usr/bin/lumivo"], capture_output=True, text=True)
        self.assertNotIn("not found", libraries.stdout)
        self.assertIn("libQt6Widgets", libraries.stdout)

        removed = dpkg("-r", "lumivo")
        self.assertEqual(removed.returncode, 0, removed.stderr)
        self.assertFalse(Path("/usr/bin/lumivo").exists())
        # Removing keeps the autostart entry an administrator may have edited; purging takes it.
        purged = dpkg("--purge", "lumivo")
        self.assertEqual(purged.returncode, 0, purged.stderr)
        for path in INSTALLED:
            self.assertFalse(Path(path).exists(), path)
        self.assertNotEqual(dpkg("-s", "lumivo").returncode, 0)


if __name__ == "__main__":
    unittest.main()
