#!/usr/bin/env python3
"""Writes the title pictures resources/bitmaps/4105.bmp, 4106.bmp and 4107.bmp
(380, 476 and 600 pixels square, 8 bits per pixel) from tools/title/scene.txt
and the area rectangles of the layouts in tools/blocks/title_layouts.cpp.

The picture: a night sky with a sunflower spiral of coloured dots, the word
QUENDAR in the middle, and twelve discs on the spiral of the areas, each with
a self-similar pattern of its own. The picture's corners (outside the round
window) have the covering colour, palette entry 0, which no other pixel has."""
import cmath
import colorsys
import math
import os
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "..", "resources", "bitmaps")
PICTURES = [(4105, 380, "Layout_480"), (4106, 476, "Layout_600"), (4107, 600, "Layout_768")]
SUPER = 3  # subpixels per pixel side inside the discs


# ---- Sources

def read_scene():
    scene = {"areas": {}}
    with open(os.path.join(HERE, "title", "scene.txt")) as source:
        for line in source:
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "area":
                scene["areas"][int(words[1])] = (words[2], int(words[3], 16))
            else:
                scene[words[0]] = [int(w, 16) for w in words[1:]]
    return scene


def read_areas(layout_name):
    """The twelve area rectangles (left, top, right, bottom) of a layout."""
    with open(os.path.join(HERE, "blocks", "title_layouts.cpp")) as source:
        text = source.read()
    body = re.search(r"Layout %s = \{\{(.*?)\}\};" % layout_name, text, re.S).group(1)
    rects = [tuple(int(v) for v in m) for m in re.findall(r"\{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\}", body)]
    return rects[2:14]


# ---- Colours

def rgb(r, g, b):
    return (min(255, max(0, int(r))) << 16) | (min(255, max(0, int(g))) << 8) | min(255, max(0, int(b)))


def parts(c):
    return (c >> 16) & 255, (c >> 8) & 255, c & 255


def mix(a, b, t):
    (ar, ag, ab), (br, bg, bb) = parts(a), parts(b)
    return rgb(ar + (br - ar) * t + 0.5, ag + (bg - ag) * t + 0.5, ab + (bb - ab) * t + 0.5)


def hue(h, s=0.85, v=1.0):
    r, g, b = colorsys.hsv_to_rgb(h % 1.0, s, v)
    return rgb(r * 255 + 0.5, g * 255 + 0.5, b * 255 + 0.5)


# ---- A square canvas of colours (None: see-through), drawn in unit
# coordinates: (0, 0) the centre, 1 the radius.

class Canvas:
    def __init__(self, n):
        self.n = n
        self.pix = [None] * (n * n)

    def to_px(self, x, y):
        h = self.n / 2.0
        return h + x * h, h - y * h

    def dot(self, x, y, r, colour):
        cx, cy = self.to_px(x, y)
        rp = max(r * self.n / 2.0, 0.5)
        n = self.n
        for py in range(max(0, int(cy - rp)), min(n, int(cy + rp) + 2)):
            dy = py + 0.5 - cy
            span = rp * rp - dy * dy
            if span < 0:
                continue
            half = math.sqrt(span)
            x0, x1 = max(0, int(math.ceil(cx - half - 0.5))), min(n - 1, int(math.floor(cx + half - 0.5)))
            row = py * n
            for px in range(x0, x1 + 1):
                self.pix[row + px] = colour

    def point(self, x, y, colour):
        px, py = self.to_px(x, y)
        px, py = int(px), int(py)
        if 0 <= px < self.n and 0 <= py < self.n:
            self.pix[py * self.n + px] = colour

    def line(self, x0, y0, x1, y1, width, colour):
        steps = max(1, int(math.hypot(x1 - x0, y1 - y0) * self.n / 2.0 / max(width * self.n / 4.0, 0.5)))
        for i in range(steps + 1):
            t = i / steps
            self.dot(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2.0, colour)

    def triangle(self, a, b, c, colour):
        pts = [self.to_px(*p) for p in (a, b, c)]
        (x0, y0), (x1, y1), (x2, y2) = pts
        area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0)
        if abs(area) < 1e-9:
            return
        n = self.n
        for py in range(max(0, int(min(y0, y1, y2))), min(n, int(max(y0, y1, y2)) + 1)):
            sy = py + 0.5
            for px in range(max(0, int(min(x0, x1, x2))), min(n, int(max(x0, x1, x2)) + 1)):
                sx = px + 0.5
                w0 = ((x1 - sx) * (y2 - sy) - (x2 - sx) * (y1 - sy)) / area
                w1 = ((x2 - sx) * (y0 - sy) - (x0 - sx) * (y2 - sy)) / area
                if w0 >= 0 and w1 >= 0 and w0 + w1 <= 1:
                    self.pix[py * n + px] = colour

    def quad(self, a, b, c, d, colour):
        self.triangle(a, b, c, colour)
        self.triangle(a, c, d, colour)


