#!/usr/bin/env python3
"""Draws the Kanvel installer's artwork into res/ with the standard library only.

Every picture is drawn procedurally: shapes are rasterised at 4 times the final
size (icons 8 times) and box-filtered down, which anti-aliases them. The letters
come from a small stroke font defined below. Output: 24-bit uncompressed BMP
files and one ICO (16x16 and 32x32, 32-bit BGRA with an AND mask).

    python3 tools/artwork/make_artwork.py [--out DIR] [--preview DIR]

--preview also writes every picture as PNG (enlarged 4x) for looking at it.
"""

import argparse
import math
import pathlib
import struct
import zlib

# Palette: a calm engineering look on the Windows dialog face colour.
FACE = (0xF0, 0xF0, 0xF0)
WHITE = (0xFF, 0xFF, 0xFF)
PAPER = (0xFC, 0xFD, 0xFE)
NAVY = (0x1B, 0x36, 0x5D)
DEEP_NAVY = (0x12, 0x25, 0x42)
STEEL = (0x4A, 0x6F, 0xA5)
LIGHT_STEEL = (0xB8, 0xC7, 0xD9)
TEAL = (0x1F, 0x9A, 0x94)
LIGHT_TEAL = (0x8F, 0xD3, 0xCB)
RED = (0xC6, 0x3B, 0x3B)


def mix(c1, c2, t):
    """Colour between c1 (t=0) and c2 (t=1)."""
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


class Canvas:
    """A picture drawn at ss times its size, with premultiplied RGBA floats."""

    def __init__(self, width, height, background=FACE, ss=4):
        self.width, self.height, self.ss = width, height, ss
        self.hw, self.hh = width * ss, height * ss
        n = self.hw * self.hh
        alpha = 0.0 if background is None else 1.0
        r, g, b = background or (0, 0, 0)
        self.rgba = [[r] * n, [g] * n, [b] * n, [alpha] * n]

    def mask(self):
        return Mask(self)

    def paint(self, mask, colour, alpha=1.0):
        """Lays colour over the canvas where the mask is set. colour is an RGB
        tuple or a function of (x, y) in final pixels giving one."""
        r, g, b, a = self.rgba
        m, ss = mask.values, self.ss
        for y in range(mask.top, mask.bottom):
            row = y * self.hw
            for x in range(mask.left, mask.right):
                cover = m[row + x] * alpha
                if cover <= 0.0:
                    continue
                cr, cg, cb = colour((x + 0.5) / ss, (y + 0.5) / ss) if callable(colour) else colour
                i, keep = row + x, 1.0 - cover
                r[i] = cr * cover + r[i] * keep
                g[i] = cg * cover + g[i] * keep
                b[i] = cb * cover + b[i] * keep
                a[i] = cover + a[i] * keep

    def fill(self, colour, alpha=1.0):
        self.paint(self.mask().rect(0, 0, self.width, self.height), colour, alpha)

    def pixels(self):
        """The final picture: rows top-down of (r, g, b, a), colour not premultiplied."""
        ss, hw, area = self.ss, self.hw, float(self.ss * self.ss)
        out = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                sums = [0.0, 0.0, 0.0, 0.0]
                for sy in range(y * ss, y * ss + ss):
                    base = sy * hw + x * ss
                    for c in range(4):
                        sums[c] += sum(self.rgba[c][base:base + ss])
                alpha = sums[3] / area
                scale = 1.0 / sums[3] if sums[3] > 0 else 0.0
                row.append(tuple(min(255, max(0, round(s * scale))) for s in sums[:3])
                           + (min(255, round(alpha * 255)),))
            out.append(row)
        return out


