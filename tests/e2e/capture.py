"""A screenshot of Lumivo under Wine on a private display, once the green lamp is in the tray
(scripts/run without a display).

Usage: python3 tests/e2e/capture.py OUT.png
"""

import sys
from pathlib import Path

from lumivo import GREEN
from session import LumivoSession


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(argv[1]).resolve()
    session = LumivoSession("capture")
    try:
        session.start()
        print(f"green lamp in the tray at {session.wait_tray_icon(GREEN)}")
        session.screenshot(out)
        print(f"wrote {out}")
    finally:
        session.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
