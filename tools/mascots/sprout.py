"""Sprout, a still mascot: a smiling terracotta pot with two leaves and a small pink flower.

Design units are the pixels of a 64 x 84 frame.
"""
import math

from raster import Canvas, bezier, capsule, circle, ellipse, grow, intersect, polygon, polyline, round_rect, shaded

WIDTH, HEIGHT = 64, 84
POT_LINE = (102, 56, 42)
POT = (226, 132, 86)
POT_LIGHT = (242, 166, 118)
POT_SHADE = (178, 92, 62)
SOIL = (112, 74, 54)
LEAF_LINE = (48, 104, 58)
LEAF = (118, 190, 88)
LEAF_LIGHT = (160, 220, 120)
LEAF_SHADE = (76, 146, 70)
PETAL = (255, 170, 200)
PETAL_LINE = (178, 82, 120)
LINE = 1.6


def leaf(c, cx, cy, length, width, angle):
    shape = ellipse(cx, cy, length, width, angle)
    c.paint(grow(shape, LINE), LEAF_LINE)
    c.paint(shape, shaded(LEAF, LEAF_LIGHT, LEAF_SHADE, cy - width, cy + width))
    ca, sa = math.cos(angle), math.sin(angle)
    c.paint(capsule(cx - ca * length * 0.75, cy - sa * length * 0.75,
                    cx + ca * length * 0.6, cy + sa * length * 0.6, 0.6), LEAF_SHADE)


def draw():
    c = Canvas(WIDTH, HEIGHT)
    stem = polyline(bezier((32, 48), (29, 34), (33, 16), 10), 2.0, 1.6)
    c.paint(grow(stem, LINE), LEAF_LINE)
    c.paint(stem, LEAF)
    leaf(c, 20, 32, 12, 6, 0.45)
    leaf(c, 44, 26, 13, 6.5, -0.5)

    petals = [circle(33 + 5.2 * math.cos(a), 13 + 5.2 * math.sin(a), 4.2)
              for a in (math.pi * (-0.5 + 0.4 * k) for k in range(5))]
    for p in petals:
        c.paint(grow(p, LINE), PETAL_LINE)
    for p in petals:
        c.paint(p, shaded(PETAL, (255, 214, 228), (236, 128, 168), 6, 20))
    c.paint(grow(circle(33, 13, 2.8), 0.9), (214, 140, 40))
    c.paint(circle(33, 13, 2.8), (255, 214, 90))

    body = polygon([(15, 52), (49, 52), (45, 80), (19, 80)], 2.0)
    rim = round_rect(10, 44, 54, 55, 3.5)
    c.paint(grow(body, LINE), POT_LINE)
    c.paint(body, shaded(POT, POT_LIGHT, POT_SHADE, 50, 82, 16, 48))
    c.paint(grow(rim, LINE), POT_LINE)
    c.paint(rim, shaded(POT_LIGHT, (250, 190, 146), POT, 44, 55, 12, 52))
    c.paint(intersect(rim, ellipse(32, 44.6, 19, 3.2)), SOIL)
    c.paint(ellipse(17, 62, 2.2, 6), POT_LIGHT, 0.8)

    # The pot's face.
    for x in (26, 38):
        c.paint(ellipse(x, 64, 2.2, 2.9), (70, 40, 36))
        c.paint(circle(x + 0.8, 63, 0.8), (255, 255, 255))
    c.paint(ellipse(21.5, 69, 3.2, 1.8), (255, 128, 128), 0.5)
    c.paint(ellipse(42.5, 69, 3.2, 1.8), (255, 128, 128), 0.5)
    c.paint(polyline(bezier((29, 68.5), (32, 72), (35, 68.5), 8), 0.8), (70, 40, 36))
    return c.pixels()