class Mask:
    """Coverage (0..1) per supersample; shapes are added as horizontal spans.
    Coordinates are in final pixels, (0, 0) the top-left corner of the picture."""

    def __init__(self, canvas):
        self.c = canvas
        self.values = [0.0] * (canvas.hw * canvas.hh)
        self.left, self.top, self.right, self.bottom = canvas.hw, canvas.hh, 0, 0

    def _rows(self, y0, y1):
        """Supersample rows whose centres lie in [y0, y1], with their centre y."""
        ss = self.c.ss
        first = max(0, math.ceil(y0 * ss - 0.5))
        last = min(self.c.hh - 1, math.floor(y1 * ss - 0.5))
        return ((row, (row + 0.5) / ss) for row in range(first, last + 1))

    def _span(self, row, x0, x1, value):
        ss = self.c.ss
        first = max(0, math.ceil(x0 * ss - 0.5))
        last = min(self.c.hw - 1, math.floor(x1 * ss - 0.5))
        if last < first:
            return
        base = row * self.c.hw
        self.values[base + first:base + last + 1] = [value] * (last - first + 1)
        self.left, self.right = min(self.left, first), max(self.right, last + 1)
        self.top, self.bottom = min(self.top, row), max(self.bottom, row + 1)

    def rect(self, x0, y0, x1, y1, value=1.0):
        for row, _ in self._rows(y0, y1):
            self._span(row, x0, x1, value)
        return self

    def ellipse(self, cx, cy, rx, ry, value=1.0):
        for row, y in self._rows(cy - ry, cy + ry):
            dx = rx * math.sqrt(max(0.0, 1.0 - ((y - cy) / ry) ** 2))
            self._span(row, cx - dx, cx + dx, value)
        return self

    def circle(self, cx, cy, r, value=1.0):
        return self.ellipse(cx, cy, r, r, value)

    def ring(self, cx, cy, r, width):
        return self.circle(cx, cy, r + width / 2).circle(cx, cy, r - width / 2, value=0.0)

    def polygon(self, points, value=1.0):
        """Even-odd fill of a closed polygon."""
        ys = [p[1] for p in points]
        edges = list(zip(points, points[1:] + points[:1]))
        for row, y in self._rows(min(ys), max(ys)):
            xs = sorted(x0 + (y - y0) * (x1 - x0) / (y1 - y0)
                        for (x0, y0), (x1, y1) in edges if (y0 <= y) != (y1 <= y))
            for xa, xb in zip(xs[::2], xs[1::2]):
                self._span(row, xa, xb, value)
        return self

    def round_rect(self, x0, y0, x1, y1, radius, value=1.0):
        for row, y in self._rows(y0, y1):
            dy = max(0.0, y0 + radius - y, y - (y1 - radius))
            inset = radius - math.sqrt(max(0.0, radius * radius - dy * dy))
            self._span(row, x0 + inset, x1 - inset, value)
        return self

    def line(self, x0, y0, x1, y1, width, value=1.0, caps=True):
        """A straight stroke; round caps unless caps is False."""
        length = math.hypot(x1 - x0, y1 - y0)
        if length > 0:
            nx, ny = (y0 - y1) / length * width / 2, (x1 - x0) / length * width / 2
            self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                          (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], value)
        if caps or length == 0:
            self.circle(x0, y0, width / 2, value).circle(x1, y1, width / 2, value)
        return self

    def polyline(self, points, width, value=1.0, closed=False):
        pts = points + points[:1] if closed else points
        for p, q in zip(pts, pts[1:]):
            self.line(*p, *q, width, value)
        if len(pts) == 1:
            self.circle(*pts[0], width / 2, value)
        return self

    def dashed(self, x0, y0, x1, y1, width, dash=3.0, gap=2.0):
        length = math.hypot(x1 - x0, y1 - y0)
        at = 0.0
        while at < length:
            t0, t1 = at / length, min(at + dash, length) / length
            self.line(x0 + (x1 - x0) * t0, y0 + (y1 - y0) * t0,
                      x0 + (x1 - x0) * t1, y0 + (y1 - y0) * t1, width, caps=False)
            at += dash + gap
        return self

    def blurred(self, radius):
        """A copy softened by three box blurs of the given radius (final pixels)."""
        out = Mask(self.c)
        r = max(1, round(radius * self.c.ss / 3))
        pad = 3 * r + 1
        out.left, out.top = max(0, self.left - pad), max(0, self.top - pad)
        out.right, out.bottom = min(self.c.hw, self.right + pad), min(self.c.hh, self.bottom + pad)
        v, hw = self.values[:], self.c.hw
        for step, lo, hi, lines in ((1, out.left, out.right, range(out.top, out.bottom)),
                                    (hw, out.top, out.bottom, range(out.left, out.right))):
            for line in lines:
                base = line * hw if step == 1 else line
                for _ in range(3):
                    src = [v[base + i * step] for i in range(lo, hi)]
                    total, n = 0.0, len(src)
                    for i in range(min(r, n)):
                        total += src[i]
                    for i in range(n):
                        if i + r < n:
                            total += src[i + r]
                        if i - r - 1 >= 0:
                            total -= src[i - r - 1]
                        v[base + (lo + i) * step] = total / (2 * r + 1)
        out.values = v
        return out


