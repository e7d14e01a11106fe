#!/usr/bin/env python3
"""Writes the effect cursors of Kestrel4 into resources/kestrel4/effects/: the blank
pointer, the four drawing pointers (32 x 32, black with a white rim) and the seven spot light
tiles (128 x 128, the colour on every other pixel, black between)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cursor_image import cursor_file, opaque_mask, rim  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'kestrel4', 'effects')


def pointer(name, hotspot, ink):
    """ink: set of (x, y) drawn black; a white rim goes around it."""
    size = 32
    around = rim(size, ink)
    pixels = [[1 if (x, y) in around else 0 for x in range(size)] for y in range(size)]
    mask = opaque_mask(size, ink, around)
    write(name, cursor_file(size, size, hotspot, 1, [(0, 0, 0), (255, 255, 255)], pixels, mask))


def write(name, data):
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(data)


def line(a, b, width=1):
    (x0, y0), (x1, y1) = a, b
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    pts = set()
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for d in range(width):
            pts.add((x + d, y))
    return pts


def cross(c, arm):
    return line((c - arm, c), (c + arm, c)) | line((c, c - arm), (c, c + arm))


def main():
    os.makedirs(OUT, exist_ok=True)
    pointer('blank.cur', (0, 0), set())
    # Free line: a pencil with its tip at the hot spot.
    pencil = line((1, 30), (22, 9), 3) | line((20, 7), (26, 1), 5)
    pointer('free_line.cur', (1, 30), pencil)
    # Line: a corner mark whose point sits on the grid point.
    corner = line((0, 0), (12, 0)) | line((0, 0), (0, 12)) | line((0, 0), (10, 10), 2)
    pointer('line.cur', (0, 0), corner)
    circle = set()
    for i in range(64):
        import math
        a = 2 * math.pi * i / 64
        circle.add((round(24 + 5 * math.cos(a)), round(24 + 5 * math.sin(a))))
    pointer('ellipse.cur', (15, 15), cross(15, 7) | circle)
    square = line((19, 19), (29, 19)) | line((19, 29), (29, 29)) | line((19, 19), (19, 29)) | line((29, 19), (29, 29))
    pointer('square.cur', (15, 15), cross(15, 7) | square)
    tiles = [('tile_red.cur', (255, 0, 0)), ('tile_blue.cur', (0, 0, 255)), ('tile_cyan.cur', (0, 255, 255)),
             ('tile_green.cur', (0, 255, 0)), ('tile_magenta.cur', (255, 0, 255)), ('tile_grey.cur', (128, 128, 128)),
             ('tile_yellow.cur', (255, 255, 0))]
    size = 128
    for name, rgb in tiles:
        pixels = [[(x + y) % 2 for x in range(size)] for y in range(size)]
        mask = [[0] * size for _ in range(size)]
        write(name, cursor_file(size, size, (0, 0), 4, [(0, 0, 0), rgb], pixels, mask))


if __name__ == '__main__':
    main()
