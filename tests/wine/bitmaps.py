"""Small bitmap files for the integration tests, written byte by byte."""
import struct


def write_bmp24(path, width, height, pixel):
    """A 24-bit bottom-up bitmap; pixel(x, y) gives (r, g, b) with y = 0 the top row."""
    stride = (width * 24 + 31) // 32 * 4
    rows = bytearray()
    for stored in range(height):
        y = height - 1 - stored
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + rows)


KEY = (255, 0, 255)


def ellipse_figure(width, height, colour=(240, 160, 60)):
    """A filled ellipse on the key colour, which the bottom-left pixel makes transparent."""
    cx, cy = (width - 1) / 2, (height - 1) / 2

    def pixel(x, y):
        inside = ((x - cx) / (width / 2)) ** 2 + ((y - cy) / (height / 2)) ** 2 <= 0.8
        return colour if inside else KEY
    return pixel


def block_figure(width, height, colour=(40, 120, 220)):
    """Everything opaque but the bottom-left pixel's colour on the first column."""
    def pixel(x, y):
        return KEY if x == 0 else colour
    return pixel