def arc(cx, cy, rx, ry, start, end, steps=24):
    """Points along an ellipse arc; angles in degrees, counter-clockwise, y up."""
    count = max(2, int(steps * abs(end - start) / 360) + 1)
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / (count - 1))),
             cy + ry * math.sin(math.radians(start + (end - start) * i / (count - 1))))
            for i in range(count)]


# A small geometric stroke font. Units: baseline at y=0, x-height 1, y up.
# Each glyph: (advance width, list of polylines).
CAP = 1.42
FONT = {
    "K": (0.92, [[(0, 0), (0, CAP)], [(0.9, CAP), (0, 0.5)], [(0.3, 0.8), (0.92, 0)]]),
    "V": (1.06, [[(0, CAP), (0.53, 0), (1.06, CAP)]]),
    "a": (0.98, [arc(0.48, 0.5, 0.48, 0.5, 0, 360), [(0.98, 0), (0.98, 1)]]),
    "e": (0.98, [[(0.02, 0.5), (0.98, 0.5)] + arc(0.5, 0.5, 0.48, 0.5, 0, 312)]),
    "i": (0.0, [[(0, 0), (0, 1)], [(0, 1.38)]]),
    "l": (0.0, [[(0, 0), (0, 1.5)]]),
    "m": (1.36, [[(0, 0), (0, 1)], [(0, 0.62)] + arc(0.34, 0.62, 0.34, 0.38, 180, 0, 16)
                 + [(0.68, 0)], [(0.68, 0.62)] + arc(1.02, 0.62, 0.34, 0.38, 180, 0, 16)
                 + [(1.36, 0)]]),
    "n": (0.86, [[(0, 0), (0, 1)], [(0, 0.52)] + arc(0.43, 0.52, 0.43, 0.48, 180, 0)
                 + [(0.86, 0)]]),
    "r": (0.5, [[(0, 0), (0, 1)], arc(0.5, 0.45, 0.5, 0.55, 180, 88, 16)]),
    "v": (0.92, [[(0, 1), (0.46, 0), (0.92, 1)]]),
}


def text_width(text, size, stroke, spacing):
    return sum(FONT[ch][0] * size + stroke + spacing for ch in text) - spacing


def draw_text(mask, text, x, baseline, size, stroke, spacing):
    """Adds text to a mask: size is the x-height in pixels, x the left ink edge."""
    x += stroke / 2
    for ch in text:
        advance, strokes = FONT[ch]
        for points in strokes:
            mask.polyline([(x + px * size, baseline - stroke / 2 - py * (size - stroke))
                           for px, py in points], stroke)
        x += advance * size + stroke + spacing
    return mask