# ---- The motifs, each fitting the unit disc

def escape_time(canvas, view, c_fixed, inside, palette_fn, limit=90):
    """Julia (c_fixed given) or Mandelbrot set, coloured by smooth escape time."""
    n = canvas.n
    cx, cy, span = view
    for py in range(n):
        im = cy + (0.5 - (py + 0.5) / n) * span
        for px in range(n):
            re_ = cx + ((px + 0.5) / n - 0.5) * span
            z = complex(re_, im)
            c = c_fixed if c_fixed is not None else z
            if c_fixed is None:
                z = 0j
            i = 0
            while i < limit and (z.real * z.real + z.imag * z.imag) < 64.0:
                z = z * z + c
                i += 1
            if i == limit:
                canvas.pix[py * n + px] = inside
            else:
                smooth = i + 1 - math.log(math.log(abs(z)) / math.log(2)) / math.log(2)
                colour = palette_fn(smooth)
                if colour is not None:
                    canvas.pix[py * n + px] = colour


def m_julia(cv):
    def shade(t):
        if t < 2.5:
            return None
        return hue(0.62 + t * 0.045, 0.9, 1.0)
    escape_time(cv, (0.0, 0.0, 3.5), complex(-0.8, 0.156), rgb(70, 20, 120), shade)


def m_mandelbrot(cv):
    def shade(t):
        if t < 2.0:
            return None
        return hue(0.95 - t * 0.05, 0.85, 1.0)
    escape_time(cv, (-0.62, 0.0, 2.7), None, rgb(35, 30, 110), shade, 70)


def chaos_game(cv, corners, ratio, colours, count, dot=None):
    x, y = 0.0, 0.0
    seed = 12345
    for i in range(count + 20):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        k = (seed >> 16) % len(corners)
        x += (corners[k][0] - x) * ratio
        y += (corners[k][1] - y) * ratio
        if i >= 20:
            cv.point(x, y, colours[k])


