#!/usr/bin/env python3
"""Writes the built-in bitmap resources resources/bitmaps/<id>.bmp from the
pixel art in tools/bitmaps/:
  cursor_pairs.txt    'pair IMAGE MASK' and 32 rows of B (black), W (white)
                      and . (see-through): the image is 1 where W, the mask 1
                      where '.'
  eraser_smudges.txt  'smudge ID' and 64 rows of 24: 'X' a 0 bit, '.' a 1 bit
  curtains.txt        'colour LETTER RRGGBB' lines (up to 16), then
                      'picture ID' and the rows in those letters (4 bits)
  sparkle_masks.txt   'mask K' (K 3 to 15) and its rows: '*' byte 0, 'W' 255,
                      '.' 1; written as 16 x 16 pictures of 8 bits (ids 4109 + K)
                      whose first stored rows and first bytes are the mask,
                      each stored row i holding the source's row i
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
            elif bits == 8:
                line[x] = value
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
            if words[0] in ("pair", "smudge", "picture", "mask"):
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


MASK_BYTES = {"*": 0, "W": 255, ".": 1}


def sparkle_mask(size, rows):
    width, height = (size, size) if size % 2 else (size - 1, size + 1)
    check(rows, width, height, "mask %d" % size)
    picture = [[1] * 16 for _ in range(16)]
    for i, row in enumerate(rows):
        # bmp() stores the last row first: stored row i is picture row 15 - i.
        picture[15 - i][:width] = [MASK_BYTES[c] for c in row]
    greys = [g * 0x010101 for g in range(256)]
    return bmp(picture, 8, greys)


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
    for header, rows in blocks("sparkle_masks.txt")[0]:
        size = int(header[1])
        write(4109 + size, sparkle_mask(size, rows))


if __name__ == "__main__":
    main()
