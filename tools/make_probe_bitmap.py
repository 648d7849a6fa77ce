#!/usr/bin/env python3
"""Writes resources/test/probe.bmp: a 5 x 3 picture at 4 bits per pixel whose
pixel (x, y), counted from the top, has colour index x + 5 * y, with a
16-entry colour table where entry i is (red 16 i, green 255 - 16 i, blue i).
The resource tests check the embedded file against exactly this."""
import os
import struct

WIDTH, HEIGHT, BITS = 5, 3, 4


def main():
    stride = (WIDTH * BITS + 31) // 32 * 4
    rows = []
    for y in reversed(range(HEIGHT)):  # stored bottom-up
        row = bytearray(stride)
        for x in range(WIDTH):
            index = x + WIDTH * y
            if x % 2 == 0:
                row[x // 2] |= index << 4
            else:
                row[x // 2] |= index
        rows.append(bytes(row))
    bits = b"".join(rows)
    colours = b"".join(struct.pack("<BBBB", i, 255 - 16 * i, 16 * i, 0) for i in range(16))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, BITS, 0, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    path = os.path.join(os.path.dirname(__file__), "..", "resources", "test", "probe.bmp")
    with open(path, "wb") as out:
        out.write(header + info + colours + bits)


if __name__ == "__main__":
    main()
