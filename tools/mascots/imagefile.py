"""Writes mascot frames as Windows bitmaps and icons as .ico files.

A mascot window is cut to the pixels whose value differs from the bottom-left pixel's, so a
frame is made of two kinds of pixel only: fully drawn, or exactly the key. Edge pixels that the
painter covered less than half become the key; the rest keep their colour, which the painter
already blended against the outline, never against the key.
"""
import struct

KEY = (255, 0, 255)
OPAQUE_FROM = 0.5


def cut_to_key(pixels):
    """Rows of (r, g, b) with None for the key, from the painter's (r, g, b, coverage) rows."""
    return [[None if p[3] < OPAQUE_FROM else p[:3] for p in row] for row in pixels]


def _median_cut(counts, limit):
    boxes = [list(counts.items())]
    while len(boxes) < limit:
        # Split the box with the widest channel range, weighted by how many pixels it holds,
        # so that large flat areas keep exact colours and gradients share the rest.
        best, best_score, best_axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            weight = sum(n for _, n in box)
            for axis in range(3):
                vals = [c[axis] for c, _ in box]
                score = (max(vals) - min(vals)) * weight ** 0.5
                if score > best_score:
                    best, best_score, best_axis = i, score, axis
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda cn: cn[0][best_axis])
        half, acc, cut = sum(n for _, n in box) / 2, 0, 1
        for j, (_, n) in enumerate(box):
            acc += n
            if acc >= half:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        w = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[k] * n for c, n in box) / w)) for k in range(3)))
    return palette


def shared_palette(frames, limit=255):
    """One palette for all frames of a mascot: the key at index 0, then up to `limit` colours."""
    counts = {}
    for frame in frames:
        for row in frame:
            for c in row:
                if c is not None:
                    counts[c] = counts.get(c, 0) + 1
    colours = list(counts) if len(counts) <= limit else _median_cut(counts, limit)
    return [KEY] + colours


def index_frame(frame, palette):
    lookup = {}
    entries = list(enumerate(palette))[1:]

    def nearest(c):
        if c not in lookup:
            lookup[c] = min(entries, key=lambda e: (e[1][0] - c[0]) ** 2 * 3 + (e[1][1] - c[1]) ** 2 * 4
                            + (e[1][2] - c[2]) ** 2 * 2)[0]
        return lookup[c]

    return [[0 if c is None else nearest(c) for c in row] for row in frame]


def _bitmap(width, height, bits, colour_table, row_bytes):
    """File header, 40-byte info header and colour table; the rows follow, bottom row first."""
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colour_table)
    stride = (width * bits + 31) // 32 * 4
    rows = b''.join(r + b'\0' * (stride - len(r)) for r in reversed(row_bytes))
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(rows), 2835, 2835,
                       len(colour_table), 0)
    return struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset) + info + table + rows


def bmp8(indexed, palette):
    """An 8-bit bitmap; the bottom-left pixel must already be the key index."""
    assert indexed[-1][0] == 0, 'the bottom-left pixel must be background'
    return _bitmap(len(indexed[0]), len(indexed), 8, palette, [bytes(row) for row in indexed])


def bmp24(frame):
    """A 24-bit bitmap. A drawn pixel that happens to equal the key is nudged off it, since
    every pixel of the key's value is cut away."""
    assert frame[-1][0] is None, 'the bottom-left pixel must be background'
    rows = []
    for row in frame:
        out = bytearray()
        for c in row:
            if c is None:
                c = KEY
            elif c == KEY:
                c = (254, 0, 255)
            out += bytes((c[2], c[1], c[0]))
        rows.append(bytes(out))
    return _bitmap(len(frame[0]), len(frame), 24, [], rows)


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
