#!/usr/bin/env python3
"""Generates the add-in's pictures as Windows resource files.

Run from the repository root: python3 tools/gen_resources.py
The generated files are checked in; run this again after changing a picture.
"""
import math
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# A 5 x 7 pixel font for the few letters the logo needs.
FONT = {
    'c': ["     ", "     ", " ####", "#    ", "#    ", "#    ", " ####"],
    'o': ["     ", "     ", " ### ", "#   #", "#   #", "#   #", " ### "],
    'r': ["     ", "     ", "# ## ", "##  #", "#    ", "#    ", "#    "],
    'v': ["     ", "     ", "#   #", "#   #", "#   #", " # # ", "  #  "],
    'a': ["     ", "     ", " ### ", "    #", " ####", "#   #", " ####"],
    'n': ["     ", "     ", "# ## ", "##  #", "#   #", "#   #", "#   #"],
    'e': ["     ", "     ", " ### ", "#   #", "#####", "#    ", " ####"],
}


def bmp8(width, height, palette, pixels):
    """An uncompressed 8-bit bitmap file; pixels[y][x] are palette indices, top row first."""
    stride = (width + 3) & ~3
    rows = b''.join(bytes(pixels[y]) + b'\0' * (stride - width) for y in reversed(range(height)))
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    pal += b'\0' * (4 * (256 - len(palette)))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(rows), 3780, 3780, 256, 0)
    offset = 14 + len(header) + len(pal)
    return struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset) + header + pal + rows


def splash():
    """The logo: 400 x 247, 256 colours: a blue gradient, an envelope and the product name."""
    w, h = 400, 247
    palette = []
    # 0..199: gradient from deep blue to light blue
    for i in range(200):
        t = i / 199
        palette.append((int(10 + 60 * t), int(40 + 110 * t), int(110 + 130 * t)))
    white, yellow, grey, dark, shadow = 200, 201, 202, 203, 204
    palette += [(255, 255, 255), (255, 210, 40), (200, 200, 210), (20, 30, 60), (5, 20, 70)]
    px = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            d = math.hypot(x - 300, y - 40) / math.hypot(400, 247)
            px[y][x] = max(0, min(199, int(199 * (1 - d) - (y % 2) * 0)))
    # envelope with a shadow
    ex, ey, ew, eh = 40, 70, 130, 90
    for y in range(ey + 6, ey + eh + 6):
        for x in range(ex + 6, ex + ew + 6):
            px[y][x] = shadow
    for y in range(ey, ey + eh):
        for x in range(ex, ex + ew):
            px[y][x] = white
            if y > ey + eh // 2 and (x + y) % 4 == 0:
                px[y][x] = yellow
    for x in range(ex, ex + ew):  # flap: two lines to the middle
        t = (x - ex) / (ew - 1)
        yy = ey + int((eh * 0.55) * (1 - abs(2 * t - 1)))
        for k in range(2):
            px[min(ey + eh - 1, yy + k)][x] = dark
    for x in range(ex, ex + ew):
        px[ey][x] = px[ey + eh - 1][x] = dark
    for y in range(ey, ey + eh):
        px[y][ex] = px[y][ex + ew - 1] = dark
    # the name, 5 pixels per font pixel
    scale, x0, y0 = 5, 182, 80
    for ch in "corvane":
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, c in enumerate(row):
                if c == '#':
                    for yy in range(scale):
                        for xx in range(scale):
                            px[y0 + gy * scale + yy + 3][x0 + gx * scale + xx + 3] = shadow
                            px[y0 + gy * scale + yy][x0 + gx * scale + xx] = white
        x0 += 6 * scale - 2
    # a thin yellow rule under the name and a grey frame
    for x in range(182, 380):
        px[124][x] = px[125][x] = yellow
    for x in range(w):
        px[0][x] = px[h - 1][x] = grey
    for y in range(h):
        px[y][0] = px[y][w - 1] = grey
    return bmp8(w, h, palette, px)


def write(rel, data):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
    print(f"{rel}: {len(data)} bytes")


if __name__ == '__main__':
    write('addin/res/splash.bmp', splash())
