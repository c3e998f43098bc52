#!/usr/bin/env python3
"""Draws Lumivo's icons, cursor and About picture into src/resources/.

Everything is drawn from code so the binary resources can be rebuilt and
reviewed; running the script twice gives byte-identical files.  Texts in the
About picture are rendered by ImageMagick's `convert` (the only outside tool);
everything else, including the GIF's LZW encoder, is plain Python.

Usage: tools/draw_resources.py [--out-dir DIR]
"""

import argparse
import colorsys
import math
import struct
import subprocess
import zlib
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
CONVERT = "/usr/bin/convert"
FONT_DIR = Path("/usr/share/fonts/truetype")
SANS = FONT_DIR / "dejavu" / "DejaVuSans.ttf"
SANS_BOLD = FONT_DIR / "dejavu" / "DejaVuSans-Bold.ttf"
CJK = FONT_DIR / "wqy" / "wqy-microhei.ttc"  # the studio's name is Chinese

# --------------------------------------------------------------------------
# Icons
# --------------------------------------------------------------------------

# The classic 16-colour Windows palette, in its usual index order, so the
# icons look the same on a 16-colour display as on a true-colour one.
VGA_PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, SILVER, GREY, RED, LIME, WHITE = 0, 7, 8, 9, 10, 15


def draw_lamp(lamp_colour):
    """16x16 grid of palette indices: a raised silver button with a square lamp."""
    size = 16
    grid = [[SILVER] * size for _ in range(size)]
    for i in range(1, size - 1):
        # Light from the top left: white bevel there, shadow bottom right.
        # The shadow is drawn last so it owns the two inner corners.
        grid[1][i] = grid[i][1] = WHITE
    for i in range(1, size - 1):
        grid[size - 2][i] = grid[i][size - 2] = GREY
    for i in range(size):
        grid[0][i] = grid[size - 1][i] = grid[i][0] = grid[i][size - 1] = BLACK
    for y in range(4, 12):
        for x in range(4, 12):
            grid[y][x] = lamp_colour
    return grid


def scale_grid(grid, factor):
    """Nearest-neighbour enlargement, so the big icon matches the small one."""
    return [[cell for cell in row for _ in range(factor)] for row in grid for _ in range(factor)]


def pack_rows(grid, bits_per_pixel):
    """DIB pixel data: rows bottom-up, packed high bits first, padded to 4 bytes."""
    data = bytearray()
    per_byte = 8 // bits_per_pixel
    for row in reversed(grid):
        packed = bytearray()
        for start in range(0, len(row), per_byte):
            byte = 0
            for offset in range(per_byte):
                value = row[start + offset] if start + offset < len(row) else 0
                byte = (byte << bits_per_pixel) | value
            packed.append(byte)
        packed.extend(b"\0" * (-len(packed) % 4))
        data += packed
    return bytes(data)


def dib_image(colour_grid, mask_grid, bits_per_pixel, palette):
    """Icon/cursor image: BITMAPINFOHEADER (double height: XOR + AND), palette, bitmaps."""
    width, height = len(colour_grid[0]), len(colour_grid)
    xor_bits = pack_rows(colour_grid, bits_per_pixel)
    and_bits = pack_rows(mask_grid, 1)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits_per_pixel, 0,
                         len(xor_bits) + len(and_bits), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor_bits + and_bits


def icon_file(resource_type, width, height, colour_count, field4, field6, image):
    """ICO/CUR container with a single image.

    For icons field4/field6 are planes and bit count; a cursor stores its hot
    spot x and y in the same two fields.
    """
    directory = struct.pack("<HHH", 0, resource_type, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, colour_count, 0,
                        field4, field6, len(image), 6 + 16)
    return directory + entry + image


