"""Runs the tool tips' check under Wine, with comctl32 5.8's rule for the record's size."""

import unittest

import test_tray_decoding
from test_tray_decoding import ROOT, WINE64, run

CHECK = ROOT / "build" / "windows-x64" / "tests" / "windows_units" / "tool_tips_check.exe"


class ToolTipsTest(unittest.TestCase):
    setUpClass = test_tray_decoding.TrayDecodingTest.setUpClass

    def test_every_tip_is_added_at_a_size_comctl32_5_8_takes(self):
        self.assertTrue(CHECK.exists(), f"{CHECK} is not built")
        # Windows need a display: a private X server for the run.
        result = run(["xvfb-run", "-a", WINE64, str(CHECK)], timeout=120)
        output = result.stdout.decode(errors="replace")
        print(f"\n{output.strip()}")
        self.assertEqual(result.returncode, 0, output or result.stderr.decode(errors="replace"))
        self.assertIn("3 tips added, 0 wrong", output)


if __name__ == "__main__":
    unittest.main()
