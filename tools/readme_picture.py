#!/usr/bin/env python3
"""Makes the README's picture from a real run of Lumivo.exe under Wine: the About window, the
tray corner with the green and the red lamp (enlarged), and the open menu, cropped from
screenshots of one session and set side by side.

Usage: tools/readme_picture.py OUT.png    (scripts/run --docs writes docs/screenshot.png)
Needs the windows-x64 build (scripts/run builds it) and the e2e harness's tools.
"""

import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from lumivo import ABOUT_SIZE, GREEN, MENU_ABOUT, RED  # noqa: E402
from session import SCREEN, LumivoSession  # noqa: E402
from waiting import wait_settled  # noqa: E402

LAMP_WIDTH, LAMP_HEIGHT = 48, 18  # around a lamp, so that a little of the tray shows
GAP = 12


def crop(image, rect, path, scale):
    """Saves the rect (left, top, right, bottom) of a screenshot, scaled by whole pixels."""
    left, top, right, bottom = rect
    image.save(path)
    subprocess.run(["convert", str(path), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", "-scale", f"{scale * 100}%", str(path)], check=True, timeout=60)


def tray_corner(lamp):
    """The taskbar's strip around a lamp, down to the screen's bottom edge."""
    x, _ = lamp
    return (x - LAMP_WIDTH // 2, SCREEN[1] - LAMP_HEIGHT, x + LAMP_WIDTH // 2, SCREEN[1])


def settled_screenshot(session):
    """A screenshot once the screen has stopped changing: windows fully drawn."""
    shots = []

    def pixels():
        shots.append(session.screenshot())
        return shots[-1].rgb
    wait_settled(pixels, "the screen", settle=0.3)
    return shots[-1]


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(argv[1]).resolve()
    session = LumivoSession("readme-picture")
    with tempfile.TemporaryDirectory() as folder:
        parts = {name: Path(folder) / f"{name}.png" for name in ("about", "green", "red", "menu")}
        try:
            session.start()
            green = session.wait_tray_icon(GREEN)
            crop(settled_screenshot(session), tray_corner(green), parts["green"], 4)
            session.click(*green)
            red = session.wait_tray_icon(RED)
            crop(settled_screenshot(session), tray_corner(red), parts["red"], 4)
            session.click(*red, button=3)
            menu = session.open_menu()
            crop(settled_screenshot(session), menu["rect"], parts["menu"], 2)
            session.click_menu_item(menu, MENU_ABOUT)
            about = session.probe.wait_visible(*ABOUT_SIZE, timeout=10)
            crop(settled_screenshot(session), about["rect"], parts["about"], 2)
        finally:
            session.stop()
        # The lamps one above the other, then the three pictures side by side, centred.
        subprocess.run(["convert", "-background", "white", "-bordercolor", "white",
                        str(parts["about"]),
                        "(", str(parts["green"]), str(parts["red"]), "-border", f"0x{GAP // 2}",
                        "-append", ")",
                        str(parts["menu"]), "-border", f"{GAP}x0", "-gravity", "center",
                        "+append", "-border", f"0x{GAP}", str(out)], check=True, timeout=60)
    print(f"wrote {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
