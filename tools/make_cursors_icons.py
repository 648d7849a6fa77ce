#!/usr/bin/env python3
"""Writes the program's cursors resources/cursors/<id>.cur from the pixel art
in tools/cursors/cursors.txt, and its icons resources/icons/4001.ico (32 by
32, the frame's large icon and the desktop's window icon) and 4002.ico (16 by
16, the small icon): a purple disc with a gold rim holding a Sierpinski
triangle in rainbow colours, as in the title picture."""
import colorsys
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, "..", "resources")


# ---- Cursors: one 32 by 32 image, AND and XOR masks.

def read_cursors():
    cursors, current = [], None
    with open(os.path.join(HERE, "cursors", "cursors.txt")) as source:
        for line in source:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("cursor"):
                _, ident, hx, hy = line.split()
                current = (int(ident), int(hx), int(hy), [])
                cursors.append(current)
            else:
                current[3].append(line)
    return cursors


def cur_file(hot_x, hot_y, rows, size=32):
    if len(rows) > size or any(len(r) > size or set(r) - set("BW.") for r in rows):
        raise SystemExit("cursor rows must be at most %d of B, W and ." % size)
    rows = [r.ljust(size, ".") for r in rows] + ["." * size] * (size - len(rows))
    stride = size // 8

    def mask(bit_of):
        data = b""
        for row in reversed(rows):
            line = bytearray(stride)
            for x, c in enumerate(row):
                line[x // 8] |= bit_of(c) << (7 - x % 8)
            data += bytes(line)
        return data

    xor = mask(lambda c: 1 if c == "W" else 0)
    and_ = mask(lambda c: 1 if c == "." else 0)
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 1, 0, len(xor) + len(and_), 0, 0, 2, 0)
    table = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = info + table + xor + and_
    header = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, hot_x, hot_y, len(image), 22)
    return header + image


# ---- Icons: 32-bit pixels with alpha, and the AND mask.

def icon_pixels(size, samples=8):
    """0xAARRGGBB rows, top first."""
    # Fewer levels of the triangle on the small icon, so that its holes show.
    parts = 8 if size >= 32 else 4
    def colour_at(x, y):
        # x, y in -1..1, y downward; None outside.
        d = math.hypot(x, y)
        if d > 0.96:
            return None
        if d > 0.8:
            return (245, 197, 66)
        t = d / 0.8
        base = tuple(a + (b - a) * t for a, b in zip((60, 45, 145), (22, 26, 80)))
        # The triangle: corners top, bottom right, bottom left; a point is in
        # it when no level puts it in a middle (removed) part.
        u, v = (x + 0.66) / 1.32, (0.55 - y) / 1.2  # v from the base up
        s = 1 - v  # 0 at the top corner, 1 along the base
        if 0 <= v <= 1 and abs(u - 0.5) <= s / 2:
            a = u - 0.5 + s / 2
            ia, ib = int(a * parts), int((s - a) * parts)
            if (ia & ib) == 0:
                r, g, bl = colorsys.hsv_to_rgb((0.02 + (0.11 * ia + 0.06 * ib) * 8 / parts) % 1.0, 0.75, 1.0)
                return (r * 255, g * 255, bl * 255)
        return base

    out = []
    for py in range(size):
        for px in range(size):
            total, r, g, b = 0, 0.0, 0.0, 0.0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at(((px + (sx + 0.5) / samples) / size) * 2 - 1,
                                  ((py + (sy + 0.5) / samples) / size) * 2 - 1)
                    if c is not None:
                        total += 1
                        r, g, b = r + c[0], g + c[1], b + c[2]
            if total == 0:
                out.append(0)
                continue
            alpha = int(255 * total / (samples * samples) + 0.5)
            out.append((alpha << 24) | (int(r / total + 0.5) << 16) | (int(g / total + 0.5) << 8) | int(b / total + 0.5))
    return out


def ico_file(size):
    pixels = icon_pixels(size)
    colour = b"".join(struct.pack("<I", pixels[y * size + x]) for y in reversed(range(size)) for x in range(size))
    stride = (size + 31) // 32 * 4
    mask = b""
    for y in reversed(range(size)):
        line = bytearray(stride)
        for x in range(size):
            if pixels[y * size + x] >> 24 == 0:
                line[x // 8] |= 1 << (7 - x % 8)
        mask += bytes(line)
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = info + colour + mask
    header = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    return header + image


def write(folder, name, data):
    os.makedirs(os.path.join(RESOURCES, folder), exist_ok=True)
    with open(os.path.join(RESOURCES, folder, name), "wb") as out:
        out.write(data)


def main():
    for ident, hx, hy, rows in read_cursors():
        write("cursors", "%d.cur" % ident, cur_file(hx, hy, rows))
    write("icons", "4001.ico", ico_file(32))
    write("icons", "4002.ico", ico_file(16))


if __name__ == "__main__":
    main()
