#!/usr/bin/env python3
"""Draws Corvela's four splash pictures (tamsel/res/Splash1.bmp .. Splash4.bmp).

A crow perches on a dark label plate with three mode chips; in the first three
pictures one chip after the other lights up (the start-up animation cycles
them), in the fourth all three are lit (the picture that fades out).

Each picture is a complete BMP file of 300 x 300 pixels, 8 bits per pixel with a
256-colour palette, uncompressed. White is the splash window's colour key, so it
is the background and appears nowhere else. The window shows the top 200 rows
(it is 400 x 200 and draws the picture from its top-left corner), so everything
is drawn there and the rows below stay white.

Edges against the background are left hard: a blend towards white would show as
a pale fringe wherever the key does not cut it. Edges inside the drawing are
smoothed. Run again after changing the design."""
import math
import struct
import sys

SIZE = 300
DRAWN_ROWS = 200
SUB = 4  # sub-samples per pixel side
WHITE = (255, 255, 255)

PLATE = (20, 70, 280, 170, 18)  # left, top, right, bottom, corner radius
CHIPS = [(45, 96, 105, 146), (120, 96, 180, 146), (195, 96, 255, 146)]
CHIP_RADIUS = 10


def rounded_rect(x, y, rect, r):
    left, top, right, bottom = rect
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(x, y, cx, cy, rx, ry, angle=0.0):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = x - cx, y - cy
    u, v = dx * c + dy * s, -dx * s + dy * c
    return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0


def triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    has_neg = d1 < 0 or d2 < 0 or d3 < 0
    has_pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (has_neg and has_pos)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def crow(x, y):
    """The crow's colour at (x, y), or None outside it."""
    ink = (22, 24, 34)
    sheen = (48, 58, 92)
    eye = (236, 236, 244)  # not white: white is the key
    if (x - 259) ** 2 + (y - 33) ** 2 <= 2.6 ** 2:
        return eye
    if triangle(x, y, (267, 31), (286, 38), (267, 43)):
        return (60, 52, 40)  # beak
    if (x - 257) ** 2 + (y - 37) ** 2 <= 12 ** 2:
        return ink
    if ellipse(x, y, 232, 53, 27, 15, -0.25):
        # a lighter sheen along the back
        return sheen if ellipse(x, y, 228, 47, 18, 5, -0.25) else ink
    if triangle(x, y, (210, 52), (184, 70), (212, 64)):
        return ink  # tail
    if 228 <= x <= 231 and 64 <= y <= 72 or 238 <= x <= 241 and 64 <= y <= 72:
        return (70, 60, 44)  # legs down to the plate
    return None


def chip(x, y, lit):
    for left, top, right, bottom in CHIPS:
        if rounded_rect(x, y, (left, top, right, bottom), CHIP_RADIUS):
            t = (y - top) / (bottom - top)
            if lit[CHIPS.index((left, top, right, bottom))]:
                return mix((255, 196, 92), (240, 112, 36), t)
            return mix((70, 92, 130), (52, 68, 100), t)
    return None


def plate(x, y):
    left, top, right, bottom, r = PLATE
    if not rounded_rect(x, y, (left, top, right, bottom), r):
        return None
    if not rounded_rect(x, y, (left + 3, top + 3, right - 3, bottom - 3), r - 3):
        return (84, 112, 160)  # rim
    t = (y - top) / (bottom - top)
    return mix((46, 60, 88), (26, 34, 52), t)


def scene(x, y, lit):
    """Colour at a sub-sample point, or None for the background."""
    return crow(x, y) or chip(x, y, lit) or plate(x, y)


def draw(lit):
    """Rows of RGB tuples, top row first."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            if py >= DRAWN_ROWS:
                row.append(WHITE)
                continue
            hits = []
            for j in range(SUB):
                for i in range(SUB):
                    c = scene(px + (i + 0.5) / SUB, py + (j + 0.5) / SUB, lit)
                    if c is not None:
                        hits.append(c)
            if len(hits) * 2 < SUB * SUB:
                row.append(WHITE)
            else:
                n = len(hits)
                row.append(tuple(min(254, int(round(sum(c[k] for c in hits) / n))) for k in range(3)))
        rows.append(row)
    return rows


def palette_of(rows):
    """White first, then the 255 most used colours; the rest map to the nearest."""
    counts = {}
    for row in rows:
        for c in row:
            if c != WHITE:
                counts[c] = counts.get(c, 0) + 1
    colours = [WHITE] + sorted(counts, key=lambda c: -counts[c])[:255]
    index = {c: i for i, c in enumerate(colours)}
    for c in counts:
        if c not in index:
            index[c] = min(range(1, len(colours)),
                           key=lambda i: sum((colours[i][k] - c[k]) ** 2 for k in range(3)))
    while len(colours) < 256:
        colours.append((0, 0, 0))
    return colours, index


def bmp8(rows):
    colours, index = palette_of(rows)
    width, height = len(rows[0]), len(rows)
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytes(index[c] for c in row)
        pixels += line + bytes(stride - width)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    offset = 14 + 40 + len(palette)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0,  # BI_RGB
                       len(pixels), 2835, 2835, 256, 0)
    return file_header + info + palette + bytes(pixels)


FRAMES = [
    (True, False, False),
    (False, True, False),
    (False, False, True),
    (True, True, True),  # the picture that fades out
]


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else 'tamsel/res'
    for n, lit in enumerate(FRAMES, start=1):
        with open(f'{out_dir}/Splash{n}.bmp', 'wb') as f:
            f.write(bmp8(draw(lit)))


if __name__ == '__main__':
    main()