def make_icon(grid):
    size = len(grid)
    opaque = [[0] * size for _ in range(size)]
    image = dib_image(grid, opaque, 4, VGA_PALETTE)
    return icon_file(1, size, size, 16, 1, 4, image)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def make_png(grid):
    """The icon as an opaque RGB PNG, for the Linux desktop's icon theme."""
    size = len(grid)
    rows = b"".join(b"\0" + bytes(c for index in row for c in VGA_PALETTE[index]) for row in grid)
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# Cursor
# --------------------------------------------------------------------------

HAND_HOT_SPOT = (5, 0)  # the tip of the index finger

# '#' black outline, 'o' white, '.' transparent.  Rows not listed are empty.
HAND = """
.....##
....#oo#
....#oo#
....#oo#
....#oo#
....#oo###
....#oo#oo###
....#oo#oo#oo##
....#oo#oo#oo#oo#
.##.#oo#oo#oo#oo#
#oo##oo#oo#oo#oo#
#ooo#ooooooooooo#
.#oo#ooooooooooo#
.#oooooooooooooo#
..#ooooooooooooo#
..#ooooooooooooo#
...#oooooooooooo#
...#ooooooooooo#
....#oooooooooo#
....#oooooooooo#
.....#ooooooooo#
.....#ooooooooo#
.....###########
"""


def draw_hand(size=32):
    """XOR (0 black, 1 white) and AND (1 = see-through) grids of the hand cursor."""
    rows = HAND.strip("\n").split("\n")
    colour = [[0] * size for _ in range(size)]
    mask = [[1] * size for _ in range(size)]
    for y, row in enumerate(rows):
        for x, cell in enumerate(row):
            if cell != ".":
                colour[y][x] = 1 if cell == "o" else 0
                mask[y][x] = 0
    return colour, mask


def make_cursor():
    colour, mask = draw_hand()
    image = dib_image(colour, mask, 1, [(0, 0, 0), (255, 255, 255)])
    return icon_file(2, 32, 32, 2, HAND_HOT_SPOT[0], HAND_HOT_SPOT[1], image)


# --------------------------------------------------------------------------
# About picture: palette
# --------------------------------------------------------------------------

ABOUT_W, ABOUT_H = 247, 118
PAPER = (255, 255, 255)
INK = (0, 0, 0)
FRAME_LIGHT = (204, 204, 204)
FRAME_DARK = (0, 0, 0)
RULE = (102, 102, 102)
PANEL_BLUE = (51, 102, 204)
BRAND_RED = (255, 0, 0)
BRAND_OUTLINE = (128, 0, 0)
SILVER_RGB = (192, 192, 192)
TRANSPARENT_RGB = (255, 0, 255)  # never drawn; only named as the GIF's transparent index
PALETTE_SIZE = 128
TRANSPARENT_INDEX = PALETTE_SIZE - 1
# Hues of the rainbow sheen on the disc, and how strongly they tint the silver.
SHEEN_HUES = [i / 12 for i in range(10)]
SHEEN_STRENGTHS = (0.3, 0.55, 0.8)


def mix(a, b, t):
    """Colour t of the way from a to b (unrounded)."""
    return tuple(ca + (cb - ca) * t for ca, cb in zip(a, b))


def ramp(a, b, steps):
    """steps+1 rounded colours from a to b inclusive; antialiased edges land on these."""
    return [tuple(round(c) for c in mix(a, b, i / steps)) for i in range(steps + 1)]


def sheen_colour(hue):
    return tuple(255 * c for c in colorsys.hsv_to_rgb(hue, 0.6, 1.0))


