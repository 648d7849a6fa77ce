#!/usr/bin/env python3
"""Writes the built-in bitmap resources resources/bitmaps/<id>.bmp from the
pixel art in tools/bitmaps/:
  cursor_pairs.txt    'pair IMAGE MASK' and 32 rows of B (black), W (white)
                      and . (see-through): the image is 1 where W, the mask 1
                      where '.'
  eraser_smudges.txt  'smudge ID' and 64 rows of 24: 'X' a 0 bit, '.' a 1 bit
  curtains.txt        'colour LETTER RRGGBB' lines (up to 16), then
                      'picture ID' and the rows in those letters (4 bits)
Rows are written top row first in the sources and stored bottom-up."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, "bitmaps")
OUTPUT = os.path.join(HERE, "..", "resources", "bitmaps")


def bmp(rows, bits, colours):
    height, width = len(rows), len(rows[0])
    stride = (width * bits + 31) // 32 * 4
    data = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, value in enumerate(row):
            if bits == 1:
                line[x // 8] |= value << (7 - x % 8)
            else:
                line[x // 2] |= value << (4 if x % 2 == 0 else 0)
        data += bytes(line)
    table = b"".join(struct.pack("<BBBB", c & 255, (c >> 8) & 255, (c >> 16) & 255, 0) for c in colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(colours), 0)
    offset = 14 + len(info) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + info + table + data


def blocks(name):
    """(header words, rows) for each block of the source file."""
    result, header, rows, extra = [], None, [], []
    with open(os.path.join(SOURCES, name)) as source:
        for line in source:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            words = line.split()
            if words[0] in ("pair", "smudge", "picture"):
                if header:
                    result.append((header, rows))
                header, rows = words, []
            elif words[0] == "colour":
                extra.append(words)
            else:
                rows.append(line)
    if header:
        result.append((header, rows))
    return result, extra


def write(resource_id, data):
    with open(os.path.join(OUTPUT, "%s.bmp" % resource_id), "wb") as out:
        out.write(data)


def check(rows, width, height, what):
    if len(rows) != height or any(len(r) != width for r in rows):
        raise SystemExit("%s: expected %d rows of %d" % (what, height, width))


def main():
    os.makedirs(OUTPUT, exist_ok=True)
    mono = [0x000000, 0xFFFFFF]
    for header, rows in blocks("cursor_pairs.txt")[0]:
        check(rows, 32, 32, " ".join(header))
        write(header[1], bmp([[1 if c == "W" else 0 for c in r] for r in rows], 1, mono))
        write(header[2], bmp([[1 if c == "." else 0 for c in r] for r in rows], 1, mono))
    for header, rows in blocks("eraser_smudges.txt")[0]:
        check(rows, 24, 64, " ".join(header))
        write(header[1], bmp([[0 if c == "X" else 1 for c in r] for r in rows], 1, mono))
    pictures, legend = blocks("curtains.txt")
    letters = [w[1] for w in legend]
    colours = [int(w[2], 16) for w in legend] + [0] * (16 - len(legend))
    for header, rows in pictures:
        check(rows, 48, 24, " ".join(header))
        write(header[1], bmp([[letters.index(c) for c in r] for r in rows], 4, colours))


if __name__ == "__main__":
    main()