def m_triangle(cv):
    r = 0.86
    corners = [(r * math.cos(a), r * math.sin(a) - 0.1) for a in (math.pi / 2, math.pi * 7 / 6, math.pi * 11 / 6)]
    chaos_game(cv, corners, 0.5, [rgb(232, 60, 60), rgb(40, 120, 230), rgb(245, 150, 20)], cv.n * cv.n // 2)


def m_pentagon(cv):
    corners = [(0.84 * math.cos(math.pi / 2 + k * 2 * math.pi / 5), 0.84 * math.sin(math.pi / 2 + k * 2 * math.pi / 5))
               for k in range(5)]
    colours = [hue(k / 5.0 + 0.02, 0.9, 0.95) for k in range(5)]
    chaos_game(cv, corners, 0.618, colours, cv.n * cv.n // 2)


def m_fern(cv):
    x, y = 0.0, 0.0
    seed = 777
    for i in range(cv.n * cv.n // 2):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        p = (seed >> 8) % 100
        if p < 1:
            x, y = 0.0, 0.16 * y
        elif p < 86:
            x, y = 0.85 * x + 0.04 * y, -0.04 * x + 0.85 * y + 1.6
        elif p < 93:
            x, y = 0.2 * x - 0.26 * y, 0.23 * x + 0.22 * y + 1.6
        else:
            x, y = -0.15 * x + 0.28 * y, 0.26 * x + 0.24 * y + 0.44
        cv.point(x * 0.17, y * 0.17 - 0.86, mix(rgb(20, 120, 40), rgb(120, 220, 60), y / 10.0))


def m_flower(cv):
    cv.dot(0, 0, 0.92, rgb(255, 214, 60))
    count = 160
    for i in range(count, 0, -1):
        r = 0.86 * math.sqrt(i / count)
        a = i * math.radians(137.508)
        cv.dot(r * math.cos(a), r * math.sin(a), 0.035 + 0.05 * r, mix(rgb(150, 60, 10), rgb(255, 120, 20), r / 0.86))


def lsystem_curve(turns, length):
    x, y, heading = 0.0, 0.0, 0.0
    points = [(x, y)]
    for turn in turns:
        heading += turn
        x += length * math.cos(heading)
        y += length * math.sin(heading)
        points.append((x, y))
    return points


def fit(points, radius):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    cx, cy = (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2
    half = max(max(xs) - min(xs), max(ys) - min(ys)) / 2
    return [((x - cx) / half * radius, (y - cy) / half * radius) for x, y in points]


def draw_path(cv, points, width, colour_at):
    for i in range(len(points) - 1):
        (x0, y0), (x1, y1) = points[i], points[i + 1]
        cv.line(x0, y0, x1, y1, width, colour_at(i / (len(points) - 1)))


def m_dragon(cv):
    # Paper folding: turn i is left or right by the bit above the lowest set
    # bit of i.
    turns = [0.0] + [math.pi / 2 if (((i & -i) << 1) & i) == 0 else -math.pi / 2 for i in range(1, 2 ** 11)]
    pts = fit(lsystem_curve(turns, 1.0), 0.72)
    draw_path(cv, pts, 0.035, lambda t: hue(t * 0.8, 0.9, 0.95))


def m_levy(cv):
    pts = [(-1.0, -0.35), (1.0, -0.35)]
    for _ in range(11):
        out = [pts[0]]
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            mx, my = (x0 + x1) / 2 - (y1 - y0) / 2, (y0 + y1) / 2 + (x1 - x0) / 2
            out += [(mx, my), (x1, y1)]
        pts = out
    pts = fit(pts, 0.8)
    draw_path(cv, pts, 0.03, lambda t: hue(0.55 + t * 0.3, 0.85, 0.9))


def m_snowflake(cv):
    shades = [rgb(26, 79, 196), rgb(37, 119, 224), rgb(46, 155, 234), rgb(56, 189, 240), rgb(94, 214, 245)]

    def bump(a, b, level):
        # The triangle raised on the middle third of edge a-b, outward.
        if level >= len(shades):
            return
        (ax, ay), (bx, by) = a, b
        p = (ax + (bx - ax) / 3, ay + (by - ay) / 3)
        q = (ax + (bx - ax) * 2 / 3, ay + (by - ay) * 2 / 3)
        dx, dy = q[0] - p[0], q[1] - p[1]
        tip = (p[0] + dx / 2 - dy * math.sqrt(3) / 2, p[1] + dy / 2 + dx * math.sqrt(3) / 2)
        cv.triangle(p, tip, q, shades[level])
        for s, e in ((a, p), (p, tip), (tip, q), (q, b)):
            bump(s, e, level + 1)

    r = 0.66
    tri = [(r * math.cos(a), r * math.sin(a)) for a in (math.pi / 2, math.pi * 11 / 6, math.pi * 7 / 6)]
    cv.triangle(tri[0], tri[1], tri[2], shades[0])
    for k in range(3):
        bump(tri[k], tri[(k + 1) % 3], 1)


def m_tree(cv):
    def square(x, y, dx, dy, depth):
        # A square on the base (x, y)-(x + dx, y + dy), growing to its left.
        if depth == 0:
            return
        ox, oy = -dy, dx
        colour = mix(rgb(70, 200, 70), rgb(140, 80, 30), depth / 9.0)
        a, b = (x, y), (x + dx, y + dy)
        c, d = (b[0] + ox, b[1] + oy), (x + ox, y + oy)
        cv.quad(a, b, c, d, colour)
        # Two squares on the top edge, at 45 degrees.
        mx, my = d[0] + (dx + ox) / 2, d[1] + (dy + oy) / 2
        square(d[0], d[1], mx - d[0], my - d[1], depth - 1)
        square(mx, my, c[0] - mx, c[1] - my, depth - 1)

    square(-0.17, -0.82, 0.34, 0.0, 9)


def m_carpet(cv):
    n = cv.n
    side = int(n * 0.66) // 27 * 27
    start = (n - side) // 2
    colours = [rgb(120, 40, 200), rgb(190, 50, 190), rgb(240, 90, 150), rgb(255, 150, 90)]
    for py in range(side):
        for px in range(side):
            x, y, level, hole = px * 27 // side, py * 27 // side, 0, False
            while x or y:
                if x % 3 == 1 and y % 3 == 1:
                    hole = True
                    break
                x, y, level = x // 3, y // 3, level + 1
            if not hole:
                cv.pix[(start + py) * n + start + px] = colours[(px * 9 // side + py * 9 // side) % 4]


def m_blossom(cv):
    def branch(x, y, angle, length, depth):
        x1, y1 = x + length * math.cos(angle), y + length * math.sin(angle)
        cv.line(x, y, x1, y1, 0.012 * depth + 0.01, mix(rgb(200, 120, 60), rgb(110, 60, 30), depth / 8.0))
        if depth == 0:
            cv.dot(x1, y1, 0.05, rgb(255, 110, 170) if (int(x1 * 97 + y1 * 61) & 1) else rgb(255, 190, 220))
            return
        branch(x1, y1, angle + 0.42, length * 0.74, depth - 1)
        branch(x1, y1, angle - 0.36, length * 0.78, depth - 1)

    branch(0.0, -0.85, math.pi / 2, 0.42, 8)


MOTIFS = {
    "julia": m_julia, "mandelbrot": m_mandelbrot, "triangle": m_triangle, "pentagon": m_pentagon,
    "fern": m_fern, "flower": m_flower, "dragon": m_dragon, "levy": m_levy, "snowflake": m_snowflake,
    "tree": m_tree, "carpet": m_carpet, "blossom": m_blossom,
}


# ---- The picture

def background(size, scene):
    cover = scene["cover"][0]
    centre_colour, rim_colour = scene["sky"]
    half = size / 2.0
    pix = [cover] * (size * size)
    for y in range(size):
        dy = y + 0.5 - half
        for x in range(size):
            dx = x + 0.5 - half
            d = math.sqrt(dx * dx + dy * dy) / half
            if d <= 1.0:
                pix[y * size + x] = mix(centre_colour, rim_colour, d ** 1.3)
    return pix


def blend_disc(pix, size, cx, cy, radius, colour_at, alpha=1.0):
    """Draws a disc with a soft edge; colour_at(x, y) gives each pixel's colour."""
    for y in range(max(0, int(cy - radius - 1)), min(size, int(cy + radius + 2))):
        for x in range(max(0, int(cx - radius - 1)), min(size, int(cx + radius + 2))):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            cover = min(1.0, max(0.0, radius + 0.5 - d)) * alpha
            if cover > 0:
                i = y * size + x
                pix[i] = mix(pix[i], colour_at(x, y), cover)


def sunflower_dots(pix, size, areas):
    """A golden-angle spiral of small dots over the sky, away from the middle."""
    half = size / 2.0
    count = 420
    for i in range(40, count):
        r = 0.97 * math.sqrt(i / count) * half
        a = i * math.radians(137.508)
        x, y = half + r * math.cos(a), half + r * math.sin(a)
        if any(math.hypot(x - (l + rr) / 2, y - (t + b) / 2) < (rr - l) / 2 + 4 for l, t, rr, b in areas):
            continue
        colour = hue(i / 140.0, 0.55, 1.0)
        blend_disc(pix, size, x, y, size * (0.004 + 0.006 * r / half), lambda _x, _y, c=colour: c, 0.85)


# Strokes of the letters on a 4 by 6 grid, y downward.
def arc(cx, cy, rx, ry, a0, a1, steps=14):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * k / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * k / steps))) for k in range(steps + 1)]


LETTERS = {
    "Q": [arc(2, 3, 2, 3, 0, 360, 28), [(2.3, 4.3), (4.2, 6.3)]],
    "U": [[(0, 0)] + arc(2, 4, 2, 2, 180, 0) + [(4, 0)]],
    "E": [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "D": [[(0, 0), (0, 6), (1.2, 6)] + arc(1.2, 3, 2.8, 3, 90, -90) + [(0, 0)]],
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.8, 3.9), (3.2, 3.9)]],
    "R": [[(0, 6), (0, 0), (2.4, 0)] + arc(2.4, 1.55, 1.6, 1.55, -90, 90) + [(0, 3.1)], [(2.0, 3.1), (4, 6)]],
}


