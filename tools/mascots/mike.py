"""Mike, a calico kitten sitting on the title bar: she blinks now and then and swishes her tail.

Design units are the pixels of a 108 x 96 frame; the head alone, scaled, makes the icon.
"""
import math

from raster import (Canvas, bezier, capsule, circle, ellipse, grow, intersect, polygon,
                    polyline, shaded, union)

WIDTH, HEIGHT = 108, 96
OUTLINE = (74, 52, 48)
WHITE = (255, 251, 242)
WHITE_SHADE = (226, 214, 204)
ORANGE = (243, 164, 84)
ORANGE_SHADE = (206, 118, 58)
BLACK = (68, 60, 62)
BLACK_SHADE = (44, 38, 42)
PINK = (250, 166, 170)
EYE = (58, 44, 52)
LINE = 1.6


def patch_fill(light, dark, top, bottom):
    return shaded(light, tuple(min(255, c + 18) for c in light), dark, top, bottom, 20, 80)


def tail(c, sway):
    """The tail rises from the right hip; sway 0 holds it up beside the body, 1 swings it out."""
    root = (66, 86)
    tip = (86 + 12 * sway, 46 + 10 * sway)
    bend = (98 + 5 * sway, 80 - 2 * sway)
    points = bezier(root, bend, tip, 14)
    shape = polyline(points, 5.2, 3.6)
    c.paint(grow(shape, LINE), OUTLINE)
    c.paint(shape, shaded(WHITE, WHITE, WHITE_SHADE, 40, 90))
    # An orange band and a dark tip, clipped to the tail.
    band = intersect(shape, circle(*points[8], 6.5))
    c.paint(band, ORANGE)
    c.paint(intersect(shape, circle(*tip, 7.5)), BLACK)


def body(c):
    trunk = union(ellipse(50, 76, 24, 19), ellipse(50, 62, 18, 16))
    c.paint(grow(trunk, LINE), OUTLINE)
    c.paint(trunk, shaded(WHITE, WHITE, WHITE_SHADE, 48, 95, 30, 74))
    c.paint(intersect(trunk, ellipse(30, 74, 12, 14, 0.3)), patch_fill(ORANGE, ORANGE_SHADE, 58, 92))
    c.paint(intersect(trunk, ellipse(70, 62, 9, 8)), patch_fill(BLACK, BLACK_SHADE, 52, 72))
    # Front legs: two soft lines down the belly and two round paws.
    c.paint(capsule(43, 72, 43, 86, 0.8), OUTLINE)
    c.paint(capsule(57, 72, 57, 86, 0.8), OUTLINE)
    for x in (40, 60):
        paw = ellipse(x, 88.6, 7.5, 4.6)
        c.paint(grow(paw, LINE), OUTLINE)
        c.paint(paw, shaded(WHITE, WHITE, WHITE_SHADE, 86, 95))
        c.paint(capsule(x - 2, 87.2, x - 2, 89.6, 0.55), OUTLINE)
        c.paint(capsule(x + 2, 87.2, x + 2, 89.6, 0.55), OUTLINE)


def head(c, eyes, whiskers=True):
    """eyes: 'open', 'half' or 'closed'. Whiskers only blur a tiny icon, so it goes without."""
    left_ear = polygon([(22, 30), (25, 5), (44, 18)], 2.5)
    right_ear = polygon([(78, 30), (75, 5), (56, 18)], 2.5)
    face = ellipse(50, 38, 31, 25)
    skull = union(face, left_ear, right_ear)
    c.paint(grow(skull, LINE), OUTLINE)
    c.paint(skull, shaded(WHITE, WHITE, WHITE_SHADE, 8, 64, 20, 80))
    # Calico patches: orange over the left ear and eye, black on the right ear.
    c.paint(intersect(skull, union(ellipse(28, 24, 17, 15, -0.5), ellipse(36, 14, 9, 10))),
            patch_fill(ORANGE, ORANGE_SHADE, 4, 44))
    c.paint(intersect(skull, ellipse(76, 16, 13, 14, 0.4)), patch_fill(BLACK, BLACK_SHADE, 2, 30))
    c.paint(polygon([(27, 25), (28, 11), (38, 19)], 1.0), PINK)
    c.paint(polygon([(73, 25), (72, 11), (62, 19)], 1.0), PINK)

    for x, sign in ((37, -1), (63, 1)):
        if eyes == 'open':
            c.paint(ellipse(x, 40, 4.6, 6.2), EYE)
            c.paint(ellipse(x, 42.5, 3.2, 3.0), (96, 74, 80))
            c.paint(circle(x + 1.6, 37.2, 1.7), (255, 255, 255))
            c.paint(circle(x - 1.6, 43.4, 0.8), (255, 255, 255))
        elif eyes == 'half':
            lower = intersect(ellipse(x, 40, 4.6, 6.2), ellipse(x, 48.5, 10, 8.5))
            c.paint(grow(lower, 0.2), EYE)
            c.paint(circle(x + 1.4, 42.6, 1.1), (255, 255, 255))
            c.paint(polyline(bezier((x - 5.4, 41.2), (x, 38.6), (x + 5.4, 41.2), 8), 0.9), OUTLINE)
        else:
            c.paint(polyline(bezier((x - 5, 40), (x, 44.5), (x + 5, 40), 8), 0.95), OUTLINE)
        # Whiskers: two short strokes on each cheek, inside the face.
        for dy, tilt in ((0, -1.5), (3.5, 1.0)) if whiskers else ():
            c.paint(capsule(50 + sign * 20, 47 + dy, 50 + sign * 29, 45.5 + dy + tilt, 0.55), OUTLINE)

    c.paint(ellipse(30, 49, 5, 3), PINK, 0.55)
    c.paint(ellipse(70, 49, 5, 3), PINK, 0.55)
    c.paint(polygon([(47.6, 45.6), (52.4, 45.6), (50, 48.2)], 0.8), (232, 110, 120))
    # The mouth: a small "w" under the nose.
    c.paint(polyline(bezier((45.5, 49.5), (47.8, 52.6), (50, 49.3), 6), 0.7), OUTLINE)
    c.paint(polyline(bezier((50, 49.3), (52.2, 52.6), (54.5, 49.5), 6), 0.7), OUTLINE)


def draw(eyes='open', sway=0.0):
    c = Canvas(WIDTH, HEIGHT)
    tail(c, sway)
    body(c)
    head(c, eyes)
    return c.pixels()


def draw_icon(size):
    """The head alone, filling the icon."""
    scale = size / 68.0
    c = Canvas(size, size, scale, -16 * scale, 1 * scale)
    head(c, 'open', whiskers=size >= 32)
    return c.pixels()


# (picture, stay in 100 ms ticks): a long idle whose length is drawn at random each time,
# a quick blink, then one slow swish of the tail.
FRAMES = [
    (dict(eyes='open', sway=0.0), -40),
    (dict(eyes='half', sway=0.0), 1),
    (dict(eyes='closed', sway=0.0), 2),
    (dict(eyes='half', sway=0.0), 1),
    (dict(eyes='open', sway=0.5), 2),
    (dict(eyes='open', sway=1.0), 5),
    (dict(eyes='open', sway=0.4), 2),
]
