"""Checks the committed icons, cursor and About picture byte by byte.

Run with: python3 -m unittest discover -s tests/resources
"""

import struct
import unittest
from pathlib import Path

RESOURCES = Path(__file__).resolve().parents[2] / "src" / "resources"

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
SILVER, GREY = (192, 192, 192), (128, 128, 128)
LIME, RED = (0, 255, 0), (255, 0, 0)
WINDOWS_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def read(name):
    return (RESOURCES / name).read_bytes()


def unpack_rows(data, offset, width, height, bpp):
    """Top-down rows of pixel values from a bottom-up, 4-byte-aligned DIB bitmap."""
    stride = (width * bpp + 31) // 32 * 4
    rows = []
    for row in range(height):
        line = data[offset + row * stride:offset + (row + 1) * stride]
        bits = int.from_bytes(line, "big")
        total = stride * 8
        rows.append([(bits >> (total - (x + 1) * bpp)) & ((1 << bpp) - 1)
                     for x in range(width)])
    return list(reversed(rows)), offset + height * stride


def parse_single_image(data):
    """Directory entry, header, palette, colour rows and mask rows of a one-image ICO/CUR."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    width, height, colours, _, field4, field6, size, offset = struct.unpack_from(
        "<BBBBHHII", data, 6)
    entry = dict(reserved=reserved, kind=kind, count=count, width=width or 256,
                 height=height or 256, colours=colours, field4=field4, field6=field6,
                 size=size, offset=offset)
    (hsize, bw, bh, planes, bpp, compression, _, _, _, used, _) = struct.unpack_from(
        "<IiiHHIIiiII", data, offset)
    header = dict(size=hsize, width=bw, height=bh, planes=planes, bpp=bpp,
                  compression=compression)
    entries = used or (1 << bpp)
    pal_at = offset + hsize
    palette = [tuple(reversed(data[pal_at + 4 * i:pal_at + 4 * i + 3])) for i in range(entries)]
    pixels, after = unpack_rows(data, pal_at + 4 * entries, bw, bh // 2, bpp)
    mask, end = unpack_rows(data, after, bw, bh // 2, 1)
    entry["end"] = end
    return entry, header, [[palette[i] for i in row] for row in pixels], mask


class IconTests(unittest.TestCase):

    def check_icon(self, name, size):
        data = read(name)
        entry, header, pixels, mask = parse_single_image(data)
        self.assertEqual((entry["reserved"], entry["kind"], entry["count"]), (0, 1, 1))
        self.assertEqual((entry["width"], entry["height"]), (size, size))
        self.assertEqual((entry["field4"], entry["field6"]), (1, 4))  # planes, bit count
        self.assertEqual(entry["offset"] + entry["size"], len(data))
        self.assertEqual(entry["end"], len(data))
        self.assertEqual((header["size"], header["width"], header["height"]), (40, size, 2 * size))
        self.assertEqual((header["bpp"], header["compression"]), (4, 0))
        palette_at = entry["offset"] + 40
        palette = [tuple(reversed(data[palette_at + 4 * i:palette_at + 4 * i + 3]))
                   for i in range(16)]
        self.assertEqual(palette, WINDOWS_16)
        self.assertTrue(all(bit == 0 for row in mask for bit in row), "icon must be opaque")
        return pixels

    def check_lamp(self, pixels, lamp):
        for i in range(16):
            for edge in (pixels[0][i], pixels[15][i], pixels[i][0], pixels[i][15]):
                self.assertEqual(edge, BLACK)
        self.assertEqual(pixels[1][1], WHITE)
        self.assertEqual(pixels[1][7], WHITE)
        self.assertEqual(pixels[7][1], WHITE)
        self.assertEqual(pixels[14][14], GREY)
        self.assertEqual(pixels[14][7], GREY)
        self.assertEqual(pixels[7][14], GREY)
        self.assertEqual(pixels[2][2], SILVER)
        self.assertEqual(pixels[3][7], SILVER)
        self.assertEqual(pixels[12][12], SILVER)
        lit = {(x, y) for y in range(16) for x in range(16) if pixels[y][x] == lamp}
        self.assertEqual(lit, {(x, y) for y in range(4, 12) for x in range(4, 12)})

    def test_lamps(self):
        self.check_lamp(self.check_icon("closed_lamp.ico", 16), LIME)
        self.check_lamp(self.check_icon("open_lamp.ico", 16), RED)

    def test_program_icon_is_green_lamp_doubled(self):
        small = self.check_icon("closed_lamp.ico", 16)
        big = self.check_icon("program.ico", 32)
        self.assertEqual(big, [[small[y // 2][x // 2] for x in range(32)] for y in range(32)])

    def test_hand_cursor(self):
        data = read("hand.cur")
        entry, header, pixels, mask = parse_single_image(data)
        self.assertEqual((entry["kind"], entry["count"]), (2, 1))
        self.assertEqual((entry["width"], entry["height"]), (32, 32))
        self.assertEqual((entry["field4"], entry["field6"]), (5, 0))  # hot spot
        self.assertEqual(entry["end"], len(data))
        self.assertEqual((header["height"], header["bpp"], header["compression"]), (64, 1, 0))
        # The hot spot is the black fingertip; the corners are see-through.
        self.assertEqual(mask[0][5], 0)
        self.assertEqual(pixels[0][5], BLACK)
        for x, y in ((0, 0), (31, 0), (0, 31), (31, 31), (4, 0), (8, 0)):
            self.assertEqual(mask[y][x], 1, (x, y))
            self.assertEqual(pixels[y][x], BLACK, "see-through pixels must not invert")
        whites = sum(1 for y in range(32) for x in range(32)
                     if not mask[y][x] and pixels[y][x] == WHITE)
        self.assertGreater(whites, 100)
        self.assertEqual(pixels[5][5], WHITE)  # inside the index finger


def gif_sub_blocks(data, pos):
    out = bytearray()
    while data[pos]:
        out += data[pos + 1:pos + 1 + data[pos]]
        pos += 1 + data[pos]
    return bytes(out), pos + 1


def lzw_decode(data, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, table, prev = bytearray(), [], None
    width, acc, bits, pos = min_code_size + 1, 0, 0, 0
    while True:
        while bits < width:
            acc |= data[pos] << bits
            bits += 8
            pos += 1
        code, acc, bits = acc & ((1 << width) - 1), acc >> width, bits - width
        if code == clear:
            table = [bytes([i]) for i in range(clear)] + [b"", b""]
            width, prev = min_code_size + 1, None
            continue
        if code == end:
            return bytes(out)
        entry = table[code] if code < len(table) else prev + prev[:1]
        out += entry
        if prev is not None and len(table) < 4096:
            table.append(prev + entry[:1])
            if len(table) == 1 << width and width < 12:
                width += 1
        prev = entry


def parse_gif(data):
    width, height, packed, _, _ = struct.unpack_from("<HHBBB", data, 6)
    info = dict(signature=data[:6], width=width, height=height, packed=packed,
                controls=[], images=[])
    table_size = 2 << (packed & 7) if packed & 0x80 else 0
    info["palette"] = [tuple(data[13 + 3 * i:16 + 3 * i]) for i in range(table_size)]
    pos = 13 + 3 * table_size
    while data[pos] != 0x3B:
        if data[pos] == 0x21:
            label = data[pos + 1]
            body, pos = gif_sub_blocks(data, pos + 2)
            if label == 0xF9:
                info["controls"].append(body)
        elif data[pos] == 0x2C:
            _, _, w, h, flags = struct.unpack_from("<HHHHB", data, pos + 1)
            min_code_size = data[pos + 10]
            compressed, pos = gif_sub_blocks(data, pos + 11)
            info["images"].append(dict(width=w, height=h, flags=flags,
                                       pixels=lzw_decode(compressed, min_code_size)))
        else:
            raise AssertionError(f"unexpected GIF block 0x{data[pos]:02x}")
    info["trailing"] = data[pos + 1:]
    return info


class AboutPictureTests(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.gif = parse_gif(read("about.gif"))

    def pixel(self, x, y):
        image = self.gif["images"][0]
        return self.gif["palette"][image["pixels"][y * image["width"] + x]]

    def test_structure(self):
        gif = self.gif
        self.assertEqual(gif["signature"], b"GIF89a")
        self.assertEqual((gif["width"], gif["height"]), (247, 118))
        self.assertTrue(gif["packed"] & 0x80, "global colour table expected")
        self.assertEqual(len(gif["palette"]), 128)
        self.assertEqual(len(gif["images"]), 1)
        image = gif["images"][0]
        self.assertEqual((image["width"], image["height"]), (247, 118))
        self.assertFalse(image["flags"] & 0x80, "no local colour table expected")
        self.assertFalse(image["flags"] & 0x40, "must not be interlaced")
        self.assertEqual(len(image["pixels"]), 247 * 118)
        self.assertEqual(gif["trailing"], b"")

    def test_transparent_index_is_unused(self):
        self.assertEqual(len(self.gif["controls"]), 1)
        control = self.gif["controls"][0]
        self.assertEqual(len(control), 4)
        self.assertTrue(control[0] & 1, "transparency flag expected")
        transparent = control[3]
        self.assertNotIn(transparent, set(self.gif["images"][0]["pixels"]))

    def test_layout_colours(self):
        self.assertEqual(self.pixel(0, 0), (204, 204, 204))
        self.assertEqual(self.pixel(0, 60), (204, 204, 204))
        self.assertEqual(self.pixel(120, 0), (204, 204, 204))
        self.assertEqual(self.pixel(246, 117), BLACK)
        self.assertEqual(self.pixel(246, 60), BLACK)
        self.assertEqual(self.pixel(120, 117), BLACK)
        for x in range(1, 246):
            self.assertEqual(self.pixel(x, 67), (102, 102, 102), x)
        self.assertEqual(self.pixel(10, 72), (51, 102, 204))
        self.assertEqual(self.pixel(240, 112), (51, 102, 204))
        self.assertEqual(self.pixel(2, 90), WHITE)     # left of the blue panel
        self.assertEqual(self.pixel(120, 69), WHITE)   # gap above it
        self.assertEqual(self.pixel(120, 115), WHITE)  # gap below it
        self.assertEqual(self.pixel(5, 5), WHITE)      # upper panel
        reds = sum(1 for y in range(1, 67) for x in range(80, 246) if self.pixel(x, y) == RED)
        self.assertGreater(reds, 200, "the maker's name should be drawn in red")


if __name__ == "__main__":
    unittest.main()
