"""Screenshots of Lumivo under Wine on a private display (used by scripts/run).

Usage: python3 tests/e2e/capture.py OUT.png [SIDE_BY_SIDE.png]
OUT.png: the screen once the green lamp is in the tray. SIDE_BY_SIDE.png (optional): three
moments side by side: the splash, the lamp in the tray, the lamp's menu.
"""

import subprocess
import sys
import tempfile
from pathlib import Path

from lumivo import GREEN
from session import LumivoSession


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(argv[1]).resolve()
    session = LumivoSession("capture")
    try:
        session.start()
        splash = session.splash_window()
        splash_image = session.screenshot()  # the splash lasts about a second: at once
        print(f"splash window at {splash['rect']}")
        print(f"green lamp in the tray at {session.wait_tray_icon(GREEN)}")
        tray_image = session.screenshot(out)
        print(f"wrote {out}")
        if len(argv) == 3:
            session.open_menu()
            images = {"splash": splash_image, "tray": tray_image, "menu": session.screenshot()}
            with tempfile.TemporaryDirectory() as tmp:
                parts = [str(Path(tmp) / f"{name}.png") for name in images]
                for part, image in zip(parts, images.values()):
                    image.save(part)
                subprocess.run(["convert", *parts, "+append", str(Path(argv[2]).resolve())],
                               check=True, timeout=60)
            print(f"wrote {argv[2]}")
            session.key("Escape")
    finally:
        session.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