def k_mark(canvas, x, y, size, tile=NAVY, letter=WHITE, accent=LIGHT_TEAL):
    """The Kanvel mark: a stylised K in a rounded square. Drawn on a 16-unit
    grid, so that at 16 and 32 pixels the stem sits on whole pixels."""
    s = size / 16.0

    def shape(points):
        return canvas.mask().polygon([(x + px * s, y + py * s) for px, py in points])

    top_tint = mix(tile, STEEL, 0.55)
    canvas.paint(canvas.mask().round_rect(x, y, x + size, y + size, 3.2 * s),
                 lambda px, py: mix(top_tint, tile, min(1.0, (py - y) / size * 1.4)))
    canvas.paint(shape([(7.0, 9.4), (8.4, 8.0), (12.4, 12), (9.6, 12)]), accent)  # leg
    canvas.paint(shape([(4, 4), (6.2, 4), (6.2, 12), (4, 12)]), letter)  # stem
    canvas.paint(shape([(9.6, 4), (12.4, 4), (6.2, 10.2), (6.2, 7.4)]), letter)  # arm


def draw_header():
    c = Canvas(730, 30)
    c.fill(lambda x, y: mix(mix((0xFB, 0xFC, 0xFD), (0xEC, 0xF0, 0xF4), y / 30),
                            mix((0xF6, 0xF8, 0xFA), (0xE2, 0xE8, 0xEF), y / 30),
                            min(1.0, x / 600)))
    # A faint drawing-scale along the bottom edge, fading in toward the right.
    for i in range(0, 118):
        x = 2.5 + i * 5
        tall = 7 if i % 10 == 0 else 4 if i % 5 == 0 else 2
        c.paint(c.mask().rect(x, 29 - tall, x + 1, 29), STEEL, 0.05 + 0.3 * (x / 590) ** 2)
    c.paint(c.mask().rect(0, 29, 730, 30), LIGHT_STEEL)
    # The dark accent with a teal edge.
    c.paint(c.mask().polygon([(566, 30), (580, 0), (586, 0), (572, 30)]), TEAL)
    c.paint(c.mask().polygon([(576, 30), (590, 0), (730, 0), (730, 30)]),
            lambda x, y: mix(mix(STEEL, NAVY, 0.55), DEEP_NAVY, (x - 576) / 154))
    k_mark(c, 611, 5, 20, tile=STEEL)
    c.paint(draw_text(c.mask(), "Kanvel", 640, 22, 9.6, 2.1, 1.4), WHITE)
    return c


def draw_logo():
    c = Canvas(112, 36)
    # The mark: a divider (the drafting tool) whose legs draw a V.
    c.paint(c.mask().round_rect(1, 5, 27, 31, 5.5), lambda x, y: mix(STEEL, NAVY, (y - 5) / 20))
    c.paint(c.mask().polyline([(8, 11.5), (14, 25), (20, 11.5)], 3.0), WHITE)
    c.paint(c.mask().line(6.5, 10, 21.5, 10, 1.5), LIGHT_TEAL)
    c.paint(c.mask().circle(14, 25, 2.2), LIGHT_TEAL)
    size, stroke, spacing = 9.4, 1.8, 1.2
    left = 110.5 - text_width("Velmarin", size, stroke, spacing)
    c.paint(draw_text(c.mask(), "Velmarin", left, 25, size, stroke, spacing), NAVY)
    return c


def drawing_sheet(c, x0, y0, x1, y1, shadow=True):
    """A white drawing sheet with a frame and a title block."""
    if shadow:
        shade = c.mask().rect(x0 + 1.5, y0 + 2.5, x1 + 1.5, y1 + 2.5).blurred(2.5)
        c.paint(shade, DEEP_NAVY, 0.28)
    c.paint(c.mask().rect(x0, y0, x1, y1), PAPER)
    c.paint(c.mask().rect(x0, y0, x1, y1).rect(x0 + 0.8, y0 + 0.8, x1 - 0.8, y1 - 0.8, 0.0),
            LIGHT_STEEL)
    f = 3.0 * (x1 - x0) / 100
    c.paint(c.mask().polyline([(x0 + f, y0 + f), (x1 - f, y0 + f), (x1 - f, y1 - f),
                               (x0 + f, y1 - f)], 0.7, closed=True), STEEL)
    tb_w, tb_h = (x1 - x0) * 0.42, (y1 - y0) * 0.2
    tx, ty = x1 - f - tb_w, y1 - f - tb_h
    block = c.mask().polyline([(tx, y1 - f), (tx, ty), (x1 - f, ty)], 0.7)
    block.line(tx, ty + tb_h / 2, x1 - f, ty + tb_h / 2, 0.5)
    block.line(tx + tb_w * 0.45, ty, tx + tb_w * 0.45, y1 - f, 0.5)
    c.paint(block, STEEL)