def free_band(size, areas, top, bottom, margin):
    """The widest run of columns between top and bottom that no area's disc
    (with margin) reaches, inside the round window."""
    half = size / 2.0
    blocked = [False] * size
    for x in range(size):
        for y in (top, (top + bottom) / 2, bottom):
            if math.hypot(x + 0.5 - half, y - half) > half - margin:
                blocked[x] = True
            for l, t, r, b in areas:
                if math.hypot(x + 0.5 - (l + r) / 2, y - (t + b) / 2) < (r - l) / 2 + margin:
                    blocked[x] = True
    best, start = (0, 0), None
    for x in range(size + 1):
        if x < size and not blocked[x]:
            start = x if start is None else start
        elif start is not None:
            best = max(best, (x - start, start), key=lambda run: run[0])
            start = None
    return best[1], best[1] + best[0]


def title_word(pix, size, scene, areas, word="QUENDAR"):
    """The word in the free middle of the ring, as large as fits."""
    fill, outline = scene["title"]
    height = size * 0.066
    for _ in range(20):
        unit = height / 6.0
        advance = 5.4 * unit
        width = advance * len(word) - 1.4 * unit
        x0, x1 = free_band(size, areas, size / 2.0 - height / 2 - unit, size / 2.0 + height / 2 + unit, size * 0.02)
        if width <= x1 - x0:
            break
        height *= 0.95
    left = (x0 + x1) / 2.0 - width / 2
    top = size / 2.0 - height / 2
    segments = []
    for k, letter in enumerate(word):
        for stroke in LETTERS[letter]:
            pts = [(left + k * advance + x * unit, top + y * unit) for x, y in stroke]
            segments += list(zip(pts, pts[1:]))
    for width, colour in ((unit * 2.2, outline), (unit * 1.1, fill)):
        x0, x1 = int(left - width), int(left + advance * len(word) + width)
        y0, y1 = int(top - width), int(top + height + width) + 1
        for y in range(y0, y1):
            for x in range(x0, x1):
                px, py = x + 0.5, y + 0.5
                best = 1e9
                for (ax, ay), (bx, by) in segments:
                    vx, vy = bx - ax, by - ay
                    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy or 1)))
                    best = min(best, math.hypot(px - ax - t * vx, py - ay - t * vy))
                cover = min(1.0, max(0.0, width / 2 + 0.5 - best))
                if cover > 0:
                    pix[y * size + x] = mix(pix[y * size + x], colour, cover)


