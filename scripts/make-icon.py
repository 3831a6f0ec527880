#!/usr/bin/env python3
"""Draws the program icon (tamsel/res/Corvela.ico): 16, 24, 32 and 48 pixels,
32-bit with alpha. A rounded tile in the IME-on colour carrying a caption strip
and a white check of the indicator's label. Run again after changing the design."""
import math
import struct
import sys

SIZES = (16, 24, 32, 48)


def coverage_round_rect(x, y, s, r):
    """Anti-aliased coverage of a rounded square [0, s) with corner radius r."""
    def inside(px, py):
        cx = min(max(px, r), s - r)
        cy = min(max(py, r), s - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r and 0 <= px <= s and 0 <= py <= s
    n = 4
    hits = sum(inside(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n))
    return hits / (n * n)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def pixel(x, y, s):
    a = coverage_round_rect(x, y, s, s * 0.22)
    if a == 0:
        return (0, 0, 0, 0)
    # body: violet (IME on) fading to a deeper tone at the bottom
    t = y / s
    r, g, b = 0xFF - int(60 * t), 0x80 - int(40 * t), 0xC0 - int(30 * t)
    # caption strip along the top
    if y < s * 0.30:
        r, g, b = 0x40, 0x30, 0x70
    # the label mark: a white "A" of three strokes in the lower part
    w = max(1.2, s / 12)
    cx, top, bot = s * 0.5, s * 0.40, s * 0.88
    strokes = ((cx, top, s * 0.26, bot), (cx, top, s * 0.74, bot), (s * 0.36, s * 0.70, s * 0.64, s * 0.70))
    d = min(seg_dist(x + 0.5, y + 0.5, *st) for st in strokes)
    m = max(0.0, min(1.0, w / 2 + 0.5 - d))
    r, g, b = (int(c + (255 - c) * m) for c in (r, g, b))
    alpha = int(round(255 * a))
    # premultiplication is not used in icons: straight alpha
    return (b, g, r, alpha)


def image(s):
    header = struct.pack("<IiiHHIIiiII", 40, s, 2 * s, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(s - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("<BBBB", *pixel(x, y, s)) for x in range(s)))
    mask_row = ((s + 31) // 32) * 4
    mask = b"\0" * (mask_row * s)
    return header + b"".join(rows) + mask


def main(path):
    images = [image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for s, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "tamsel/res/Corvela.ico")
