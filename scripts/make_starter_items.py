#!/usr/bin/env python3
"""Draws what ships beside Kestrel4.exe into the folder given (the build runs it):
cursor/00.crs-03.crs (large arrow, pointing hand, pen, magnifier; 32 x 32),
stamp/00.stp-05.stp (check mark, cross, star, question mark, arrow, exclamation mark;
48 x 48), deflogo.lgo (the user logo the logo screen starts with), Sample.csp (a cursor/stamp
set the projector takes: eight 32 x 32 frames of 16 colours) and TestPattern.bmp (a test
pattern for "User Setting File"). Every picture uses the projector's 16 colours."""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cursor_image import cursor_file, opaque_mask, rim  # noqa: E402

# The projector's 16 colours as (red, green, blue), in the order of its colour table.
PALETTE = [(0, 0, 0), (0x66, 0, 0x66), (0, 0x33, 0x66), (0xFF, 0xFF, 0), (0, 0xFF, 0), (0xFF, 0x99, 0),
           (0xFF, 0, 0), (0xFF, 0, 0xFF), (0, 0, 0xFF), (0, 0xFF, 0xFF), (0x66, 0x66, 0xFF), (0xFF, 0xFF, 0xFF),
           (0xDD, 0xDD, 0xDD), (0x80, 0x80, 0x80), (0x33, 0x33, 0x33), (0, 0, 0)]
BLACK, YELLOW, GREEN, ORANGE, RED, MAGENTA, BLUE, CYAN, WHITE = 0, 3, 4, 5, 6, 7, 8, 9, 11


def polygon(points):
    """The pixels whose centre lies inside the polygon (even-odd rule)."""
    def inside(x, y):
        px, py, c = x + 0.5, y + 0.5, False
        for i in range(len(points)):
            (x0, y0), (x1, y1) = points[i - 1], points[i]
            if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                c = not c
        return c
    return inside


def segment(a, b, width):
    """Pixels within width / 2 of the segment a-b."""
    (ax, ay), (bx, by) = a, b
    def inside(x, y):
        px, py = x + 0.5, y + 0.5
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy or 1)))
        return math.hypot(px - ax - t * dx, py - ay - t * dy) <= width / 2.0
    return inside


def disc(c, r):
    return lambda x, y: math.hypot(x + 0.5 - c[0], y + 0.5 - c[1]) <= r


def ring(c, r, width):
    return lambda x, y: abs(math.hypot(x + 0.5 - c[0], y + 0.5 - c[1]) - r) <= width / 2.0


def arc(c, r, width, start, end):
    """A ring between the angles start and end (degrees, clockwise from 3 o'clock, y down)."""
    def inside(x, y):
        px, py = x + 0.5 - c[0], y + 0.5 - c[1]
        a = math.degrees(math.atan2(py, px)) % 360
        on = start <= a <= end if start <= end else (a >= start or a <= end)
        return on and abs(math.hypot(px, py) - r) <= width / 2.0
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def item(size, hotspot, shape, fill):
    """One cursor image: shape filled with colour fill, a black rim around it, the rest
    transparent."""
    ink = {(x, y) for y in range(size) for x in range(size) if shape(x, y)}
    pixels = [[fill if (x, y) in ink else BLACK for x in range(size)] for y in range(size)]
    return cursor_file(size, size, hotspot, 4, PALETTE, pixels, opaque_mask(size, ink, rim(size, ink)))


def cursors():
    arrow = polygon([(1, 1), (1, 26), (7, 20), (12, 30), (16, 28), (11, 18), (19, 18)])
    hand = union(segment((12, 4), (12, 16), 5),                        # the pointing finger
                 polygon([(8, 14), (24, 14), (25, 26), (21, 30), (11, 30), (7, 24)]),  # palm
                 segment((5, 19), (9, 24), 4))                          # thumb
    pen = union(segment((27, 4), (8, 23), 6), polygon([(5, 22), (9, 26), (2, 29)]))
    magnifier = union(ring((12, 12), 8, 4), segment((18, 18), (29, 29), 5))
    return [item(32, (1, 1), arrow, WHITE), item(32, (12, 2), hand, YELLOW), item(32, (2, 29), pen, CYAN),
            item(32, (12, 12), magnifier, WHITE)]


