#!/usr/bin/env python3
"""Writes the built-in metafile pictures resources/metafiles/<id>.wmf from the
vector descriptions in tools/metafiles/<id>.txt.

Each picture is a Windows metafile in memory form: the 18-byte header, a
SetWindowOrg and a SetWindowExt record (logical y grows upward), then only
pen, brush and font objects, the polygon fill mode, Polygon, PolyPolygon,
Polyline and text records, and the end record.

Description lines (coordinates in the picture's own frame, y up, origin at
the bottom left; colours as RRGGBB; '#' starts a comment):
  frame W H                     the logical frame, first line
  pen none | pen WIDTH RRGGBB   a new pen (width 0 is one pixel at any size)
  brush none | brush RRGGBB     a new brush
  fill alternate | winding      polygon fill mode
  polygon x y x y ...
  polyline x y x y ...
  rect x0 y0 x1 y1              a polygon of four corners
  roundrect x0 y0 x1 y1 r       corners rounded with radius r
  ellipse cx cy rx ry           a polygon of 48 points
  ring cx cy rx ry rx2 ry2      two ellipses as one poly-polygon (alternate)
  star cx cy r1 r2 n [turn]     n points on radius r1 between n on r2
  arc cx cy rx ry a0 a1         an open polyline along the ellipse, degrees
  arrow x0 y0 x1 y1 w hw hl     a straight arrow from (x0, y0) to its tip at
                                (x1, y1): shaft width w, head width hw and
                                head length hl
  text x y height RRGGBB "TEXT" Arial text, top centre at (x, y)
"""
import math
import os
import shlex
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, "metafiles")
OUTPUT = os.path.join(HERE, "..", "resources", "metafiles")

PS_SOLID, PS_NULL = 0, 5
BS_SOLID, BS_NULL = 0, 1
TA_CENTER, TA_TOP = 6, 0
TRANSPARENT = 1


