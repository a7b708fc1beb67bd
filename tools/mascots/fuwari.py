"""Fuwari, a small ghost floating over the title bar: it bobs up and down, waves its little arms
and, at the top of each bob, squeezes its eyes shut in a grin.

Design units are the pixels of an 84 x 84 frame; the head alone, scaled, makes the icon.
"""
import math

from raster import (Canvas, bezier, circle, clamp, ellipse, grow, half_plane_above, half_plane_below, intersect,
                    polyline, round_rect, shaded, union)

WIDTH, HEIGHT = 84, 84
OUTLINE = (92, 78, 138)
BODY = (246, 246, 255)
BODY_LIGHT = (255, 255, 255)
BODY_SHADE = (196, 188, 234)
EYE = (62, 50, 92)
CHEEK = (255, 160, 190)
MOUTH = (196, 74, 104)
TONGUE = (255, 138, 160)
LINE = 1.6


def body_shape(dy, ripple):
    head = circle(42, 38 + dy, 26)
    trunk = round_rect(16, 38 + dy, 68, 84 + dy, 2)
    # The hem: three round scallops; `ripple` (-1..1) lifts the outer ones and drops the middle
    # one by turns, so the hem flutters from frame to frame.
    width = 52 / 3
    depth = [5 + 1.5 * ripple, 5 - 1.5 * ripple, 5 + 1.5 * ripple]

    def hem(x):
        k = min(2, max(0, int((x - 16) // width)))
        t = clamp((x - 16 - width * (k + 0.5)) / (width / 2), -1, 1)
        return 72 + dy + depth[k] * math.sqrt(1 - t * t)

    return intersect(union(head, trunk), half_plane_below(hem))


def draw_ghost(c, dy=0.0, arms=0.0, ripple=0.0, face='smile'):
    """arms: 0 hanging down, 1 raised. face: 'smile' or 'grin' (eyes squeezed shut)."""
    fill = shaded(BODY, BODY_LIGHT, BODY_SHADE, 14 + dy, 82 + dy, 22, 66)
    # Arms first, so the body's outline crosses where they join.
    for side in (-1, 1):
        angle = side * (0.9 - 1.3 * arms)
        ax = 42 + side * 25
        ay = 54 + dy - 6 * arms
        arm = ellipse(ax + side * 3, ay, 8, 4.6, angle)
        c.paint(grow(arm, LINE), OUTLINE)
        c.paint(arm, fill)
    shape = body_shape(dy, ripple)
    c.paint(grow(shape, LINE), OUTLINE)
    c.paint(shape, fill)
    # A soft sheen on the crown.
    c.paint(ellipse(32, 22 + dy, 8, 4.5, -0.5), BODY_LIGHT, 0.9)

    for x in (32, 52):
        if face == 'grin':
            c.paint(polyline(bezier((x - 4.5, 42 + dy), (x, 34.5 + dy), (x + 4.5, 42 + dy), 8), 1.1), EYE)
        else:
            c.paint(ellipse(x, 40 + dy, 4, 5.4), EYE)
            c.paint(circle(x + 1.4, 37.6 + dy, 1.6), (255, 255, 255))
            c.paint(circle(x - 1.3, 42.6 + dy, 0.8), (255, 255, 255))
    c.paint(ellipse(24, 48 + dy, 5, 3), CHEEK, 0.6)
    c.paint(ellipse(60, 48 + dy, 5, 3), CHEEK, 0.6)
    # A small open mouth with a tongue.
    mouth = intersect(ellipse(42, 47.5 + dy, 4.2, 4.2), half_plane_above(lambda x: 46 + dy))
    c.paint(grow(mouth, 0.7), EYE)
    c.paint(mouth, MOUTH)
    c.paint(intersect(mouth, ellipse(42, 51.5 + dy, 3, 2.2)), TONGUE)


def draw(**pose):
    c = Canvas(WIDTH, HEIGHT)
    draw_ghost(c, **pose)
    return c.pixels()


def draw_icon(size):
    """The head and the top of the body, filling the icon."""
    scale = size / 52.0
    c = Canvas(size, size, scale, -16 * scale, -10 * scale)
    draw_ghost(c)
    return c.pixels()


# (picture, stay in 100 ms ticks): a rest at the bottom whose length is drawn at random each
# time, a rise with the arms coming up, a happy grin at the top, and down again.
FRAMES = [
    (dict(dy=0, arms=0.0, ripple=0.0), -25),
    (dict(dy=-2, arms=0.35, ripple=0.5), 2),
    (dict(dy=-5, arms=0.8, ripple=1.0), 2),
    (dict(dy=-7, arms=1.0, ripple=0.0, face='grin'), 6),
    (dict(dy=-5, arms=0.7, ripple=-1.0), 2),
    (dict(dy=-2, arms=0.3, ripple=-0.5), 2),
]
