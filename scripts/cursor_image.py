"""Cursor files for the drawing scripts: the Windows .cur container around one image, and the
one-pixel rim that keeps a drawn shape visible on any background."""
import struct


def cursor_file(width, height, hotspot, bpp, palette, pixels, mask):
    """pixels[y][x]: palette index; mask[y][x]: 1 = transparent."""
    def rows(values, bits):
        out = b''
        for y in reversed(range(height)):
            acc, n, row = 0, 0, b''
            for x in range(width):
                acc = (acc << bits) | values[y][x]
                n += bits
                if n == 8:
                    row += bytes([acc])
                    acc, n = 0, 0
            row += b'\0' * ((4 - len(row) % 4) % 4)
            out += row
        return out
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bpp, 0, 0, 0, 0, len(palette), 0)
    image = header + colours + rows(pixels, bpp) + rows(mask, 1)
    entry = struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return struct.pack('<HHH', 0, 2, 1) + entry + image


def rim(size, ink):
    """The pixels of a size x size image that touch ink (a set of (x, y)) but are not in it."""
    around = set()
    for (x, y) in ink:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if 0 <= p[0] < size and 0 <= p[1] < size and p not in ink:
                    around.add(p)
    return around


def opaque_mask(size, ink, around):
    """The AND mask that shows ink and its rim and leaves the rest transparent."""
    return [[0 if (x, y) in ink or (x, y) in around else 1 for x in range(size)] for y in range(size)]
