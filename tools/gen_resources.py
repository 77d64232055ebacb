#!/usr/bin/env python3
"""Generates the product's pictures as Windows resource files.

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


# The 16 standard colours of a 4-bit picture.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
       (0, 255, 255), (255, 255, 255)]
BLACK, DARKGREY, LIGHTGREY, YELLOW, WHITE = 0, 8, 7, 11, 15
CLEAR = None  # transparent


def icon_image(pixels):
    """The image part of an icon or cursor resource: 4-bit colour bits and the 1-bit mask."""
    h = len(pixels)
    w = len(pixels[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in VGA)
    xor_stride = ((w * 4 + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor, mask = b'', b''
    for y in reversed(range(h)):
        row = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x in range(w):
            c = pixels[y][x]
            if c is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
                c = 0
            row[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += bytes(row)
        mask += bytes(bits)
    return header + pal + xor + mask


def icon_file(pixels, hotspot=None):
    """An .ico file, or a .cur file when a hotspot is given."""
    image = icon_image(pixels)
    w, h = len(pixels[0]), len(pixels)
    kind = 1 if hotspot is None else 2
    a, b = (1, 4) if hotspot is None else hotspot
    head = struct.pack('<HHH', 0, kind, 1)
    entry = struct.pack('<BBBBHHII', w % 256, h % 256, 16, 0, a, b, len(image), 6 + 16)
    return head + entry + image


def envelope(size, body, outline, lower=None):
    """An envelope filling a size x size picture: a body colour, the flap drawn in the outline colour,
    and optionally the lower half dotted in another colour."""
    px = [[CLEAR] * size for _ in range(size)]
    top, bottom = size // 4, size - size // 4 - 1
    left, right = 0, size - 1
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, bottom) or x in (left, right)
            px[y][x] = outline if edge else body
            if not edge and lower is not None and y > (top + bottom) // 2 and (x + y) % 2 == 0:
                px[y][x] = lower
    mid = (left + right) / 2
    depth = (bottom - top) * 0.6
    for x in range(left, right + 1):
        y = top + int(round(depth * (1 - abs(x - mid) / mid)))
        px[min(y, bottom)][x] = outline
    return px


def cursor_envelope():
    """The envelope cursor: 32 x 32, hotspot at the top left corner; a white envelope whose lower
    half is dotted in yellow, with a small arrow tip at the hotspot."""
    px = envelope(32, WHITE, BLACK, YELLOW)
    for i in range(6):  # the tip that marks the hotspot
        for j in range(6 - i):
            px[i][j] = BLACK if j in (0, 5 - i) or i == 0 else WHITE
    return px


def folder_picture(size):
    """A yellow folder with a white letter in it, filling a size x size picture."""
    px = [[CLEAR] * size for _ in range(size)]
    top, bottom = size // 5, size - size // 8
    tab = size // 3
    for y in range(top - size // 10, top + 1):  # the tab
        for x in range(1, tab):
            px[y][x] = BLACK if y == top - size // 10 or x in (1, tab - 1) else YELLOW
    for y in range(top, bottom):
        for x in range(1, size - 1):
            px[y][x] = BLACK if y in (top, bottom - 1) or x in (1, size - 2) else YELLOW
    letter = envelope(size // 2, WHITE, BLACK, YELLOW)
    ox, oy = size // 4 + 1, top + (bottom - top) // 2 - size // 4 + 1
    for y, row in enumerate(letter):
        for x, c in enumerate(row):
            if c is not CLEAR and 0 <= oy + y < bottom - 1:
                px[oy + y][ox + x] = c
    return px


def list_window_icon():
    """The notifier window's icon: a small list with an envelope on the first line."""
    px = [[CLEAR] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(1, 15):
            px[y][x] = BLACK if y in (1, 14) or x in (1, 14) else WHITE
    for y in (6, 9, 12):
        for x in range(4, 13):
            px[y][x] = DARKGREY
    small = envelope(8, WHITE, BLACK, YELLOW)
    for y, row in enumerate(small):
        for x, c in enumerate(row):
            if c is not CLEAR:
                px[y + 1][x + 6] = c
    return px


MAGENTA = (255, 0, 255)


def pin_bitmap(pressed):
    """17 x 17 picture of the stay-on-top button: a drawing pin, upright when pressed (pinned),
    lying when not; magenta is the transparent colour."""
    palette = [MAGENTA, (0, 0, 0), (200, 30, 30), (255, 120, 120), (128, 128, 128)]
    m, k, red, light, grey = 0, 1, 2, 3, 4
    px = [[m] * 17 for _ in range(17)]
    if pressed:
        for y in range(2, 9):  # head
            for x in range(5, 12):
                px[y][x] = k if y in (2, 8) or x in (5, 11) else (light if x < 8 else red)
        for x in range(3, 14):  # collar
            px[9][x] = k
        for y in range(10, 16):  # needle
            px[y][8] = grey
    else:
        for x in range(2, 9):  # head, on its side
            for y in range(5, 12):
                px[y][x] = k if x in (2, 8) or y in (5, 11) else (light if y < 8 else red)
        for y in range(3, 14):
            px[y][9] = k
        for x in range(10, 16):
            px[8][x] = grey
    return bmp8(17, 17, palette, px)


def notifier_pictures():
    write('notifier/res/notify.ico', icon_file(list_window_icon()))
    write('notifier/res/folder.ico', icon_file(folder_picture(32)))
    write('notifier/res/newmail.ico', icon_file(envelope(16, WHITE, BLACK, YELLOW)))
    write('notifier/res/top_up.bmp', pin_bitmap(False))
    write('notifier/res/top_down.bmp', pin_bitmap(True))


def write(rel, data):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
    print(f"{rel}: {len(data)} bytes")


# ---------------------------------------------------------------------------
# The folder settings page's pictures: 32 x 32 icons in propertypage/res/.

OLIVE, BLUE, RED, NAVY = 3, 12, 9, 4


def blank(size=32):
    return [[CLEAR] * size for _ in range(size)]


def fill(px, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            px[y][x] = colour


def outline(px, x0, y0, x1, y1, colour):
    for x in range(x0, x1 + 1):
        px[y0][x] = px[y1][x] = colour
    for y in range(y0, y1 + 1):
        px[y][x0] = px[y][x1] = colour


def page_folder():
    """A closed yellow folder with its tab: the folder that is not watched."""
    px = blank()
    fill(px, 3, 7, 13, 10, YELLOW)
    outline(px, 3, 7, 13, 10, OLIVE)
    fill(px, 2, 10, 29, 26, YELLOW)
    outline(px, 2, 10, 29, 26, OLIVE)
    for x in range(3, 29):
        px[12][x] = WHITE
    return px


def page_sound():
    """A loudspeaker with three sound waves."""
    px = blank()
    fill(px, 3, 12, 9, 20, DARKGREY)
    outline(px, 3, 12, 9, 20, BLACK)
    for i in range(8):  # the cone
        for y in range(12 - i, 21 + i):
            px[y][10 + i] = LIGHTGREY
        px[12 - i][10 + i] = px[20 + i][10 + i] = BLACK
    for y in range(4, 29):
        px[y][18] = BLACK
    for r in (5, 8, 11):  # the waves
        for a in range(-50, 51, 4):
            x = int(round(18 + r * math.cos(math.radians(a))))
            y = int(round(16 + r * math.sin(math.radians(a))))
            if 0 <= x < 32 and 0 <= y < 32:
                px[y][x] = BLUE
    return px


def page_cursor():
    """The mouse pointer above a small envelope: the cursor changes."""
    px = blank()
    for i in range(16):  # the arrow
        for j in range(i // 2 + 1):
            px[2 + i][2 + j] = WHITE
        px[2 + i][2] = BLACK
        px[2 + i][2 + i // 2 + 1] = BLACK
    for j in range(10):
        px[18][2 + j] = BLACK if j in (0, 9) or j > 6 else px[18][2 + j]
    env = envelope(16, WHITE, BLACK, YELLOW)
    for y in range(16):
        for x in range(16):
            if env[y][x] is not CLEAR:
                px[14 + y][14 + x] = env[y][x]
    return px


def page_tray():
    """The notification area of the taskbar with the envelope icon in it."""
    px = blank()
    fill(px, 0, 18, 31, 29, LIGHTGREY)
    for x in range(32):
        px[18][x] = WHITE
    fill(px, 6, 20, 30, 27, LIGHTGREY)
    outline(px, 6, 20, 30, 27, DARKGREY)
    env = envelope(10, WHITE, BLACK, YELLOW)
    for y in range(10):
        for x in range(10):
            if env[y][x] is not CLEAR:
                px[19 + y][8 + x] = env[y][x]
    for x in range(21, 29):  # the clock's digits as a dark bar
        px[23][x] = px[24][x] = NAVY if x % 3 else LIGHTGREY
    fill(px, 12, 3, 19, 12, RED)  # a small arrow pointing at the icon
    for i in range(5):
        for x in range(11 + i, 21 - i):
            px[13 + i][x] = RED
    return px


def property_page_pictures():
    write('propertypage/res/folder.ico', icon_file(page_folder()))
    write('propertypage/res/sound.ico', icon_file(page_sound()))
    write('propertypage/res/cursor.ico', icon_file(page_cursor()))
    write('propertypage/res/tray.ico', icon_file(page_tray()))


if __name__ == '__main__':
    write('addin/res/splash.bmp', splash())
    write('addin/res/nonewmail.ico', icon_file(envelope(16, LIGHTGREY, DARKGREY)))
    write('addin/res/newmail.ico', icon_file(envelope(16, WHITE, BLACK, YELLOW)))
    write('addin/res/envelope.cur', icon_file(cursor_envelope(), hotspot=(0, 0)))
    notifier_pictures()
    property_page_pictures()
