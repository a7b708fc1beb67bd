"""Writes the sample mascots' pictures as an artist's tools would: frames as PNG with an alpha
channel (the painter's coverage), icons as .ico files. velmora-kit turns them into what the
program reads.
"""
import struct
import zlib


def ico(images):
    """An .ico file holding one 32-bit image (with its AND mask) per painter result."""
    entries, blobs = [], []
    for pixels in images:
        size = len(pixels)
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        colour, mask = b'', b''
        stride = (size + 31) // 32 * 4
        for row in reversed(pixels):
            bits = 0
            for x, (r, g, b, a) in enumerate(row):
                alpha = int(round(a * 255))
                colour += bytes((b, g, r, alpha))
                if alpha == 0:
                    bits |= 1 << (stride * 8 - 1 - x)
            mask += bits.to_bytes(stride, 'big')
        blobs.append(header + colour + mask)
    offset = 6 + 16 * len(images)
    for pixels, blob in zip(images, blobs):
        size = len(pixels)
        entries.append(struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        offset += len(blob)
    return struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries) + b''.join(blobs)


def png(pixels):
    """An 8-bit RGBA PNG of the painter's (r, g, b, coverage) rows, coverage becoming alpha."""
    height, width = len(pixels), len(pixels[0])
    raw = b''.join(b'\0' + bytes(v for r, g, b, a in row for v in (r, g, b, int(round(a * 255))))
                   for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
