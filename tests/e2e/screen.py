"""What the screen shows: screenshots, the lamps in the tray, the rows of a popup menu."""

import subprocess
from collections import Counter

from lumivo import GREEN, RED

TASKBAR_HEIGHT = 40


def color_name(color):
    return "green" if color == GREEN else "red"


class Image:
    """Raw 8-bit RGB rows, as `import ... rgb:-` writes them."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def find_squares(self, color, box, sizes=(8, 12)):
        """Centres of solid squares of exactly this colour in box, sides from sizes[0] to
        sizes[1] (+-2 px): the lamp is 8 px, 12 px when the tray scales it to 144 dpi."""
        x0, y0, x1, y1 = box
        pattern = bytes(color)
        points = {(x, y) for y in range(y0, y1) for x in range(x0, x1)
                  if self.rgb[(y * self.width + x) * 3:(y * self.width + x) * 3 + 3] == pattern}
        centres = []
        while points:
            component, frontier = set(), {points.pop()}
            while frontier:
                component |= frontier
                frontier = {(x + dx, y + dy) for x, y in frontier
                            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))} & points
                points -= frontier
            xs, ys = [p[0] for p in component], [p[1] for p in component]
            w, h = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
            low, high = sizes[0] - 2, sizes[1] + 2
            if low <= w <= high and low <= h <= high and abs(w - h) <= 2 \
                    and len(component) >= (min(w, h) - 2) ** 2:
                centres.append(((min(xs) + max(xs) + 1) // 2, (min(ys) + max(ys) + 1) // 2))
        return sorted(centres)

    def save(self, path):
        subprocess.run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8",
                        "rgb:-", str(path)], input=self.rgb, check=True, timeout=60)


def tray_lamps(image):
    """Every lamp in the taskbar at the bottom of the screen: [(colour, centre), ...]."""
    box = (0, image.height - TASKBAR_HEIGHT, image.width, image.height)
    return [(color, p) for color in (GREEN, RED) for p in image.find_squares(color, box)]


def menu_rows(image, rect):
    """Rows of the popup menu in rect, top to bottom: ("item", y) or ("separator", y).

    Items are bands of dark text rows; separators are rows mostly not of the background.
    """
    left, top, right, bottom = rect
    xs, ys = range(left + 4, right - 4), range(top + 2, bottom - 2)
    background = Counter(image.pixel(x, y) for y in ys for x in xs).most_common(1)[0][0]
    rows = []
    for y in ys:
        row = [image.pixel(x, y) for x in xs]
        if any(max(p) < 110 for p in row):
            kind = "item"
        elif sum(1 for p in row if p != background) > len(row) // 2:
            kind = "separator"
        else:
            continue
        # Glyph rows of one item may be split by a couple of empty rows.
        if rows and rows[-1][0] == kind and y - rows[-1][2] <= (3 if kind == "item" else 1):
            rows[-1][2] = y
        else:
            rows.append([kind, y, y])
    return [(kind, (first + last) // 2) for kind, first, last in rows]
