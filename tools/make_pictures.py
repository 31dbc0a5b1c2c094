#!/usr/bin/env python3
"""Draws Kolvane's icons and bitmaps and writes them under resources/pictures.

Every picture is drawn here from simple shapes (rectangles, discs, polygons,
strokes), with 4 x 4 supersampling for smooth edges, and written as .bmp or
.ico with the standard library only. Run it after changing a drawing and
commit the files it writes; `--check` verifies that the committed files are
what the script draws (the Windows build runs it as a test).

    python3 tools/make_pictures.py            # write the pictures
    python3 tools/make_pictures.py --check    # compare, exit 1 on a difference
"""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.join(HERE, "..", "resources", "pictures")
SUPERSAMPLE = 4


# --- Canvas -------------------------------------------------------------------

class Canvas:
    """RGBA pixels, (0, 0) at the top left. Shapes are given in pixel units
    and may be fractional; each one is painted with its coverage."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(background) for _ in range(width * height)]

    def paint(self, inside, colour, box=None):
        """Paints the shape `inside(x, y) -> bool` with `colour` (RGB or RGBA)."""
        r, g, b = colour[:3]
        alpha = colour[3] if len(colour) > 3 else 255
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SUPERSAMPLE
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for sy in range(SUPERSAMPLE):
                    for sx in range(SUPERSAMPLE):
                        if inside(px + (sx + 0.5) * step, py + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self._blend(px, py, r, g, b, alpha * hits / (SUPERSAMPLE * SUPERSAMPLE))

    def _blend(self, x, y, r, g, b, a):
        p = self.pixels[y * self.width + x]
        src = a / 255.0
        dst = p[3] / 255.0
        out = src + dst * (1 - src)
        if out <= 0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = int(round((c * src + p[i] * dst * (1 - src)) / out))
        p[3] = int(round(out * 255))

    # Shapes ------------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, colour):
        self.paint(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour, (x0, y0, x1, y1))

    def frame(self, x0, y0, x1, y1, colour, width=1.0):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            return x < x0 + width or x >= x1 - width or y < y0 + width or y >= y1 - width
        self.paint(inside, colour, (x0, y0, x1, y1))

    def rounded_rect(self, x0, y0, x1, y1, radius, colour):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
        self.paint(inside, colour, (x0, y0, x1, y1))

    def ellipse(self, cx, cy, rx, ry, colour):
        self.paint(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, colour,
                   (cx - rx, cy - ry, cx + rx, cy + ry))

    def ring(self, cx, cy, r_out, r_in, colour):
        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            return r_in * r_in <= d <= r_out * r_out
        self.paint(inside, colour, (cx - r_out, cy - r_out, cx + r_out, cy + r_out))

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            crossings = False
            n = len(points)
            for i in range(n):
                ax, ay = points[i]
                bx, by = points[(i + 1) % n]
                if (ay > y) != (by > y):
                    t = (y - ay) / (by - ay)
                    if x < ax + t * (bx - ax):
                        crossings = not crossings
            return crossings
        self.paint(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def stroke(self, points, width, colour):
        """A polyline of the given width with round joins and ends."""
        half = width / 2.0
        segments = list(zip(points, points[1:]))
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            for (ax, ay), (bx, by) in segments:
                dx, dy = bx - ax, by - ay
                length2 = dx * dx + dy * dy
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
                qx, qy = ax + t * dx, ay + t * dy
                if (x - qx) ** 2 + (y - qy) ** 2 <= half * half:
                    return True
            return False
        self.paint(inside, colour, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))

    def arc(self, cx, cy, radius, start_deg, end_deg, width, colour, steps=24):
        points = []
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            # Rounded so that a last-digit difference between maths libraries
            # cannot change a pixel.
            points.append((round(cx + radius * math.cos(a), 4), round(cy - radius * math.sin(a), 4)))
        self.stroke(points, width, colour)

    def blit(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.pixels[(top + y) * self.width + left + x] = list(other.pixels[y * other.width + x])

    def flatten(self, background):
        """Composites on an opaque background colour; returns rows of RGB."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                f = a / 255.0
                row.append(tuple(int(round(c * f + bg * (1 - f))) for c, bg in zip((r, g, b), background)))
            rows.append(row)
        return rows


# --- File writers -----------------------------------------------------------