def star(c, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = math.radians(-90 + 36 * i)
        points.append((c[0] + r * math.cos(a), c[1] + r * math.sin(a)))
    return polygon(points)


def stamps():
    check = union(segment((8, 25), (19, 36), 7), segment((19, 36), (40, 11), 7))
    cross = union(segment((10, 10), (38, 38), 8), segment((38, 10), (10, 38), 8))
    question = union(arc((24, 16), 9, 7, 180, 90), segment((31, 21), (24, 28), 7), segment((24, 28), (24, 32), 7),
                     disc((24, 41), 4))
    arrow = polygon([(4, 19), (26, 19), (26, 8), (44, 24), (26, 40), (26, 29), (4, 29)])
    exclamation = union(segment((24, 6), (24, 29), 8), disc((24, 41), 4.5))
    return [item(48, (24, 24), check, GREEN), item(48, (24, 24), cross, RED), item(48, (24, 24), star((24, 25), 22, 9), YELLOW),
            item(48, (24, 24), question, BLUE), item(48, (44, 24), arrow, MAGENTA), item(48, (24, 24), exclamation, ORANGE)]


def ani_set(frames):
    """A cursor/stamp set: RIFF ACON with eight icon chunks."""
    chunks = b''.join(b'icon' + struct.pack('<I', len(frames[0])) + f for f in frames)
    anih = struct.pack('<9I', 36, len(frames), len(frames), 0, 0, 0, 0, len(frames), 1)
    body = b'ACON' + b'anih' + struct.pack('<I', 36) + anih + b'LIST' + struct.pack('<I', 4 + len(chunks)) + b'fram' + chunks
    return b'RIFF' + struct.pack('<I', 8 + len(body)) + body


def bmp_rows(width, height, pixel):
    """24-bit rows, bottom first, each padded to four bytes."""
    out = bytearray()
    pad = b'\0' * ((4 - width * 3 % 4) % 4)
    for y in reversed(range(height)):
        for x in range(width):
            r, g, b = pixel(x, y)
            out += bytes((b, g, r))
        out += pad
    return bytes(out)


def info_header(width, height):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, 0, 2835, 2835, 0, 0)


def logo_picture(x, y):
    """The default logo: the product's name plate, a kestrel-blue band with a sky stripe."""
    if 8 <= y < 12 or 68 <= y < 72:
        return (0x8F, 0xD3, 0xFF)
    if 12 <= y < 68:
        return (0x1D, 0x4E, 0x6B)
    return (0, 0, 0)


def deflogo():
    width, height = 160, 80
    bits = bmp_rows(width, height, logo_picture)
    # Logo block: background colour (blue, green, red, 0), zoom 100, 2 bytes 0, the area (whole).
    block = struct.pack('<BBBBHHiiii', 0, 0, 0, 0, 100, 0, 0, 0, width - 1, height - 1)
    offset = 78
    return b'OL' + struct.pack('<III', offset + len(bits), 0, offset) + info_header(width, height) + block + bits


def test_pattern():
    """Eight colour bars over a grey ramp, with a one-pixel white frame: colours, steps and
    the picture's edges at a glance."""
    width, height = 320, 240
    bars = [PALETTE[i] for i in (WHITE, YELLOW, CYAN, GREEN, MAGENTA, RED, BLUE, BLACK)]

    def pixel(x, y):
        if x in (0, width - 1) or y in (0, height - 1):
            return (255, 255, 255)
        if y < height * 2 // 3:
            return bars[x * 8 // width]
        g = x * 16 // width * 17
        return (g, g, g)
    bits = bmp_rows(width, height, pixel)
    return b'BM' + struct.pack('<IHHI', 54 + len(bits), 0, 0, 54) + info_header(width, height) + bits


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_starter_items.py OUTPUT-FOLDER')
    out = sys.argv[1]
    for sub in ('cursor', 'stamp'):
        os.makedirs(os.path.join(out, sub), exist_ok=True)
    files = {}
    crs = cursors()
    for i, data in enumerate(crs):
        files[os.path.join('cursor', '%02d.crs' % i)] = data
    for i, data in enumerate(stamps()):
        files[os.path.join('stamp', '%02d.stp' % i)] = data
    files['deflogo.lgo'] = deflogo()
    # The set: the four cursors, then each again (the projector holds eight 32 x 32 images).
    files['Sample.csp'] = ani_set(crs + crs)
    files['TestPattern.bmp'] = test_pattern()
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
