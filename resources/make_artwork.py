#!/usr/bin/env python3
"""Draws all of Tovrel's images from this one source, with nothing but the standard library.

    resources/make_artwork.py [OUTPUT_FOLDER]     (default: the folder of this script)

Writes, all at 24 bits per pixel:
  background.bmp   294 x 128, drawn unscaled at the top-left of the 288 x 95 client area
  icon16.bmp       16 x 16, the window icon
  icon32.bmp       32 x 32
  tovrel.ico       the program's icon group: the 16 x 16 and 32 x 32 images
  tovrel16.ico     the second icon group: the 16 x 16 image alone
  tovrel-16.png    the two icon images for desktop icon themes
  tovrel-32.png

The output is a pure function of this file: running it again gives the same bytes.
"""

import os
import struct
import sys
import zlib

# Colours, as (red, green, blue).
PAPER_TOP = (0xEE, 0xF2, 0xF7)
PAPER_BOTTOM = (0xD9, 0xE1, 0xEB)
RULE = (0xC4, 0xCF, 0xDC)
DOT = (0xCD, 0xD7, 0xE3)
INK = (0x1F, 0x3A, 0x5F)
INK_LIGHT = (0x3B, 0x5F, 0x8C)
WHITE = (0xFF, 0xFF, 0xFF)
AMBER = (0xF2, 0xA9, 0x00)


class Image:
    """A width x height grid of (r, g, b) pixels, row 0 at the top."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw_background():
    """Pale paper with a soft vertical shade, a faint dot grid and a rule under each row of
    fields; light enough that black captions and the fields' own frames stay easy to read."""
    image = Image(294, 128)
    for y in range(image.height):
        shade = mix(PAPER_TOP, PAPER_BOTTOM, y / (image.height - 1))
        for x in range(image.width):
            image.put(x, y, shade)
    for y in range(4, image.height, 8):
        for x in range(4, image.width, 8):
            image.put(x, y, DOT)
    for y in (42, 89):  # just below the rows of fields
        image.fill(8, y, 280, y, RULE)
    # A small mark of four bits in the top-right corner, clear of the captions.
    draw_bits(image, 266, 4, 3, 6, 1, "1011", INK_LIGHT, RULE)
    return image


def draw_bits(image, left, top, width, height, gap, pattern, on, off):
    """Draws one cell per character of `pattern`, left to right: colour `on` for "1", `off` for
    "0"."""
    for i, bit in enumerate(pattern):
        x0 = left + i * (width + gap)
        image.fill(x0, top, x0 + width - 1, top + height - 1, on if bit == "1" else off)


def draw_icon(size):
    """A dark tile with an amber minus sign over four bit cells: a negative number and its bits.
    Drawn on a 16 x 16 grid of units; a unit is one pixel at 16 x 16 and two at 32 x 32."""
    u = size // 16
    image = Image(size, size, INK)
    for x, y in ((0, 0), (15, 0), (0, 15), (15, 15)):  # rounded-off corners
        image.fill(x * u, y * u, (x + 1) * u - 1, (y + 1) * u - 1, PAPER_TOP)
    image.fill(3 * u, 3 * u, 13 * u - 1, 6 * u - 1, AMBER)  # the minus sign
    draw_bits(image, 3 * u, 9 * u, 2 * u, 4 * u, u, "1011", WHITE, INK_LIGHT)
    return image


def bgr_rows(image):
    """The pixel rows bottom-up, as 24-bit BGR, each padded to a multiple of four bytes."""
    padding = (4 - image.width * 3 % 4) % 4
    rows = []
    for y in range(image.height - 1, -1, -1):
        row = bytearray()
        for r, g, b in image.pixels[y]:
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * padding)
    return b"".join(rows)


def bitmap_info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size, 3780, 3780, 0, 0)


def bmp_bytes(image):
    data = bgr_rows(image)
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(data), 0, 0, header_size)
    return file_header + bitmap_info_header(image.width, image.height, len(data)) + data


def ico_entry_data(image):
    """One icon image as stored in an .ico file: the DIB with doubled height, its colours, then an
    all-clear 1-bit mask (every pixel opaque)."""
    colours = bgr_rows(image)
    mask_row = (image.width + 31) // 32 * 4
    mask = b"\0" * (mask_row * image.height)
    header = bitmap_info_header(image.width, image.height * 2, len(colours) + len(mask))
    return header + colours + mask


def ico_bytes(images):
    entries = [ico_entry_data(image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, data in zip(images, entries):
        directory += struct.pack("<BBBBHHII", image.width % 256, image.height % 256, 0, 0, 1, 24,
                                 len(data), offset)
        offset += len(data)
    return directory + b"".join(entries)


def png_bytes(image):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in image.pixels)
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)
    icon16, icon32 = draw_icon(16), draw_icon(32)
    outputs = {
        "background.bmp": bmp_bytes(draw_background()),
        "icon16.bmp": bmp_bytes(icon16),
        "icon32.bmp": bmp_bytes(icon32),
        "tovrel.ico": ico_bytes([icon16, icon32]),
        "tovrel16.ico": ico_bytes([icon16]),
        "tovrel-16.png": png_bytes(icon16),
        "tovrel-32.png": png_bytes(icon32),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