def draw_finished():
    c = Canvas(300, 100)
    # The sheet, with a flange drawn on it: front view, side view, a dimension.
    x0 = 68
    drawing_sheet(c, x0, 10, x0 + 128, 92)
    cx, cy, sx = x0 + 35, 44, x0 + 70
    lines = c.mask().ring(cx, cy, 21, 1.3).ring(cx, cy, 8, 1.1)
    for k in range(6):
        a = math.radians(30 + 60 * k)
        lines.ring(cx + 14.5 * math.cos(a), cy + 14.5 * math.sin(a), 2.6, 0.9)
    lines.rect(sx, cy - 21, sx + 8, cy + 21).rect(sx + 1.2, cy - 19.8, sx + 6.8, cy + 19.8, 0.0)
    lines.rect(sx + 8, cy - 11, sx + 20, cy + 11).rect(sx + 8, cy - 9.8, sx + 18.8, cy + 9.8, 0.0)
    c.paint(lines, NAVY)
    axes = c.mask().dashed(cx - 26, cy, cx + 26, cy, 0.5, 4, 1.5)
    axes.dashed(cx, cy - 26, cx, cy + 26, 0.5, 4, 1.5).dashed(sx - 4, cy, sx + 24, cy, 0.5, 4, 1.5)
    c.paint(axes, TEAL)
    left, right, y = cx - 21, cx + 21, 72
    dims = c.mask().line(left, y, right, y, 0.5).line(left, y - 4, left, y + 3, 0.5)
    dims.line(right, y - 4, right, y + 3, 0.5)
    dims.polygon([(left, y), (left + 4, y - 1.4), (left + 4, y + 1.4)])
    dims.polygon([(right, y), (right - 4, y - 1.4), (right - 4, y + 1.4)])
    c.paint(dims, STEEL)
    # The check mark badge, over the sheet's lower right corner.
    bx, by, br = x0 + 136, 64, 27
    c.paint(c.mask().circle(bx + 1, by + 2.5, br + 1).blurred(3), DEEP_NAVY, 0.3)
    c.paint(c.mask().circle(bx, by, br + 2.5), FACE)
    top, bottom = mix(TEAL, LIGHT_TEAL, 0.35), mix(TEAL, DEEP_NAVY, 0.2)
    c.paint(c.mask().circle(bx, by, br), lambda x, y: mix(top, bottom, (y - by + br) / (2 * br)))
    c.paint(c.mask().polyline([(bx - 12, by + 0.5), (bx - 3.5, by + 9.5), (bx + 13, by - 9)], 5.6),
            WHITE)
    return c


def ground_shadow(c, cx, y, rx):
    c.paint(c.mask().ellipse(cx, y, rx, 3).blurred(2.5), DEEP_NAVY, 0.22)


def draw_edition_drafting():
    c = Canvas(104, 70)
    ground_shadow(c, 52, 63, 34)
    drawing_sheet(c, 20, 8, 84, 62, shadow=False)
    plan = c.mask().polyline([(28, 16), (60, 16), (60, 30), (72, 30), (72, 44), (28, 44)],
                             1.1, closed=True)
    plan.line(44, 16, 44, 44, 0.7).line(28, 30, 44, 30, 0.7)
    c.paint(plan, NAVY)
    c.paint(c.mask().circle(52, 37, 3.3).circle(52, 37, 2.4, 0.0), TEAL)
    # A ruler laid across the sheet.
    ruler = [(30, 60), (86, 33), (90, 41), (34, 68)]
    c.paint(c.mask().polygon([(x + 1, y + 1.5) for x, y in ruler]).blurred(1.5), DEEP_NAVY, 0.3)
    c.paint(c.mask().polygon(ruler), lambda x, y: mix(LIGHT_TEAL, TEAL, (x - 30) / 60))
    ticks = c.mask()
    for i in range(1, 12):
        t = i / 12
        bx, by = 30 + 56 * t, 60 - 27 * t
        size = 3.2 if i % 3 == 0 else 1.8
        ticks.line(bx, by, bx + size * 0.43, by + size * 0.9, 0.6, caps=False)
    c.paint(ticks, WHITE)
    return c


