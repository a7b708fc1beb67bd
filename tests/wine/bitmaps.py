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


def gif(width, height, frames, colours):
    """An animated GIF of at most four colours. frames: (pixel(x, y) giving a colour index,
    delay in hundredths of a second, transparent index or None). The image data keeps every
    code three bits wide: a clear code before every second pixel."""
    table = b''.join(bytes(c) for c in colours) + bytes(3 * (4 - len(colours)))
    out = b'GIF89a' + struct.pack('<HHBBB', width, height, 0x81, 0, 0) + table
    out += b'\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00'
    for pixel, delay, transparent in frames:
        out += b'\x21\xf9\x04' + struct.pack('<BHB', 4 | (transparent is not None), delay, transparent or 0) + b'\x00'
        out += b'\x2c' + struct.pack('<HHHHB', 0, 0, width, height, 0)
        bits = count = 0
        packed = bytearray()
        codes = []
        for i, index in enumerate(pixel(x, y) for y in range(height) for x in range(width)):
            if i % 2 == 0:
                codes.append(4)
            codes.append(index)
        for code in codes + [5]:
            bits |= code << count
            count += 3
            while count >= 8:
                packed.append(bits & 255)
                bits >>= 8
                count -= 8
        if count:
            packed.append(bits)
        out += b'\x02' + b''.join(bytes((len(packed[i:i + 255]),)) + packed[i:i + 255]
                                  for i in range(0, len(packed), 255)) + b'\x00'
    return out + b'\x3b'
