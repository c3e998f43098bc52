"""Runs the 64-bit build's tray decoding check under Wine: msvcrt.dll's printf and strtod read
every message the shell can send, at every screen setting, as the host's C library does."""

import os
import re
import shutil
import subprocess
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
CHECK = ROOT / "build" / "windows-x64" / "tests" / "windows_units" / "tray_decoding_check.exe"
PREFIX = ROOT / "build" / "windows-units" / "prefix"
# The checks are 64-bit programs: wine64 itself runs them, even where wine32 is installed too.
WINE64 = shutil.which("wine64") or "/usr/lib/wine/wine64"


def wine_env():
    env = os.environ.copy()
    env.update(WINEPREFIX=str(PREFIX), WINEDEBUG="-all",
               # No Mono/Gecko download prompts, no menu entries written to the host.
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    env.pop("DISPLAY", None)
    return env


def run(command, timeout):
    return subprocess.run(command, env=wine_env(), stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)


class TrayDecodingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A prefix of its own, kept between runs: made once, it costs nothing after.
        if not (PREFIX / "system.reg").exists():
            PREFIX.mkdir(parents=True, exist_ok=True)
            run(["wineboot", "-i"], timeout=300)
            run(["wineserver", "-w"], timeout=300)

    def test_msvcrt_reads_every_message_at_every_screen_setting_as_the_host_does(self):
        self.assertTrue(CHECK.exists(), f"{CHECK} is not built")
        result = run([WINE64, str(CHECK)], timeout=600)
        output = result.stdout.decode(errors="replace")
        print(f"\n{output.strip()}")
        self.assertEqual(result.returncode, 0, output or result.stderr.decode(errors="replace"))
        summary = re.search(r"^(\d+) decodings checked at screen settings 72 to 480 DPI, (\d+) "
                            r"wrong", output, re.M)
        self.assertIsNotNone(summary, "the check did not finish")
        self.assertGreater(int(summary.group(1)), 0)
        self.assertEqual(int(summary.group(2)), 0)


if __name__ == "__main__":
    unittest.main()
