#!/usr/bin/env python3
"""Draws the module's pictures: a small dialog window with a title bar and a folder.
Writes toolbox.bmp (16 x 15), design.bmp (28 x 28), both 4 bits per pixel, and module.ico (32 x 32)."""
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREY, DARK, YELLOW, WHITE, OLIVE = 0, 4, 7, 8, 11, 15, 3


def picture(w, h):
    px = [[WHITE] * w for _ in range(h)]
    for y in range(1, h - 1):
        for x in range(1, w - 1):
            px[y][x] = GREY
    for x in range(w):
        px[0][x] = px[h - 1][x] = BLACK
    for y in range(h):
        px[y][0] = px[y][w - 1] = BLACK
    bar = max(2, h // 5)
    for y in range(1, bar + 1):
        for x in range(1, w - 1):
            px[y][x] = NAVY
    # a folder in the client area
    fx0, fx1 = w // 4, w - w // 4
    fy0, fy1 = bar + 2 + (h - bar) // 6, h - 2 - (h - bar) // 6
    for y in range(fy0, fy1 + 1):
        for x in range(fx0, fx1 + 1):
            px[y][x] = YELLOW
    for x in range(fx0, fx1 + 1):
        px[fy0][x] = px[fy1][x] = OLIVE
    for y in range(fy0, fy1 + 1):
        px[y][fx0] = px[y][fx1] = OLIVE
    return px


def rows_4bpp(px, w):
    out = b""
    for row in reversed(px):  # bottom-up
        data = bytearray()
        for x in range(0, w, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < w else 0
            data.append((hi << 4) | lo)
        while len(data) % 4:
            data.append(0)
        out += bytes(data)
    return out


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def bmp(path, w, h):
    pixels = rows_4bpp(picture(w, h), w)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(header) + 64
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        f.write(header + palette_bytes() + pixels)


def ico(path, size):
    pixels = rows_4bpp(picture(size, size), size)
    mask = bytes(((size + 31) // 32) * 4 * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(pixels) + len(mask), 0, 0, 16, 0)
    image = header + palette_bytes() + pixels + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16))
        f.write(image)


if __name__ == "__main__":
    bmp("toolbox.bmp", 16, 15)
    bmp("design.bmp", 28, 28)
    ico("module.ico", 32)
