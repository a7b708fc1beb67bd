#!/usr/bin/env python3
"""Draws the program's icons (the tray and window icon, and the window picker) as .ico files.

Run from the repository root: python3 tools/draw_icons.py
The pictures are drawn here from simple shapes; the .ico files it writes are committed.
"""
import math
import struct
import sys


def blend(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(4))


def coverage(inside, x, y, samples=4):
    """Fraction of the pixel (x, y) that lies inside the shape, by supersampling."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def paint(pixels, size, inside, colour):
    for y in range(size):
        for x in range(size):
            c = coverage(inside, x, y)
            if c > 0:
                pixels[y][x] = blend(pixels[y][x], colour, c) if pixels[y][x][3] else colour[:3] + (int(255 * c),)


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def program_icon(size):
    """A round little mascot face: cream head, pink cheeks, two eyes, a small smile, an ear tuft."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    outline = (90, 60, 50, 255)
    paint(px, size, ellipse(16 * s, 17.5 * s, 14 * s, 12.5 * s), outline)
    paint(px, size, ellipse(16 * s, 17.5 * s, 12.8 * s, 11.3 * s), (255, 236, 200, 255))
    paint(px, size, ellipse(8 * s, 7 * s, 4 * s, 4.5 * s), outline)        # ears
    paint(px, size, ellipse(24 * s, 7 * s, 4 * s, 4.5 * s), outline)
    paint(px, size, ellipse(8 * s, 7.3 * s, 2.8 * s, 3.2 * s), (255, 180, 170, 255))
    paint(px, size, ellipse(24 * s, 7.3 * s, 2.8 * s, 3.2 * s), (255, 180, 170, 255))
    paint(px, size, ellipse(11 * s, 16 * s, 1.8 * s, 2.4 * s), (40, 30, 40, 255))  # eyes
    paint(px, size, ellipse(21 * s, 16 * s, 1.8 * s, 2.4 * s), (40, 30, 40, 255))
    paint(px, size, ellipse(11.6 * s, 15.2 * s, 0.6 * s, 0.7 * s), (255, 255, 255, 255))
    paint(px, size, ellipse(21.6 * s, 15.2 * s, 0.6 * s, 0.7 * s), (255, 255, 255, 255))
    paint(px, size, ellipse(7.5 * s, 21 * s, 2.4 * s, 1.5 * s), (255, 150, 160, 255))  # cheeks
    paint(px, size, ellipse(24.5 * s, 21 * s, 2.4 * s, 1.5 * s), (255, 150, 160, 255))
    smile = lambda x, y: (abs(math.hypot(x - 16 * s, y - 19 * s) - 3.2 * s) < 0.7 * s and y > 20 * s)
    paint(px, size, smile, (120, 60, 60, 255))
    return px


def picker_icon(size):
    """A window picker: a blue target ring with a cross, drawn on a pale square."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    paint(px, size, lambda x, y: 1 * s <= x <= 31 * s and 1 * s <= y <= 31 * s, (120, 120, 130, 255))
    paint(px, size, lambda x, y: 2 * s <= x <= 30 * s and 2 * s <= y <= 30 * s, (245, 245, 250, 255))
    ring = lambda x, y: abs(math.hypot(x - 16 * s, y - 16 * s) - 9 * s) < 1.4 * s
    paint(px, size, ring, (30, 80, 200, 255))
    paint(px, size, lambda x, y: abs(x - 16 * s) < 0.9 * s and 4 * s <= y <= 28 * s, (30, 80, 200, 255))
    paint(px, size, lambda x, y: abs(y - 16 * s) < 0.9 * s and 4 * s <= x <= 28 * s, (30, 80, 200, 255))
    paint(px, size, ellipse(16 * s, 16 * s, 2.2 * s, 2.2 * s), (220, 40, 60, 255))
    return px


def icon_image(px):
    """One icon image: a 32-bit BITMAPINFOHEADER image (bottom-up) with an AND mask."""
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = px[y][x]
            rows += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        bits = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + rows + mask


def write_ico(path, images):
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for px in images:
        blob = icon_image(px)
        size = len(px)
        data += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    with open(path, 'wb') as f:
        f.write(data + b''.join(blobs))


# The sizes Windows asks for: small icons at 100 % to 200 % scaling (16, 20, 24, 32) and
# large ones (32, 40, 48, 64), so that no scaling stretches an image.
SIZES = (16, 20, 24, 32, 40, 48, 64)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'resources'
    write_ico(f'{out}/program.ico', [program_icon(size) for size in SIZES])
    write_ico(f'{out}/picker.ico', [picker_icon(size) for size in SIZES])


if __name__ == '__main__':
    main()