def area_disc(pix, size, rect, motif, paper):
    """One area: a light disc with a white rim and its pattern, drawn at
    SUPER times the resolution and averaged down."""
    left, top, right, bottom = rect
    diameter = right - left
    n = (diameter + 2) * SUPER
    canvas = Canvas(n)
    MOTIFS[motif](canvas)
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    radius = diameter / 2.0 + 1
    ox, oy = left - 1, top - 1
    ring = max(1.5, diameter / 40.0)
    for y in range(top - 1, bottom + 1):
        for x in range(left - 1, right + 1):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            inside = min(1.0, max(0.0, radius + 0.5 - d))
            if inside <= 0:
                continue
            r = g = b = 0
            for sy in range(SUPER):
                row = ((y - oy) * SUPER + sy) * n + (x - ox) * SUPER
                for sx in range(SUPER):
                    c = canvas.pix[row + sx]
                    pr, pg, pb = parts(paper if c is None else c)
                    r, g, b = r + pr, g + pg, b + pb
                k = SUPER * SUPER
                colour = rgb(r / k + 0.5, g / k + 0.5, b / k + 0.5)
            # The white rim round the disc, with a soft inner edge.
            rim = min(1.0, max(0.0, d - (radius - ring) + 0.5))
            colour = mix(colour, 0xFFFFFF, rim)
            i = y * size + x
            pix[i] = mix(pix[i], colour, inside)


