"""A small anti-aliased painter for the sample mascots.

Shapes are signed distance functions in design units (negative inside). A canvas maps design
units to pixels with a scale and an offset, so the same drawing code makes a 96-pixel mascot
frame and a 16-pixel icon. Colours are painted premultiplied with a coverage of 0..1 per pixel.
"""
import math


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# Shapes: each is (sdf, box) where sdf(x, y) gives the distance in design units and box is the
# design-space bounding box (x0, y0, x1, y1) of the inside, used to limit the pixels visited.

def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def sdf(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * ca + dy * sa, -dx * sa + dy * ca
        g = (u / rx) ** 2 + (v / ry) ** 2 - 1.0
        gu, gv = 2 * u / (rx * rx), 2 * v / (ry * ry)
        n = math.hypot(gu, gv)
        # Away from the centre g/|grad g| is a good distance near the edge, which is all that
        # anti-aliasing and outlines need; at the centre it is simply deep inside.
        return g / n if n > 1e-9 else -min(rx, ry)

    r = max(rx, ry)
    return sdf, (cx - r, cy - r, cx + r, cy + r)


def capsule(x0, y0, x1, y1, r0, r1=None):
    """A stroke from (x0, y0) to (x1, y1) with round ends, radius r0 tapering to r1."""
    r1 = r0 if r1 is None else r1
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1e-9

    def sdf(x, y):
        t = clamp(((x - x0) * dx + (y - y0) * dy) / ll)
        return math.hypot(x - x0 - dx * t, y - y0 - dy * t) - (r0 + (r1 - r0) * t)

    r = max(r0, r1)
    return sdf, (min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r)


def polyline(points, r0, r1=None):
    """A stroke through the points, its radius tapering from r0 to r1 along the way."""
    r1 = r0 if r1 is None else r1
    n = len(points) - 1
    parts = [capsule(*points[i], *points[i + 1], r0 + (r1 - r0) * i / n, r0 + (r1 - r0) * (i + 1) / n)
             for i in range(n)]
    return union(*parts)


def bezier(p0, p1, p2, steps=12):
    """Points along a quadratic curve."""
    out = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c = (1 - t) ** 2, 2 * t * (1 - t), t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return out


def polygon(points, rounding=0.0):
    """A convex or concave polygon, its corners rounded by `rounding` (it grows by that much)."""
    n = len(points)

    def sdf(x, y):
        d = float('inf')
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            t = clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey))
            d = min(d, math.hypot(x - ax - ex * t, y - ay - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (ey or 1e-12):
                inside = not inside
        return (-d if inside else d) - rounding

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return sdf, (min(xs) - rounding, min(ys) - rounding, max(xs) + rounding, max(ys) + rounding)


def round_rect(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r

    return sdf, (x0, y0, x1, y1)


def union(*shapes):
    fs = [s[0] for s in shapes]
    box = (min(s[1][0] for s in shapes), min(s[1][1] for s in shapes),
           max(s[1][2] for s in shapes), max(s[1][3] for s in shapes))
    return (lambda x, y: min(f(x, y) for f in fs)), box


def intersect(a, b):
    fa, fb = a[0], b[0]
    box = (max(a[1][0], b[1][0]), max(a[1][1], b[1][1]), min(a[1][2], b[1][2]), min(a[1][3], b[1][3]))
    return (lambda x, y: max(fa(x, y), fb(x, y))), box


def subtract(a, b):
    fa, fb = a[0], b[0]
    return (lambda x, y: max(fa(x, y), -fb(x, y))), a[1]


def grow(shape, d):
    f = shape[0]
    x0, y0, x1, y1 = shape[1]
    return (lambda x, y: f(x, y) - d), (x0 - d, y0 - d, x1 + d, y1 + d)


def half_plane_below(fn):
    """Everything above the curve y = fn(x) (smaller y); the distance is taken along y."""
    return (lambda x, y: y - fn(x)), (-1e6, -1e6, 1e6, 1e6)


def half_plane_above(fn):
    """Everything below the curve y = fn(x) (larger y); the distance is taken along y."""
    return (lambda x, y: fn(x) - y), (-1e6, -1e6, 1e6, 1e6)


class Canvas:
    def __init__(self, width, height, scale=1.0, dx=0.0, dy=0.0):
        self.width, self.height = width, height
        self.scale, self.dx, self.dy = scale, dx, dy
        self.rgb = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]
        self.alpha = [[0.0] * width for _ in range(height)]

    def paint(self, shape, colour, opacity=1.0):
        """Paints the shape; colour is an (r, g, b) tuple or a function of design (x, y)."""
        f, (bx0, by0, bx1, by1) = shape
        s = self.scale
        px0 = max(0, int(math.floor(bx0 * s + self.dx)) - 1)
        py0 = max(0, int(math.floor(by0 * s + self.dy)) - 1)
        px1 = min(self.width, int(math.ceil(bx1 * s + self.dx)) + 2)
        py1 = min(self.height, int(math.ceil(by1 * s + self.dy)) + 2)
        solid = not callable(colour)
        for py in range(py0, py1):
            y = (py + 0.5 - self.dy) / s
            rgb_row, a_row = self.rgb[py], self.alpha[py]
            for px in range(px0, px1):
                x = (px + 0.5 - self.dx) / s
                cover = clamp(0.5 - f(x, y) * s) * opacity
                if cover <= 0.0:
                    continue
                c = colour if solid else colour(x, y)
                r, g, b = rgb_row[px]
                k = 1.0 - cover
                rgb_row[px] = (r * k + c[0] * cover, g * k + c[1] * cover, b * k + c[2] * cover)
                a_row[px] = a_row[px] * k + cover

    def outlined(self, shape, fill, outline, width):
        """The sticker look: the shape grown by `width` in the outline colour, then the fill."""
        self.paint(grow(shape, width), outline)
        self.paint(shape, fill)

    def pixels(self):
        """Straight (not premultiplied) colours and coverage, row by row, top row first."""
        out = []
        for py in range(self.height):
            row = []
            for px in range(self.width):
                a = self.alpha[py][px]
                if a <= 1e-6:
                    row.append((0, 0, 0, 0))
                    continue
                r, g, b = self.rgb[py][px]
                row.append((int(round(clamp(r / a, 0, 255))), int(round(clamp(g / a, 0, 255))),
                            int(round(clamp(b / a, 0, 255))), a))
            out.append(row)
        return out


def shaded(base, light, dark, top, bottom, lx=None, rx=None):
    """A fill that runs from `light` at design y=top through `base` to `dark` at y=bottom, and a
    touch darker towards rx than lx when those are given, as if lit from the upper left."""
    def colour(x, y):
        t = clamp((y - top) / ((bottom - top) or 1))
        if lx is not None:
            t = clamp(t + 0.25 * clamp((x - lx) / ((rx - lx) or 1)) - 0.1)
        return mix(light, base, t / 0.45) if t < 0.45 else mix(base, dark, (t - 0.45) / 0.55)
    return colour