def build_palette():
    """The fixed 128-colour table: exact layout colours first, then blend ramps."""
    colours = [PAPER, INK, FRAME_LIGHT, RULE, PANEL_BLUE, BRAND_RED, BRAND_OUTLINE, SILVER_RGB]
    colours += ramp(INK, PAPER, 32)                 # black text, the disc's greys
    colours += ramp(PANEL_BLUE, PAPER, 16)          # white text on the blue panel
    colours += ramp(PAPER, BRAND_RED, 8)            # the red brand name
    colours += ramp(BRAND_OUTLINE, BRAND_RED, 4)    # ...and its outline
    colours += ramp(PAPER, BRAND_OUTLINE, 8)
    for hue in SHEEN_HUES:
        for strength in SHEEN_STRENGTHS:
            colours.append(tuple(round(c) for c in mix(SILVER_RGB, sheen_colour(hue), strength)))
    palette = []
    for colour in colours:
        if colour not in palette:
            palette.append(colour)
    if len(palette) > TRANSPARENT_INDEX:
        raise ValueError(f"palette overflow: {len(palette)} colours")
    palette += [INK] * (TRANSPARENT_INDEX - len(palette))
    palette.append(TRANSPARENT_RGB)
    return palette


class Quantiser:
    """Maps any RGB to the nearest palette entry, never to the transparent one."""

    def __init__(self, palette):
        self.palette = palette
        self.cache = {}

    def index(self, colour):
        key = tuple(max(0, min(255, round(c))) for c in colour)
        if key not in self.cache:
            self.cache[key] = min(
                range(TRANSPARENT_INDEX),
                key=lambda i: sum((a - b) ** 2 for a, b in zip(key, self.palette[i])))
        return self.cache[key]


# --------------------------------------------------------------------------
# About picture: drawing
# --------------------------------------------------------------------------

class Canvas:
    """RGB picture kept as floats until the final quantisation."""

    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the inclusive rectangle (x0, y0)-(x1, y1)."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.rows[y][x] = colour

    def blend(self, x, y, colour, alpha):
        if alpha > 0 and 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = mix(self.rows[y][x], colour, alpha)


def draw_frame(canvas):
    """White upper panel, rule, blue lower panel and a raised one-pixel border."""
    w, h = canvas.width, canvas.height
    canvas.fill(0, 0, w - 1, h - 1, PAPER)
    canvas.fill(1, 67, w - 2, 67, RULE)
    canvas.fill(4, 71, w - 5, 113, PANEL_BLUE)
    canvas.fill(0, 0, w - 1, 0, FRAME_LIGHT)
    canvas.fill(0, 0, 0, h - 1, FRAME_LIGHT)
    # Right and bottom last, so they own the top-right and bottom-left corners.
    canvas.fill(w - 1, 0, w - 1, h - 1, FRAME_DARK)
    canvas.fill(0, h - 1, w - 1, h - 1, FRAME_DARK)


DISC_CENTRE = (47.0, 34.0)
DISC_RADIUS = 28.0
SHADOW_OFFSET = 2.0
SHADOW = (200, 200, 200)


def disc_sample(dx, dy):
    """Colour of the disc at offset (dx, dy) from its centre, or None outside it."""
    r = math.hypot(dx, dy)
    if r > DISC_RADIUS or r <= 4.5:
        return None  # outside, or the spindle hole showing the paper
    if r > DISC_RADIUS - 1.2 or r <= 5.5:
        return (110, 110, 110)  # outer rim and hole edge
    if r <= 9.5:
        return (236, 236, 236)  # clear plastic hub
    if r <= 11.0:
        return (150, 150, 150)  # edge of the data area
    # Faint concentric tracks on the silver, plus a rainbow reflection in two
    # opposite wedges whose hue runs with the radius, as on a real disc.
    level = 196 + 12 * math.cos(r * 1.7)
    silver = (level, level, level)
    angle = math.atan2(dy, dx)
    weight = max(0.0, math.cos(2 * (angle + math.pi / 4))) ** 4
    hue = 0.8 * (r - 11.0) / (DISC_RADIUS - 12.0)
    return mix(silver, sheen_colour(hue), 0.8 * weight)