def bmp_bytes(rows):
    """A 24-bit bottom-up BMP of RGB rows."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def ico_bytes(canvases):
    """An icon file with one 32-bit image (alpha plus AND mask) per canvas."""
    images = []
    for canvas in canvases:
        w, h = canvas.width, canvas.height
        xor = bytearray()
        for y in reversed(range(h)):
            for x in range(w):
                r, g, b, a = canvas.pixels[y * w + x]
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(h)):
            line = bytearray(mask_stride)
            for x in range(w):
                if canvas.pixels[y * w + x][3] < 128:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask += line
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((w, h, info + bytes(xor) + bytes(mask)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, blob in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, _, blob in images:
        out += blob
    return bytes(out)


# --- Colours ------------------------------------------------------------------

WHITE = (255, 255, 255)
PAPER = (250, 250, 246)
OUTLINE = (70, 70, 80)
GREY = (150, 150, 160)
LIGHT_GREY = (205, 205, 212)
NAVY = (28, 56, 120)
BLUE = (40, 100, 200)
SKY = (120, 170, 235)
GOLD = (235, 180, 40)
DARK_GOLD = (170, 120, 20)
YELLOW = (250, 210, 90)
DARK_YELLOW = (200, 150, 40)
RED = (210, 40, 40)
GREEN = (40, 150, 60)
SCREEN = (180, 215, 170)


# --- Icons --------------------------------------------------------------------

def draw_main_icon(size):
    """A blue ledger with a gold coin: the program's window icon."""
    c = Canvas(size, size)
    s = size / 32.0
    c.rounded_rect(2 * s, 3 * s, 26 * s, 29 * s, 3 * s, NAVY)
    c.rounded_rect(5 * s, 3 * s, 26 * s, 29 * s, 2.5 * s, BLUE)
    # Pages seen from the edge.
    c.rect(24 * s, 5 * s, 26 * s, 27 * s, PAPER)
    # The letter K on the cover.
    c.stroke([(10 * s, 8 * s), (10 * s, 23 * s)], 3.2 * s, WHITE)
    c.stroke([(19 * s, 8 * s), (11 * s, 16 * s), (19 * s, 23 * s)], 3.2 * s, WHITE)
    # A coin over the corner.
    c.ellipse(24 * s, 23.5 * s, 7.5 * s, 7.5 * s, DARK_GOLD)
    c.ellipse(24 * s, 23.5 * s, 6.2 * s, 6.2 * s, GOLD)
    c.ring(24 * s, 23.5 * s, 4.4 * s, 3.4 * s, DARK_GOLD)
    return c


def draw_coins_icon(size):
    """A stack of gold coins: the emblem shown in the views."""
    c = Canvas(size, size)
    s = size / 32.0
    tops = (23, 18, 13, 8)
    for i, top in enumerate(tops):
        cy = top * s
        c.ellipse(16 * s, cy + 3.5 * s, 12 * s, 4.5 * s, DARK_GOLD)
        c.rect(4 * s, cy, 28 * s, cy + 3.5 * s, DARK_GOLD)
        c.ellipse(16 * s, cy, 12 * s, 4.5 * s, GOLD)
        if i == len(tops) - 1:
            c.ellipse(16 * s, cy, 8 * s, 2.8 * s, DARK_GOLD)
            c.ellipse(16 * s, cy + 0.4 * s, 7 * s, 2.2 * s, YELLOW)
    return c


# --- Toolbar images (18 x 18 each, white is transparent) ------------------------

def page(c, x0, y0, x1, y1, fold=4):
    c.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], OUTLINE)
    c.polygon([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
               (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], PAPER)
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], GREY)


def tool_blank_page(c):
    page(c, 3, 1, 15, 17)


def tool_open_folder(c):
    c.polygon([(1, 4), (6, 4), (7.5, 6), (14, 6), (14, 15), (1, 15)], DARK_YELLOW)
    c.polygon([(2, 7), (17, 7), (14, 15), (1, 15)], OUTLINE)
    c.polygon([(3, 8), (15.6, 8), (13.3, 14), (2.2, 14)], YELLOW)


def tool_diskette(c):
    c.polygon([(2, 2), (14, 2), (16, 4), (16, 16), (2, 16)], NAVY)
    c.rect(5, 2, 13, 7, LIGHT_GREY)
    c.rect(10, 3, 12, 6, NAVY)
    c.rect(4, 10, 14, 16, (240, 240, 236))
    c.rect(5, 12, 13, 13, GREY)


def tool_calculator(c):
    c.rounded_rect(3, 1, 15, 17, 1.5, OUTLINE)
    c.rect(4, 2, 14, 16, LIGHT_GREY)
    c.rect(5, 3, 13, 6, SCREEN)
    for row in range(3):
        for col in range(3):
            x = 5 + col * 3
            y = 8 + row * 3
            c.rect(x, y, x + 2, y + 2, NAVY if col < 2 else RED)


def tool_page_with_cross(c):
    page(c, 2, 1, 14, 17)
    c.stroke([(8, 8), (16, 16)], 2.4, RED)
    c.stroke([(16, 8), (8, 16)], 2.4, RED)


def tool_person(c):
    c.ellipse(9, 5.5, 3.6, 3.8, (230, 185, 150))
    c.polygon([(2, 17), (3, 12), (6, 10), (12, 10), (15, 12), (16, 17)], BLUE)
    c.polygon([(8, 10), (10, 10), (9, 13)], PAPER)


def tool_undo(c):
    c.arc(9, 10, 5.5, 160, -100, 2.4, NAVY)
    c.polygon([(0.5, 6), (7, 4), (5, 11)], NAVY)


def tool_redo(c):
    c.arc(9, 10, 5.5, 20, 280, 2.4, NAVY)
    c.polygon([(17.5, 6), (11, 4), (13, 11)], NAVY)


