"""Screenshots of Lumivo under Wine on a private display (used by scripts/run).

Usage: python3 tests/e2e/capture.py OUT.png [SIDE_BY_SIDE.png]
OUT.png: the screen once the green lamp is in the tray. SIDE_BY_SIDE.png (optional): three
moments side by side: the splash, the lamp in the tray, the lamp's menu.
"""

import subprocess
import sys
import tempfile
from pathlib import Path

import wine_session as ws


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(argv[1]).resolve()
    triple = Path(argv[2]).resolve() if len(argv) == 3 else None
    session = ws.LumivoSession("capture")
    try:
        session.start()
        splash = session.splash_window()
        # The splash lasts about a second: grab it at once.
        splash_img = session.screenshot()
        print(f"splash window at {splash['rect']}")
        icon = session.wait_tray_icon(ws.GREEN)
        print(f"green lamp in the tray at {icon}")
        tray_img = session.screenshot(out)
        print(f"wrote {out}")
        if triple:
            session.open_menu()
            menu_img = session.screenshot()
            with tempfile.TemporaryDirectory() as tmp:
                parts = []
                for name, img in (("splash", splash_img), ("tray", tray_img), ("menu", menu_img)):
                    parts.append(str(Path(tmp) / f"{name}.png"))
                    img.save(parts[-1])
                subprocess.run(["convert", *parts, "+append", str(triple)], check=True,
                               timeout=60)
            print(f"wrote {triple}")
            session.key("Escape")
    finally:
        session.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
