#!/usr/bin/env python3
"""Pictures for the logo scenarios and the image the projector should receive.

  logo_files.py bmp PATH W H          a 24-bit bitmap of four coloured quadrants with a ramp
  logo_files.py lgo PATH W H          the same picture as a logo file (zoom 100, no area)
  logo_files.py expect LGO OUT        the transfer image of logo file LGO (its area, its zoom)
Written apart from the program, so the scenario compares two implementations.
"""
import struct
import sys


def colour(x, y, w, h):
    r = 255 if x < w // 2 else 0
    g = 255 if y < h // 2 else 0
    b = (x * 255) // max(1, w - 1)
    return r, g, b


def rows_bottom_up(w, h):
    stride = (w * 3 + 3) // 4 * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = colour(x, y, w, h)
            row += bytes((b, g, r))
        out += row + b"\0" * (stride - len(row))
    return bytes(out)


def info_header(w, h):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, 0, 0, 0, 0, 0)


def write_bmp(path, w, h):
    bits = rows_bottom_up(w, h)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<III", 54 + len(bits), 0, 54) + info_header(w, h) + bits)


def write_lgo(path, w, h):
    bits = rows_bottom_up(w, h)
    block = bytes(4) + struct.pack("<HHiiii", 100, 0, 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"OL" + struct.pack("<III", 78 + len(bits), 0, 78) + info_header(w, h) + block + bits)


def expect(lgo, out):
    data = open(lgo, "rb").read()
    assert data[:2] == b"OL"
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    bpp = struct.unpack_from("<H", data, 28)[0]
    assert bpp == 24 and offset == 78
    zoom = struct.unpack_from("<H", data, 58)[0]
    left, top, right, bottom = struct.unpack_from("<iiii", data, 62)
    if right <= left or bottom <= top:
        left, top, right, bottom = 0, 0, w - 1, h - 1
    stride = (w * 3 + 3) // 4 * 4
    cw, ch = right - left + 1, bottom - top + 1
    image = bytearray(b"IG" + struct.pack(">HHHB3xH", cw, ch, 0, 4, zoom))
    for y in range(top, bottom + 1):
        row = offset + (h - 1 - y) * stride
        for x in range(left, right + 1):
            b, g, r = data[row + 3 * x: row + 3 * x + 3]
            image += struct.pack(">H", (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3))
    open(out, "wb").write(image)


if __name__ == "__main__":
    kind = sys.argv[1]
    if kind == "bmp":
        write_bmp(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    elif kind == "lgo":
        write_lgo(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    else:
        expect(sys.argv[2], sys.argv[3])