# ---- Palette

def median_cut(histogram, boxes_wanted):
    """histogram: {15-bit key: count}. Returns up to boxes_wanted colours."""
    boxes = [list(histogram.items())]
    while len(boxes) < boxes_wanted:
        best, best_range, best_channel = None, 0, 0
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [(k >> (10 - 5 * channel)) & 31 for k, _ in box]
                spread = (max(values) - min(values)) * math.log(2 + sum(c for _, c in box))
                if spread > best_range:
                    best, best_range, best_channel = index, spread, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda kc: (kc[0] >> (10 - 5 * best_channel)) & 31)
        total, running, cut = sum(c for _, c in box), 0, 1
        for cut in range(1, len(box)):
            running += box[cut - 1][1]
            if running * 2 >= total:
                break
        boxes += [box[:cut], box[cut:]]
    return boxes


def quantise(pix, cover, exact_of):
    """Palette entry 0 is the cover colour; the rest come from the pixels."""
    histogram = {}
    for c in pix:
        if c != cover:
            key = ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | (c >> 3) & 31
            histogram[key] = histogram.get(key, 0) + 1
    boxes = median_cut(histogram, 255)
    palette = [cover]
    for box in boxes:
        weight = sum(exact_of[k][3] for k, _ in box)
        colour = rgb(*(sum(exact_of[k][ch] for k, _ in box) / weight + 0.5 for ch in range(3)))
        if colour == cover:  # the cover colour stays unique
            colour ^= 1
        palette.append(colour)
    index_of = {}
    for box_index, box in enumerate(boxes):
        for k, _ in box:
            index_of[k] = box_index + 1
    out = bytearray(len(pix))
    for i, c in enumerate(pix):
        if c != cover:
            out[i] = index_of[((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | (c >> 3) & 31]
    return palette, out


def exact_sums(pix, cover):
    """Per 15-bit key the summed red, green, blue and the count."""
    sums = {}
    for c in pix:
        if c == cover:
            continue
        key = ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | (c >> 3) & 31
        s = sums.setdefault(key, [0, 0, 0, 0])
        r, g, b = parts(c)
        s[0] += r * 1
        s[1] += g
        s[2] += b
        s[3] += 1
    return {k: (s[0], s[1], s[2], s[3]) for k, s in sums.items()}


def bmp8(size, palette, indices):
    stride = (size + 3) // 4 * 4
    rows = b"".join(bytes(indices[y * size:(y + 1) * size]) + bytes(stride - size) for y in reversed(range(size)))
    palette = palette + [0] * (256 - len(palette))
    table = b"".join(struct.pack("<BBBB", c & 255, (c >> 8) & 255, (c >> 16) & 255, 0) for c in palette)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + table + rows


def picture(size, areas, scene):
    pix = background(size, scene)
    sunflower_dots(pix, size, areas)
    title_word(pix, size, scene, areas)
    for index, rect in enumerate(areas):
        motif, paper = scene["areas"][index]
        area_disc(pix, size, rect, motif, paper)
    return pix


def main():
    scene = read_scene()
    os.makedirs(OUTPUT, exist_ok=True)
    cover = scene["cover"][0]
    for resource_id, size, layout in PICTURES:
        pix = picture(size, read_areas(layout), scene)
        palette, indices = quantise(pix, cover, exact_sums(pix, cover))
        with open(os.path.join(OUTPUT, "%d.bmp" % resource_id), "wb") as out:
            out.write(bmp8(size, palette, indices))
        print("wrote %d.bmp (%d colours)" % (resource_id, len(palette)))


if __name__ == "__main__":
    main()
