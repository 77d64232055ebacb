#!/usr/bin/env python3
"""png_crop.py <in.png> <out.png> <left> <top> <right> <bottom>

Cuts a part out of a screenshot of corvane-host (8-bit RGB, unfiltered) and
writes it compressed: the small pictures of the README are made this way.
"""
import struct
import sys
import zlib


def read_rgb(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG file'
    pos, idat, width, height = 8, b'', 0, 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert (depth, colour) == (8, 2), 'expected 8-bit RGB'
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + 3 * width
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, 'expected unfiltered rows'
        rows.append(line[1:])
    return width, height, rows


def write_rgb(path, width, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)
    raw = b''.join(b'\0' + row for row in rows)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, len(rows), 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)


def main():
    source, target = sys.argv[1], sys.argv[2]
    left, top, right, bottom = (int(v) for v in sys.argv[3:7])
    width, height, rows = read_rgb(source)
    right, bottom = min(right, width), min(bottom, height)
    part = [row[3 * left:3 * right] for row in rows[top:bottom]]
    write_rgb(target, right - left, part)


if __name__ == '__main__':
    main()