def tool_tick_p(c):
    # The letter P in dark blue, a red tick across it.
    c.stroke([(4, 16), (4, 2), (8, 2)], 2.4, NAVY)
    c.arc(8, 5.5, 3.5, 90, -90, 2.4, NAVY)
    c.stroke([(4, 9), (8, 9)], 2.4, NAVY)
    c.stroke([(7, 12), (10, 15.5), (16.5, 5)], 2.6, RED)


def tool_windows(c):
    for x, y in ((1, 1), (6, 6)):
        c.rect(x, y, x + 11, y + 11, OUTLINE)
        c.rect(x + 1, y + 1, x + 10, y + 3, BLUE)
        c.rect(x + 1, y + 3, x + 10, y + 10, PAPER)


def tool_blue_cross(c):
    c.stroke([(3, 3), (15, 15)], 3.2, BLUE)
    c.stroke([(15, 3), (3, 15)], 3.2, BLUE)


def tool_printer(c):
    c.rect(5, 1, 13, 7, OUTLINE)
    c.rect(6, 2, 12, 7, PAPER)
    c.rounded_rect(1, 6, 17, 14, 1.5, GREY)
    c.rect(2, 7, 16, 13, LIGHT_GREY)
    c.rect(13, 8, 15, 9, GREEN)
    c.rect(4, 11, 14, 17, OUTLINE)
    c.rect(5, 11, 13, 16, PAPER)
    c.rect(6, 13, 12, 14, GREY)


def tool_copied_pages(c):
    page(c, 1, 1, 11, 14, fold=3)
    page(c, 6, 4, 17, 17, fold=3)
    for y in (9, 11, 13):
        c.rect(8, y, 14, y + 1, GREY)


def tool_page_with_pen(c):
    page(c, 2, 1, 13, 17)
    for y in (6, 8, 10):
        c.rect(4, y, 10, y + 1, GREY)
    c.stroke([(16.5, 4), (8.5, 14)], 2.6, DARK_YELLOW)
    c.polygon([(7.4, 13), (9.6, 15), (6.5, 16.6)], OUTLINE)


TOOLBAR_IMAGES = [
    tool_blank_page, tool_open_folder, tool_diskette, tool_calculator,
    tool_page_with_cross, tool_person, tool_undo, tool_redo, tool_tick_p,
    tool_windows, tool_blue_cross, tool_printer, tool_copied_pages, tool_page_with_pen,
]


def draw_toolbar():
    strip = Canvas(18 * len(TOOLBAR_IMAGES), 18)
    for i, draw in enumerate(TOOLBAR_IMAGES):
        cell = Canvas(18, 18)
        draw(cell)
        strip.blit(cell, 18 * i, 0)
    return strip.flatten(WHITE)


# --- Tree images and pattern ----------------------------------------------------

def draw_folders():
    strip = Canvas(32, 16)
    closed = Canvas(16, 16)
    closed.polygon([(1, 3), (6, 3), (7.5, 5), (15, 5), (15, 14), (1, 14)], DARK_YELLOW)
    closed.rect(2, 6, 14, 13, YELLOW)
    opened = Canvas(16, 16)
    opened.polygon([(1, 3), (6, 3), (7.5, 5), (13, 5), (13, 14), (1, 14)], DARK_YELLOW)
    opened.rect(4, 1, 12, 10, OUTLINE)
    opened.rect(5, 2, 11, 10, PAPER)
    opened.rect(6, 4, 10, 5, GREY)
    opened.rect(6, 6, 10, 7, GREY)
    opened.polygon([(2, 8), (16, 8), (13.5, 14), (1, 14)], OUTLINE)
    opened.polygon([(3, 9), (14.5, 9), (12.8, 13), (2, 13)], YELLOW)
    strip.blit(closed, 0, 0)
    strip.blit(opened, 16, 0)
    return strip.flatten(WHITE)


def draw_pattern():
    """8 x 8 tile: a pale blue lattice of dots on ivory."""
    rows = []
    for y in range(8):
        row = []
        for x in range(8):
            if (x + y) % 4 == 0:
                row.append((222, 232, 246))
            else:
                row.append((250, 250, 244))
        rows.append(row)
    return rows


# --- Main -----------------------------------------------------------------------

def pictures():
    return {
        "main_window.ico": ico_bytes([draw_main_icon(n) for n in (16, 32, 48)]),
        "coins.ico": ico_bytes([draw_coins_icon(n) for n in (16, 20, 32, 48)]),
        "toolbar.bmp": bmp_bytes(draw_toolbar()),
        "pattern.bmp": bmp_bytes(draw_pattern()),
        "folders.bmp": bmp_bytes(draw_folders()),
    }


def main(argv):
    check = "--check" in argv[1:]
    stale = []
    os.makedirs(OUT_DIR, exist_ok=True)
    for name, data in pictures().items():
        path = os.path.join(OUT_DIR, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("pictures out of date: " + ", ".join(stale) + " (run tools/make_pictures.py)")
        return 1
    print("pictures up to date" if check else "pictures written to " + os.path.normpath(OUT_DIR))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
