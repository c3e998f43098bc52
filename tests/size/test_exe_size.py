"""The file size of both Lumivo.exe builds, resources included, against its budget."""

import os
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUDGETS = {
    "windows-x86": 68 * 1024,
    "windows-x64": 96 * 1024,
}


class ExeSizeTest(unittest.TestCase):
    def test_each_exe_stays_within_its_budget(self):
        for preset, budget in BUDGETS.items():
            with self.subTest(preset):
                path = os.path.join(ROOT, "build", preset, "Lumivo.exe")
                self.assertTrue(os.path.exists(path), f"{path} is not built")
                size = os.path.getsize(path)
                print(f"\n{preset}: {size:,} B of {budget:,} B")
                self.assertLessEqual(size, budget,
                                     f"{path} grew past {budget // 1024} KiB: bench/run "
                                     "--size-map lists what fills it")


if __name__ == "__main__":
    unittest.main()