def draw_edition_wireframe():
    c = Canvas(104, 70)
    ground_shadow(c, 52, 61, 30)
    # A cube seen from above and turned: visible faces tinted, hidden edges dashed.
    yaw, pitch, k, ox, oy = math.radians(32), math.radians(24), 17, 52, 33
    corners = [(x, y, z) for x in (-1, 1) for y in (-1, 1) for z in (-1, 1)]

    def turned(x, y, z):
        cy, sy, cp, sp = math.cos(yaw), math.sin(yaw), math.cos(pitch), math.sin(pitch)
        x, z = x * cy + z * sy, -x * sy + z * cy
        return x, y * cp - z * sp, y * sp + z * cp

    def screen(v):
        x, y, _ = turned(*v)
        return ox + x * k, oy - y * k

    faces = []
    for axis, tint, alpha in ((1, WHITE, 0.9), (0, LIGHT_STEEL, 0.5), (2, LIGHT_TEAL, 0.6)):
        for sign in (-1, 1):
            normal = [0, 0, 0]
            normal[axis] = sign
            if turned(*normal)[2] > 0:
                quad = []
                for a, b in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                    v = [a, b]
                    v.insert(axis, sign)
                    quad.append(tuple(v))
                faces.append(quad)
                c.paint(c.mask().polygon([screen(v) for v in quad]), tint, alpha)
    visible = {frozenset(e) for quad in faces for e in zip(quad, quad[1:] + quad[:1])}
    hidden, edges = c.mask(), c.mask()
    for u in corners:
        for v in corners:
            if u < v and sum(a != b for a, b in zip(u, v)) == 1:
                if frozenset((u, v)) in visible:
                    edges.line(*screen(u), *screen(v), 1.5)
                else:
                    hidden.dashed(*screen(u), *screen(v), 0.8, 2.2, 1.6)
    c.paint(hidden, STEEL)
    c.paint(edges, NAVY)
    vertices = c.mask()
    for quad in faces:
        for v in quad:
            vertices.circle(*screen(v), 1.8)
    c.paint(vertices, TEAL)
    return c


def draw_edition_database():
    c = Canvas(104, 70)
    ground_shadow(c, 52, 62, 26)
    cx, rx, ry = 52, 22, 6.5
    levels, bottom = (16, 30, 44), 57
    body = c.mask().rect(cx - rx, levels[0], cx + rx, bottom).ellipse(cx, bottom, rx, ry)
    c.paint(body, lambda x, y: mix(mix(STEEL, NAVY, 0.3), NAVY, abs(x - cx) / rx))
    for y in levels[1:]:
        c.paint(c.mask().ellipse(cx, y, rx, ry).ellipse(cx, y - 1.3, rx, ry, 0.0)
                .rect(cx - rx, y - 20, cx + rx, y - 0.2, 0.0), LIGHT_TEAL)
    top = c.mask().ellipse(cx, levels[0], rx, ry)
    c.paint(top, mix(LIGHT_STEEL, WHITE, 0.5))
    c.paint(top.ellipse(cx, levels[0], rx - 1, ry - 1, 0.0), STEEL)
    leds = c.mask()
    for y in levels:
        leds.circle(cx + rx - 7, y + 8.5, 1.4)
    c.paint(leds, LIGHT_TEAL)
    return c


