#!/usr/bin/env python3
"""Draws the program icon: two pages of text lines joined row by row, one pair of lines on the
left meeting a single line on the right. Writes icons/bitexa.svg and icons/bitexa-<size>.png
(16, 32, 48, 256) beside this script. Needs nothing beyond Python's standard library.

The small sizes get a simpler drawing with fewer, thicker lines, so they stay legible."""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "icons")

BLUE = (0x2F, 0x5D, 0x8A)
WHITE = (0xFF, 0xFF, 0xFF)
TINT = (0xCA, 0xDD, 0xE6)  # the tint of the alignment view's odd rows
ORANGE = (0xF2, 0xA0, 0x3D)


def drawing(detailed):
    """Shapes on a 256 x 256 canvas, back to front: ("rrect", x0, y0, x1, y1, radius, colour) or
    ("line", x0, y0, x1, y1, half_width, colour) with round ends."""
    shapes = [
        ("rrect", 12, 12, 244, 244, 44, BLUE),
        ("rrect", 30, 44, 106, 212, 10, WHITE),
        ("rrect", 150, 44, 226, 212, 10, TINT),
    ]
    if detailed:
        half = 5
        left = [(72, 94), (100, 86), (128, 94), (156, 80), (184, 90)]
        right = [(72, 214), (114, 200), (156, 210), (184, 196)]
        pairs = [(0, 0), (1, 1), (2, 1), (3, 2), (4, 3)]
    else:
        half = 10
        left = [(78, 90), (128, 84), (178, 90)]
        right = [(78, 210), (153, 204)]
        pairs = [(0, 0), (1, 1), (2, 1)]
    for y, x_end in left:
        shapes.append(("line", 44, y, x_end, y, half, BLUE))
    for y, x_end in right:
        shapes.append(("line", 164, y, x_end, y, half, BLUE))
    for l, r in pairs:
        shapes.append(("line", 108, left[l][0], 148, right[r][0], half, ORANGE))
    return shapes


def covers(shape, x, y):
    kind = shape[0]
    if kind == "rrect":
        _, x0, y0, x1, y1, r, _ = shape
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    _, x0, y0, x1, y1, half, _ = shape
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
    px, py = x0 + t * dx, y0 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half * half


def bounds(shape):
    if shape[0] == "rrect":
        return shape[1], shape[2], shape[3], shape[4]
    _, x0, y0, x1, y1, half, _ = shape
    return min(x0, x1) - half, min(y0, y1) - half, max(x0, x1) + half, max(y0, y1) + half


def render(size, samples=4):
    shapes = drawing(size >= 48)
    scale = 256.0 / size
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for shape in shapes:
        colour = [c / 255.0 for c in shape[-1]]
        bx0, by0, bx1, by1 = bounds(shape)
        for py in range(max(0, int(by0 / scale) - 1), min(size, int(by1 / scale) + 2)):
            for px in range(max(0, int(bx0 / scale) - 1), min(size, int(bx1 / scale) + 2)):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        x = (px + (sx + 0.5) / samples) * scale
                        y = (py + (sy + 0.5) / samples) * scale
                        hits += covers(shape, x, y)
                if hits == 0:
                    continue
                a = hits / (samples * samples)
                r, g, b, da = pixels[py][px]
                # Premultiplied "over".
                pixels[py][px] = (
                    colour[0] * a + r * (1 - a),
                    colour[1] * a + g * (1 - a),
                    colour[2] * a + b * (1 - a),
                    a + da * (1 - a),
                )
    return pixels


def write_png(path, pixels):
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            if a > 0:
                raw += bytes(
                    [round(min(1.0, r / a) * 255), round(min(1.0, g / a) * 255),
                     round(min(1.0, b / a) * 255), round(a * 255)])
            else:
                raw += bytes(4)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def hex_colour(colour):
    return "#%02X%02X%02X" % colour


def write_svg(path):
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">']
    for shape in drawing(True):
        if shape[0] == "rrect":
            _, x0, y0, x1, y1, r, colour = shape
            lines.append('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
                         % (x0, y0, x1 - x0, y1 - y0, r, hex_colour(colour)))
        else:
            _, x0, y0, x1, y1, half, colour = shape
            lines.append('  <line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" '
                         'stroke-width="%g" stroke-linecap="round"/>'
                         % (x0, y0, x1, y1, hex_colour(colour), 2 * half))
    lines.append("</svg>")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def main():
    os.makedirs(OUT, exist_ok=True)
    write_svg(os.path.join(OUT, "bitexa.svg"))
    for size in (16, 32, 48, 256):
        write_png(os.path.join(OUT, "bitexa-%d.png" % size), render(size))


if __name__ == "__main__":
    main()
