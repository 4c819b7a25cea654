#!/usr/bin/env python3
"""Draws the program's built-in pictures into assets/*.png.

Shapes are filled with 4x4 supersampling for smooth edges; the result is
written as 8-bit RGBA PNG with nothing but the standard library. Run it from
the repository root after changing a picture: python3 tools/draw_assets.py
"""
import struct
import zlib

SS = 4  # supersampling factor per axis


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0)] * w for _ in range(h)]

    def blend(self, x, y, rgb, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        r0, g0, b0, a0 = self.px[y][x]
        a0 /= 255.0
        out_a = a + a0 * (1 - a)
        mix = lambda c, c0: (c * a + c0 * a0 * (1 - a)) / out_a
        self.px[y][x] = (round(mix(rgb[0], r0)), round(mix(rgb[1], g0)),
                         round(mix(rgb[2], b0)), round(out_a * 255))

    def fill(self, inside, rgb, alpha=1.0):
        """Fills every pixel by the share of its subsamples inside(x, y)."""
        for y in range(self.h):
            for x in range(self.w):
                hits = sum(inside(x + (i + 0.5) / SS, y + (j + 0.5) / SS)
                           for i in range(SS) for j in range(SS))
                self.blend(x, y, rgb, alpha * hits / (SS * SS))

    def rect(self, x0, y0, x1, y1, rgb, alpha=1.0, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 + 1e-9
        self.fill(inside, rgb, alpha)

    def polygon(self, pts, rgb, alpha=1.0):
        def inside(x, y):
            c = False
            for (xa, ya), (xb, yb) in zip(pts, pts[1:] + pts[:1]):
                if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    c = not c
            return c
        self.fill(inside, rgb, alpha)

    def circle(self, cx, cy, r, rgb, alpha=1.0):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, rgb, alpha)

    def save(self, path):
        raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in self.px)
        chunk = lambda t, d: (struct.pack(">I", len(d)) + t + d +
                              struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF))
        png = (b"\x89PNG\r\n\x1a\n" +
               chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
        with open(path, "wb") as f:
            f.write(png)


def outline_rect(c, x0, y0, x1, y1, edge, face, radius=0.0):
    c.rect(x0, y0, x1, y1, edge, radius=radius)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, face, radius=max(0.0, radius - 1))


def item_file():
    c = Canvas(32, 32)
    page = [(6, 2), (20, 2), (27, 9), (27, 30), (6, 30)]
    c.polygon(page, (110, 110, 120))
    c.polygon([(7, 3), (19.5, 3), (26, 9.5), (26, 29), (7, 29)], (250, 250, 252))
    c.polygon([(19, 2), (27, 10), (19, 10)], (200, 200, 210))
    for y in (14, 18, 22, 26):
        c.rect(10, y, 23, y + 1.2, (170, 180, 200))
    return c


def item_folder():
    c = Canvas(32, 32)
    c.polygon([(2, 7), (12, 7), (15, 10), (30, 10), (30, 28), (2, 28)], (196, 140, 30))
    c.polygon([(3, 8), (11.5, 8), (14.5, 11), (29, 11), (29, 27), (3, 27)], (240, 190, 70))
    c.polygon([(2, 13), (30, 13), (30, 28), (2, 28)], (214, 158, 40))
    c.polygon([(3, 14), (29, 14), (29, 27), (3, 27)], (252, 208, 96))
    return c


def item_parent():
    c = Canvas(32, 32)
    c.polygon([(16, 3), (28, 15), (21, 15), (21, 29), (11, 29), (11, 15), (4, 15)], (40, 110, 60))
    c.polygon([(16, 5.5), (25.5, 14), (20, 14), (20, 28), (12, 28), (12, 14), (6.5, 14)],
              (90, 180, 100))
    return c


def drive(kind):
    c = Canvas(30, 20)
    if kind == "hdd":
        outline_rect(c, 1, 3, 29, 18, (70, 75, 85), (190, 195, 205), radius=2)
        c.rect(3, 13, 14, 15.5, (120, 125, 135))
        c.circle(6, 8, 1.6, (60, 200, 90))
    elif kind == "usb":
        c.rect(1, 7, 7, 14, (150, 150, 160))
        c.rect(2.5, 8.5, 4, 10, (60, 60, 70))
        c.rect(2.5, 11, 4, 12.5, (60, 60, 70))
        outline_rect(c, 6, 4, 29, 17, (30, 70, 140), (70, 130, 220), radius=3)
        c.circle(10, 10.5, 1.4, (240, 200, 60))
    else:  # optical
        c.circle(11, 10, 9, (120, 120, 140))
        c.circle(11, 10, 8, (210, 215, 235))
        c.fill(lambda x, y: 3 < (x - 11) ** 2 + (y - 10) ** 2 < 30 and x > 13, (170, 200, 255), 0.6)
        c.circle(11, 10, 2.2, (120, 120, 140))
        c.circle(11, 10, 1.2, (0, 0, 0), 0.0)
        c.fill(lambda x, y: (x - 11) ** 2 + (y - 10) ** 2 <= 1.44, (255, 255, 255), 1.0)
    return c


def icon_question():
    c = Canvas(16, 16)
    c.circle(8, 8, 7.5, (30, 80, 170))
    c.circle(8, 8, 6.5, (60, 130, 220))
    c.fill(lambda x, y: 2.4 ** 2 <= (x - 8) ** 2 + (y - 6) ** 2 <= 3.6 ** 2 and not (x < 8 and y > 6),
           (255, 255, 255))
    c.rect(7.2, 8, 8.8, 10.5, (255, 255, 255))
    c.circle(8, 12.3, 1.0, (255, 255, 255))
    return c


def icon_error():
    c = Canvas(16, 16)
    c.circle(8, 8, 7.5, (150, 20, 20))
    c.circle(8, 8, 6.5, (220, 50, 50))
    bar = lambda x, y, s: abs((x - 8) + s * (y - 8)) < 1.3 and abs((x - 8) - s * (y - 8)) < 7.5
    c.fill(lambda x, y: (bar(x, y, 1) or bar(x, y, -1)) and (x - 8) ** 2 + (y - 8) ** 2 < 16,
           (255, 255, 255))
    return c


if __name__ == "__main__":
    pictures = {
        "item_file": item_file(), "item_folder": item_folder(), "item_parent": item_parent(),
        "drive_hdd": drive("hdd"), "drive_usb": drive("usb"), "drive_cd": drive("cd"),
        "icon_question": icon_question(), "icon_error": icon_error(),
    }
    for name, canvas in pictures.items():
        canvas.save(f"assets/{name}.png")
