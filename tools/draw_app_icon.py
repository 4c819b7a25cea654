#!/usr/bin/env python3
"""Draws the application icon: packaging/icons/tarn-commander.svg and the
hicolor PNGs packaging/icons/<N>x<N>/tarn-commander.png for N in SIZES.

One list of shapes on a 256 x 256 grid serves both the SVG and the PNGs, so
the two never drift apart. PNGs are filled with supersampling and written
with nothing but the standard library. Run from the repository root after
changing the picture: python3 tools/draw_app_icon.py
"""
import os
import struct
import zlib

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
GRID = 256.0

# (kind, geometry, rgb): "rect" = (x0, y0, x1, y1, radius), "poly" = points.
BACK = (24, 58, 92)
PANE = (236, 242, 248)
ROW = (150, 176, 204)
PICK = (70, 150, 220)
ARROW = (250, 196, 60)


def shapes():
    out = [("rect", (8, 8, 248, 248, 40), BACK)]
    for x0 in (28, 136):
        out.append(("rect", (x0, 40, x0 + 92, 216, 12), PANE))
        for i, y in enumerate(range(60, 200, 28)):
            colour = PICK if (x0 == 28 and i == 1) else ROW
            out.append(("rect", (x0 + 12, y, x0 + 80, y + 14, 4), colour))
    out.append(("poly", ((100, 112), (148, 112), (148, 92), (184, 128),
                         (148, 164), (148, 144), (100, 144)), ARROW))
    return out


def inside(kind, geo, x, y):
    if kind == "rect":
        x0, y0, x1, y1, r = geo
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 1e-9
    c = False
    for (xa, ya), (xb, yb) in zip(geo, geo[1:] + geo[:1]):
        if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
            c = not c
    return c


def bbox(kind, geo):
    if kind == "rect":
        return geo[0], geo[1], geo[2], geo[3]
    xs, ys = [p[0] for p in geo], [p[1] for p in geo]
    return min(xs), min(ys), max(xs), max(ys)


def render(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    ss = 4 if size <= 64 else 2
    scale = GRID / size
    for kind, geo, rgb in shapes():
        bx0, by0, bx1, by1 = (v / scale for v in bbox(kind, geo))
        for y in range(max(0, int(by0)), min(size, int(by1) + 1)):
            for x in range(max(0, int(bx0)), min(size, int(bx1) + 1)):
                hits = sum(inside(kind, geo, (x + (i + 0.5) / ss) * scale,
                                  (y + (j + 0.5) / ss) * scale)
                           for i in range(ss) for j in range(ss))
                a = hits / (ss * ss)
                if a <= 0:
                    continue
                r0, g0, b0, a0 = px[y][x]
                a0 /= 255.0
                oa = a + a0 * (1 - a)
                mix = lambda c, c0: round((c * a + c0 * a0 * (1 - a)) / oa)
                px[y][x] = (mix(rgb[0], r0), mix(rgb[1], g0), mix(rgb[2], b0), round(oa * 255))
    return px


def write_png(path, px):
    h, w = len(px), len(px[0])
    raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in px)
    chunk = lambda t, d: (struct.pack(">I", len(d)) + t + d +
                          struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" +
                chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">']
    for kind, geo, rgb in shapes():
        fill = "#%02x%02x%02x" % rgb
        if kind == "rect":
            x0, y0, x1, y1, r = geo
            parts.append(f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" '
                         f'rx="{r}" fill="{fill}"/>')
        else:
            pts = " ".join(f"{x},{y}" for x, y in geo)
            parts.append(f'<polygon points="{pts}" fill="{fill}"/>')
    parts.append("</svg>\n")
    return "\n".join(parts)


if __name__ == "__main__":
    base = "packaging/icons"
    os.makedirs(base, exist_ok=True)
    with open(f"{base}/tarn-commander.svg", "w") as f:
        f.write(svg())
    for n in SIZES:
        os.makedirs(f"{base}/{n}x{n}", exist_ok=True)
        write_png(f"{base}/{n}x{n}/tarn-commander.png", render(n))