class Metafile:
    def __init__(self):
        self.records = []
        self.used = []  # object table: True where a slot is taken

    def record(self, function, words):
        data = b"".join(struct.pack("<h" if w < 0 else "<H", w) for w in words)
        size = 3 + len(words)
        self.records.append(struct.pack("<IH", size, function) + data)

    def take(self):
        for i, used in enumerate(self.used):
            if not used:
                self.used[i] = True
                return i
        self.used.append(True)
        return len(self.used) - 1

    def free(self, slot):
        self.used[slot] = False

    def colour(self, rgb):
        r, g, b = (rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255
        value = r | g << 8 | b << 16
        return [value & 0xFFFF, value >> 16]

    def bytes(self):
        body = b"".join(self.records) + struct.pack("<IH", 3, 0)
        largest = max(len(r) // 2 for r in self.records + [b"\0" * 6])
        words = (18 + len(body)) // 2
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, words, len(self.used), largest, 0)
        return header + body


def clamp16(v):
    return max(-32768, min(32767, int(round(v))))


def ellipse_points(cx, cy, rx, ry, n=48, a0=0.0, a1=360.0, closed=True):
    points = []
    steps = n if closed else max(2, int(n * abs(a1 - a0) / 360.0) + 1)
    for i in range(steps):
        t = i / (n if closed else steps - 1)
        a = math.radians(a0 + (a1 - a0) * t)
        points.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return points


def round_rect_points(x0, y0, x1, y1, r):
    points = []
    corners = [(x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180), (x1 - r, y0 + r, 270)]
    for cx, cy, start in corners:
        for k in range(7):
            a = math.radians(start + 15 * k)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


class Builder:
    def __init__(self, name):
        self.name = name
        self.meta = Metafile()
        self.height = None
        self.pen = None
        self.brush = None
        self.font = None

    def flat(self, points):
        words = []
        for x, y in points:
            words += [clamp16(x), clamp16(y)]
        return words

    def replace(self, kind, slot):
        old = getattr(self, kind)
        self.meta.record(0x012D, [slot])  # select the new object first
        if old is not None:
            self.meta.record(0x01F0, [old])
            self.meta.free(old)
        setattr(self, kind, slot)

    def make_pen(self, args):
        slot = self.meta.take()
        if args[0] == "none":
            self.meta.record(0x02FA, [PS_NULL, 0, 0] + self.meta.colour(0))
        else:
            self.meta.record(0x02FA, [PS_SOLID, int(args[0]), 0] + self.meta.colour(int(args[1], 16)))
        self.replace("pen", slot)

    def make_brush(self, args):
        slot = self.meta.take()
        if args[0] == "none":
            self.meta.record(0x02FC, [BS_NULL] + self.meta.colour(0) + [0])
        else:
            self.meta.record(0x02FC, [BS_SOLID] + self.meta.colour(int(args[0], 16)) + [0])
        self.replace("brush", slot)

    def polygon(self, points):
        self.meta.record(0x0324, [len(points)] + self.flat(points))

    def polyline(self, points):
        self.meta.record(0x0325, [len(points)] + self.flat(points))

    def poly_polygon(self, polygons):
        words = [len(polygons)] + [len(p) for p in polygons]
        for p in polygons:
            words += self.flat(p)
        self.meta.record(0x0538, words)

    def text(self, x, y, height, colour, text):
        slot = self.meta.take()
        face = b"Arial".ljust(32, b"\0")
        font = struct.pack("<hhhhhBBBBBBBB", abs(height), 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0) + face
        self.meta.record(0x02FB, list(struct.unpack("<%dh" % (len(font) // 2), font)))
        self.replace("font", slot)
        self.meta.record(0x0209, self.meta.colour(colour))
        self.meta.record(0x012E, [TA_CENTER | TA_TOP])
        self.meta.record(0x0102, [TRANSPARENT])
        data = text.encode("cp1252")
        padded = data + (b"\0" if len(data) % 2 else b"")
        words = [len(data)] + list(struct.unpack("<%dh" % (len(padded) // 2), padded)) + [clamp16(y), clamp16(x)]
        self.meta.record(0x0521, words)

    def line(self, words):
        op, args = words[0], words[1:]
        nums = lambda: [float(a) for a in args]
        if op == "frame":
            w, h = int(args[0]), int(args[1])
            self.height = h
            self.meta.record(0x020B, [h, 0])    # SetWindowOrg: y, x
            self.meta.record(0x020C, [-h, w])   # SetWindowExt: y, x
        elif self.height is None:
            raise ValueError("the first line must be 'frame W H'")
        elif op == "pen":
            self.make_pen(args)
        elif op == "brush":
            self.make_brush(args)
        elif op == "fill":
            self.meta.record(0x0106, [1 if args[0] == "alternate" else 2])
        elif op == "polygon":
            v = nums()
            self.polygon(list(zip(v[0::2], v[1::2])))
        elif op == "polyline":
            v = nums()
            self.polyline(list(zip(v[0::2], v[1::2])))
        elif op == "rect":
            x0, y0, x1, y1 = nums()
            self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])
        elif op == "roundrect":
            self.polygon(round_rect_points(*nums()))
        elif op == "ellipse":
            self.polygon(ellipse_points(*nums()))
        elif op == "ring":
            cx, cy, rx, ry, rx2, ry2 = nums()
            self.poly_polygon([ellipse_points(cx, cy, rx, ry), ellipse_points(cx, cy, rx2, ry2)])
        elif op == "star":
            v = nums()
            cx, cy, r1, r2, n = v[:5]
            turn = v[5] if len(v) > 5 else 90.0
            points = []
            for i in range(int(n) * 2):
                r = r1 if i % 2 == 0 else r2
                a = math.radians(turn + 180.0 * i / n)
                points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
            self.polygon(points)
        elif op == "arc":
            cx, cy, rx, ry, a0, a1 = nums()
            self.polyline(ellipse_points(cx, cy, rx, ry, 48, a0, a1, closed=False))
        elif op == "arrow":
            x0, y0, x1, y1, w, hw, hl = nums()
            length = math.hypot(x1 - x0, y1 - y0)
            ux, uy = (x1 - x0) / length, (y1 - y0) / length
            nx, ny = -uy, ux
            bx, by = x1 - ux * hl, y1 - uy * hl
            self.polygon([(x0 + nx * w / 2, y0 + ny * w / 2), (bx + nx * w / 2, by + ny * w / 2),
                          (bx + nx * hw / 2, by + ny * hw / 2), (x1, y1),
                          (bx - nx * hw / 2, by - ny * hw / 2), (bx - nx * w / 2, by - ny * w / 2),
                          (x0 - nx * w / 2, y0 - ny * w / 2)])
        elif op == "text":
            self.text(float(args[0]), float(args[1]), int(args[2]), int(args[3], 16), args[4])
        else:
            raise ValueError("unknown drawing '%s'" % op)

    def finish(self):
        for kind in ("pen", "brush", "font"):
            slot = getattr(self, kind)
            if slot is not None:
                self.meta.record(0x01F0, [slot])  # deleting a selected object leaves it in the context
                self.meta.free(slot)
        return self.meta.bytes()


def build(path):
    builder = Builder(os.path.basename(path))
    with open(path, encoding="utf-8") as source:
        for number, text in enumerate(source, 1):
            text = text.split("#", 1)[0].strip()
            if not text:
                continue
            try:
                builder.line(shlex.split(text))
            except (ValueError, IndexError) as error:
                sys.exit("%s:%d: %s" % (path, number, error))
    return builder.finish()


def main():
    os.makedirs(OUTPUT, exist_ok=True)
    for name in sorted(os.listdir(SOURCES)):
        if not name.endswith(".txt"):
            continue
        data = build(os.path.join(SOURCES, name))
        with open(os.path.join(OUTPUT, name[:-4] + ".wmf"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
