#!/usr/bin/env python3
"""Starts lumivo on a private Xvfb with trayer as the tray and saves a screenshot of the
splash and of the lamp in the tray: OUT.png becomes OUT-splash.png and OUT.png.

Usage: tests/linux_e2e/capture.py OUT.png
"""

import sys
from pathlib import Path

from linux_session import GREEN, Desktop


def main():
    out = Path(sys.argv[1]).resolve()
    desktop = Desktop("capture")
    try:
        program = desktop.start_lumivo(traced=False)
        desktop.wait_window(program.pid, name="About")
        desktop.save_screenshot("splash", out.with_name(out.stem + "-splash" + out.suffix))
        desktop.wait_lamp(GREEN)
        desktop.save_screenshot("tray", out)
    finally:
        desktop.stop()
    print(out)


if __name__ == "__main__":
    main()