def gear_points(cx, cy, teeth, r_root, r_tip):
    points = []
    for k in range(teeth):
        base = 360.0 * k / teeth
        for frac, r in ((0.0, r_root), (0.18, r_tip), (0.5, r_tip), (0.68, r_root)):
            a = math.radians(base + frac * 360.0 / teeth)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def draw_edition_gear():
    c = Canvas(104, 70)
    ground_shadow(c, 52, 63, 32)
    big = c.mask().polygon(gear_points(44, 34, 12, 18, 23)).circle(44, 34, 6.5, 0.0)
    c.paint(big, lambda x, y: mix(STEEL, NAVY, (y - 11) / 46))
    c.paint(c.mask().ring(44, 34, 12.5, 1.0), LIGHT_STEEL)
    small = c.mask().polygon(gear_points(73, 45, 8, 10, 14)).circle(73, 45, 4, 0.0)
    c.paint(small, lambda x, y: mix(LIGHT_TEAL, TEAL, (y - 31) / 28))
    axes = c.mask().dashed(16, 34, 88, 34, 0.6, 4, 1.5).dashed(44, 6, 44, 62, 0.6, 4, 1.5)
    c.paint(axes, TEAL, 0.8)
    return c


def draw_icon(size):
    c = Canvas(size, size, background=None, ss=8)
    k_mark(c, 0, 0, size)
    return c


def draw_close():
    c = Canvas(16, 16, ss=8)
    cross = c.mask().line(4, 4, 12, 12, 1.8, caps=False).line(12, 4, 4, 12, 1.8, caps=False)
    c.paint(cross, RED)
    return c


# --- file formats -----------------------------------------------------------

def bmp_bytes(pixels, background=FACE):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    rows = []
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            t = a / 255.0
            line += bytes(round(c * t + bg * (1 - t)) for c, bg in zip((b, g, r), background[::-1]))
        rows.append(bytes(line) + b"\0" * (stride - len(line)))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def ico_bytes(images):
    """A classic ICO: each image a 32-bit BGRA DIB plus its 1-bit AND mask."""
    blobs = []
    for pixels in images:
        size = len(pixels)
        xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for r, g, b, a in row)
        mask_stride = ((size + 31) // 32) * 4
        and_rows = []
        for row in reversed(pixels):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            and_rows.append(bytes(bits))
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                           len(xor) + mask_stride * size, 0, 0, 0, 0)
        blobs.append((size, info + xor + b"".join(and_rows)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in blobs)


def png_bytes(pixels, scale=4):
    """A preview PNG (RGBA), enlarged scale times."""
    raw = b""
    for row in pixels:
        line = b"".join(bytes(p) * scale for p in row)
        raw += (b"\0" + line) * scale
    width, height = len(pixels[0]) * scale, len(pixels) * scale

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    head = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


PICTURES = {
    "header.bmp": draw_header,
    "logo.bmp": draw_logo,
    "finished.bmp": draw_finished,
    "edition1.bmp": draw_edition_drafting,
    "edition2.bmp": draw_edition_wireframe,
    "edition3.bmp": draw_edition_database,
    "edition4.bmp": draw_edition_gear,
    "close.bmp": draw_close,
}


def main():
    root = pathlib.Path(__file__).resolve().parents[2]
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=root / "res")
    parser.add_argument("--preview", type=pathlib.Path,
                        help="also write enlarged PNG previews here")
    args = parser.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    outputs = {name: draw().pixels() for name, draw in PICTURES.items()}
    for name, pixels in outputs.items():
        (args.out / name).write_bytes(bmp_bytes(pixels))
    icons = [draw_icon(16).pixels(), draw_icon(32).pixels()]
    (args.out / "Instalator.ico").write_bytes(ico_bytes(icons))
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        outputs.update({"icon16.ico": icons[0], "icon32.ico": icons[1]})
        for name, pixels in outputs.items():
            (args.preview / (name.rsplit(".", 1)[0] + ".png")).write_bytes(png_bytes(pixels))


if __name__ == "__main__":
    main()