def draw_disc(canvas, samples=4):
    """The logo: a shaded compact disc, antialiased by supersampling."""
    cx, cy = DISC_CENTRE
    reach = int(DISC_RADIUS + SHADOW_OFFSET) + 2
    step = 1.0 / samples
    for y in range(int(cy) - reach, int(cy) + reach + 1):
        for x in range(int(cx) - reach, int(cx) + reach + 1):
            total, hits = [0.0, 0.0, 0.0], 0
            for sy in range(samples):
                for sx in range(samples):
                    px, py = x + (sx + 0.5) * step, y + (sy + 0.5) * step
                    colour = disc_sample(px - cx, py - cy)
                    if colour is None and math.hypot(px - cx - SHADOW_OFFSET,
                                                     py - cy - SHADOW_OFFSET) <= DISC_RADIUS:
                        colour = SHADOW
                    if colour is not None:
                        total = [t + c for t, c in zip(total, colour)]
                        hits += 1
            if hits:
                average = tuple(t / hits for t in total)
                canvas.blend(x, y, average, hits / samples ** 2)


# --------------------------------------------------------------------------
# About picture: text
# --------------------------------------------------------------------------

def parse_pgm(data):
    """(width, height, rows of 0..255) from a binary P5 PGM with maxval 255."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P5" or fields[3] != b"255":
        raise ValueError("expected an 8-bit binary PGM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height]
    return width, height, [list(pixels[y * width:(y + 1) * width]) for y in range(height)]


def text_mask(text, font, size):
    """Coverage (0.0..1.0) of `text` as ImageMagick draws it, cropped to its ink."""
    margin = size
    width, height = size * (len(text) + 2), size * 3
    command = [CONVERT, "-size", f"{width}x{height}", "xc:black", "-font", str(font),
               "-pointsize", str(size), "-fill", "white", "-antialias",
               "-annotate", f"+{margin}+{2 * size}", text, "-depth", "8", "pgm:-"]
    output = subprocess.run(command, check=True, capture_output=True).stdout
    _, _, rows = parse_pgm(output)
    inked_rows = [y for y, row in enumerate(rows) if any(row)]
    inked_cols = [x for x in range(width) if any(row[x] for row in rows)]
    if not inked_rows:
        raise ValueError(f"nothing drawn for {text!r}")
    return [[v / 255 for v in rows[y][inked_cols[0]:inked_cols[-1] + 1]]
            for y in range(inked_rows[0], inked_rows[-1] + 1)]


def grow(mask):
    """The mask widened by one pixel all round (3x3 maximum), for outlines."""
    h, w = len(mask) + 2, len(mask[0]) + 2
    padded = [[0.0] * w] + [[0.0] + row + [0.0] for row in mask] + [[0.0] * w]
    return [[max(padded[y + dy][x + dx]
                 for dy in (-1, 0, 1) for dx in (-1, 0, 1)
                 if 0 <= y + dy < h and 0 <= x + dx < w)
             for x in range(w)] for y in range(h)]


def stamp(canvas, mask, left, top, colour):
    for y, row in enumerate(mask):
        for x, alpha in enumerate(row):
            canvas.blend(left + x, top + y, colour, alpha)


def centred(mask, left, right):
    """Left edge that centres the mask between columns left and right."""
    return (left + right + 1 - len(mask[0])) // 2


# Text lines: (text, font, size, colour, top row, columns to centre in).
TEXT_COLUMNS = (86, 240)
BLUE_COLUMNS = (4, 242)
TEXTS = [
    ("Lumivo v1.2", SANS_BOLD, 16, INK, 36, TEXT_COLUMNS),
    ("\u00a9 2002 Norbek\u8f6f\u4ef6\u5de5\u4f5c\u5ba4", CJK, 12, INK, 52, TEXT_COLUMNS),
    ("http://www.norbek.example", SANS, 14, PAPER, 77, BLUE_COLUMNS),
    ("norbek@norbek.example", SANS, 14, PAPER, 95, BLUE_COLUMNS),
]
BRAND = ("Norbek", SANS_BOLD, 26, 9)


def draw_brand(canvas):
    """The maker's name, red with a dark red outline, like the box art."""
    text, font, size, top = BRAND
    fill = text_mask(text, font, size)
    outline = grow(fill)
    left = centred(outline, *TEXT_COLUMNS)
    stamp(canvas, outline, left, top, BRAND_OUTLINE)
    stamp(canvas, fill, left + 1, top + 1, BRAND_RED)


