#!/usr/bin/env python3
"""Checks of the cursor/stamp scenarios on files and the simulator's log.

  header FILE                  size, RIFF length and form type of a set file
  only-changed OLD NEW FIRST N  "ok" when OLD and NEW differ only within N bytes from FIRST
  nibbles FILE OFFSET COUNT     the first COUNT pixels (4-bit) of the row at OFFSET
  blocks LOG MARK CSP          the 0x0902 blocks after line MARK against the packed set image
  make-item PATH SIZE          writes a blank item of SIZE x SIZE (32 or 48)
"""
import re
import struct
import sys


def packed_image(path):
    data = open(path, "rb").read()
    image = bytearray()
    position = 68
    for _ in range(8):
        frame = position + 8
        bits = data[frame + 126:frame + 126 + 512]
        for row in range(32):
            image += bits[(31 - row) * 16:(32 - row) * 16]
        position = frame + 766
    return bytes(image)


def log_blocks(log, mark):
    blocks = []
    for line in open(log, errors="replace").read().splitlines()[mark:]:
        m = re.search(r"RX frame  ((?:[0-9A-F]{2} )*[0-9A-F]{2})", line)
        if not m:
            continue
        b = bytes(int(x, 16) for x in m.group(1).split())
        if b[0] == 0x1D and b[5:7] == b"\x09\x02":
            blocks.append(b[7:-1])
    return blocks


def main(args):
    verb = args[0]
    if verb == "header":
        d = open(args[1], "rb").read()
        print(len(d), d[0:4].decode(), struct.unpack("<I", d[4:8])[0], d[8:12].decode())
    elif verb == "only-changed":
        old, new = open(args[1], "rb").read(), open(args[2], "rb").read()
        first, count = int(args[3]), int(args[4])
        if len(old) != len(new):
            print("length changed", len(old), len(new))
            return
        outside = [i for i in range(len(old)) if old[i] != new[i] and not first <= i < first + count]
        inside = sum(1 for i in range(first, first + count) if old[i] != new[i])
        print("ok" if not outside and inside else "outside %s inside %d" % (outside[:5], inside))
    elif verb == "nibbles":
        d = open(args[1], "rb").read()
        offset, count = int(args[2]), int(args[3])
        print(" ".join("%X" % (d[offset + i // 2] >> (0 if i % 2 else 4) & 15) for i in range(count)))
    elif verb == "blocks":
        blocks = log_blocks(args[1], int(args[2]))
        image = packed_image(args[3])
        addresses = [int.from_bytes(b[:3], "big") for b in blocks]
        data = b"".join(b[3:] for b in blocks)
        ok = addresses == [0x4F2000 + 1024 * i for i in range(4)] and data == image
        print("%d blocks %s" % (len(blocks), "match" if ok else "differ: %s" % [hex(a) for a in addresses]))
    elif verb == "make-item":
        size = int(args[2])
        colors, mask = size * size // 2, size * 8 if size == 48 else size * 4
        header = struct.pack("<HHHBBBBHHII", 0, 2, 1, size, size, 0, 0, 0, 0, 40 + 64 + colors + mask, 22)
        info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 0, 0)
        table = b"".join(bytes([16 * i, 16 * i, 16 * i, 0]) for i in range(16))
        mask_row = b"\xff" * (size // 8) + bytes(2 if size == 48 else 0)
        open(args[1], "wb").write(header + info + table + bytes(colors) + mask_row * size)


if __name__ == "__main__":
    main(sys.argv[1:])
