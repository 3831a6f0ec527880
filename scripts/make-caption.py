#!/usr/bin/env python3
"""Draws the built-in caption picture (tamsel/res/DefaultCaption.bmp) used as the
indicator's background when the visual style gives no caption bitmap: 66 x 58
pixels, two caption states stacked (active on top, inactive below), 32-bit with
an alpha channel, written as a BITMAPV5 BMP with an alpha mask.

Empty pixels are written as all-zero words, so the shape survives even where a
decoder ignores the alpha channel (they read as black, which the renderer keys
out like transparent pixels). Run again after changing the design."""
import struct
import sys

WIDTH, HEIGHT = 66, 58
HALF = HEIGHT // 2  # rows of one caption state
RADIUS = 3.0        # rounded top corners, inside the 2-pixel border that stretching drops


def coverage(x, y, w, h, r):
    """Anti-aliased coverage of a strip [0, w) x [0, h) with rounded top corners."""
    def inside(px, py):
        if px < 0 or px > w or py < 0 or py > h:
            return False
        if py >= r:
            return True
        cx = min(max(px, r), w - r)
        return (px - cx) ** 2 + (py - r) ** 2 <= r * r
    n = 4
    hits = sum(inside(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n))
    return hits / (n * n)


def state_pixel(x, y, active):
    """Straight (not premultiplied) BGRA of one pixel of a caption state."""
    a = coverage(x, y, WIDTH, HALF, RADIUS)
    if a == 0:
        return (0, 0, 0, 0)
    t = y / (HALF - 1)
    if active:
        top, bottom, edge = 0xF0, 0xC8, 0x98
    else:
        top, bottom, edge = 0xE0, 0xD0, 0xB0
    v = int(round(top + (bottom - top) * t))
    # a one-pixel rim round the strip and a highlight line under it
    if x == 0 or x == WIDTH - 1 or y == 0:
        v = edge
    elif y == 1:
        v = 0xFF
    return (v, v, v, int(round(255 * a)))


def image_rows():
    """Rows from top to bottom, each a list of (b, g, r, a)."""
    rows = []
    for y in range(HEIGHT):
        active = y < HALF
        yy = y if active else y - HALF
        rows.append([state_pixel(x, yy, active) for x in range(WIDTH)])
    return rows


def bmp_v5(rows):
    width, height = len(rows[0]), len(rows)
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for b, g, r, a in row:
            pixels += bytes((b, g, r, a))
    header_size = 124
    offset = 14 + header_size
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, 32, 3,  # BI_BITFIELDS
                       len(pixels), 2835, 2835, 0, 0)
    masks = struct.pack('<IIII', 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    cs_type = struct.pack('<I', 0x73524742)  # LCS_sRGB
    endpoints_gamma = bytes(36 + 12)
    tail = struct.pack('<IIII', 4, 0, 0, 0)  # LCS_GM_IMAGES, no profile
    header = info + masks + cs_type + endpoints_gamma + tail
    assert len(header) == header_size
    return file_header + header + bytes(pixels)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'tamsel/res/DefaultCaption.bmp'
    with open(out, 'wb') as f:
        f.write(bmp_v5(image_rows()))


if __name__ == '__main__':
    main()