def draw_texts(canvas):
    for text, font, size, colour, top, (left, right) in TEXTS:
        mask = text_mask(text, font, size)
        stamp(canvas, mask, centred(mask, left, right), top, colour)


def draw_about():
    canvas = Canvas(ABOUT_W, ABOUT_H, PAPER)
    draw_frame(canvas)
    draw_disc(canvas)
    draw_brand(canvas)
    draw_texts(canvas)
    return canvas


# --------------------------------------------------------------------------
# About picture: GIF writer
# --------------------------------------------------------------------------

MAX_CODES = 4096  # GIF's LZW codes are at most 12 bits wide


class BitWriter:
    """Packs variable-width codes least significant bit first, as GIF wants."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.bits = 0

    def write(self, code, width):
        self.acc |= code << self.bits
        self.bits += width
        while self.bits >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.bits -= 8

    def finish(self):
        if self.bits:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


def lzw_encode(indices, min_code_size):
    """GIF LZW: starts with a clear code and clears again when the table is full."""
    clear = 1 << min_code_size
    end = clear + 1
    writer = BitWriter()

    def reset():
        return {(i,): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = reset()
    writer.write(clear, width)
    phrase = ()
    for index in indices:
        longer = phrase + (index,)
        if longer in table:
            phrase = longer
            continue
        writer.write(table[phrase], width)
        if next_code < MAX_CODES:
            table[longer] = next_code
            next_code += 1
            # The decoder adds its entries one code later, so widen only once
            # the code just added no longer fits the current width.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            writer.write(clear, width)
            table, next_code, width = reset()
        phrase = (index,)
    if phrase:
        writer.write(table[phrase], width)
    writer.write(end, width)
    return writer.finish()


def sub_blocks(data):
    """GIF data sub-blocks of at most 255 bytes, then the zero-length terminator."""
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif_bytes(width, height, palette, indices):
    colour_bits = (len(palette) - 1).bit_length()  # 7 for 128 colours
    # Global table present, 8-bit colour resolution, unsorted, 2^(n+1) entries.
    packed = 0x80 | (7 << 4) | (colour_bits - 1)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, packed, 0, 0)
    out += b"".join(bytes(colour) for colour in palette)
    # Graphic Control Extension naming the reserved, unused transparent index.
    out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, TRANSPARENT_INDEX, 0)
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)  # no local table, not interlaced
    out.append(colour_bits)
    out += sub_blocks(lzw_encode(indices, colour_bits))
    out.append(0x3B)
    return bytes(out)


def make_about_gif():
    palette = build_palette()
    canvas = draw_about()
    quantiser = Quantiser(palette)
    indices = [quantiser.index(colour) for row in canvas.rows for colour in row]
    return gif_bytes(canvas.width, canvas.height, palette, indices)


# --------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out-dir", type=Path, default=REPO / "src" / "resources")
    args = parser.parse_args()
    args.out_dir.mkdir(parents=True, exist_ok=True)
    outputs = {
        "closed_lamp.ico": make_icon(draw_lamp(LIME)),
        "open_lamp.ico": make_icon(draw_lamp(RED)),
        "program.ico": make_icon(scale_grid(draw_lamp(LIME), 2)),
        "program.png": make_png(scale_grid(draw_lamp(LIME), 2)),
        "hand.cur": make_cursor(),
        "about.gif": make_about_gif(),
    }
    for name, data in outputs.items():
        (args.out_dir / name).write_bytes(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
