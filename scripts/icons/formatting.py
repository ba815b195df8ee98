"""The formatting toolbar's 16-px glyphs. Letters and bars sit on whole pixels
with strokes 2-3 px wide, so they stay sharp on a flat toolbar; only curves
and slants are antialiased."""
import math

from .canvas import Canvas
from .palette import BLUE, BREAK, DARK
from .shapes import Shape, chain_link, polygon, rect, rounded_rect, turned

SIZE = 16
INK = DARK


def bold():
    c = Canvas(SIZE)
    # A heavy stem and two bowls, the lower one wider, as in most sans B's.
    top = rounded_rect(4, 2, 11, 9, tr=3, br=3) - rounded_rect(7, 4, 9, 7, tr=1, br=1)
    low = rounded_rect(4, 7, 12, 14, tr=3, br=3) - rounded_rect(7, 9, 10, 12, tr=1, br=1)
    c.fill(top | low, INK)
    return c.pixels()


def italic():
    c = Canvas(SIZE)
    stem = polygon([(9.0, 4.0), (11.5, 4.0), (7.0, 12.0), (4.5, 12.0)])
    c.fill(stem | rect(7, 2, 14, 4) | rect(2, 12, 9, 14), INK)
    return c.pixels()


def underline():
    c = Canvas(SIZE)
    u = rounded_rect(4, 2, 12, 11, br=4, bl=4) - rounded_rect(6, 0, 10, 9, br=2, bl=2)
    c.fill(u, INK)
    c.fill(rect(3, 12, 13, 14), BLUE)
    return c.pixels()


# Line lengths of the alignment glyphs, long and short in turn, like a
# paragraph's ragged edge; bars as heavy as the letters' strokes.
ALIGN_ROWS = [(1, 12), (5, 8), (9, 12), (13, 6)]
ALIGN_THICK = 2


def _align(where):
    c = Canvas(SIZE)
    left, width = 2, 12
    bars = []
    for y, length in ALIGN_ROWS:
        if where == 'left':
            x0 = left
        elif where == 'right':
            x0 = left + width - length
        else:
            x0 = left + (width - length) // 2
        bars.append(rect(x0, y, x0 + length, y + ALIGN_THICK))
    shape = bars[0]
    for b in bars[1:]:
        shape = shape | b
    c.fill(shape, INK)
    return c.pixels()


def align_left():
    return _align('left')


def align_center():
    return _align('center')


def align_right():
    return _align('right')


# Chain links lie along the rising diagonal; s runs along it from the centre,
# t across it (t < 0 is the upper-left side).
R = 3.0
W = 1.6
ROOT2 = math.sqrt(2)


def _on_axis(s):
    return (8 + s / ROOT2, 8 - s / ROOT2)


def _axis_coords(x, y):
    dx, dy = x - 8, y - 8
    return (dx - dy) / ROOT2, (dx + dy) / ROOT2


def _link(s0, s1, grow=0.0):
    (ax, ay), (bx, by) = _on_axis(s0), _on_axis(s1)
    return chain_link(ax, ay, bx, by, R + grow, W + 2 * grow)


def _where(test):
    return Shape(lambda x, y: test(*_axis_coords(x, y)), (0, 0, SIZE, SIZE))


def link():
    c = Canvas(SIZE)
    first, second = (-5.5, -1.0), (1.0, 5.5)
    c.fill(_link(*first), INK)
    # Each link passes over the other once, which is what makes them read as
    # interlocked rather than merely overlapping.
    upper = _where(lambda s, t: t < 0)
    lower = _where(lambda s, t: t >= 0)
    c.erase(_link(*second, grow=0.8) & upper)
    c.fill(_link(*second), BLUE)
    c.erase(_link(*first, grow=0.8) & lower & _link(*second, grow=0.8))
    c.fill(_link(*first) & lower, INK)
    return c.pixels()


def unlink():
    c = Canvas(SIZE)
    # The links of the Link glyph pulled apart and opened where they held on.
    c.fill(_link(-5.5, -2.5) & _where(lambda s, t: s < -2.5), INK)
    c.fill(_link(2.5, 5.5) & _where(lambda s, t: s > 2.5), BLUE)
    # Whole pixels, so the little sparks of the break stay sharp in red.
    sparks = [rect(6, 1, 7, 4), rect(1, 6, 4, 7), rect(3, 3, 4, 4), rect(4, 4, 5, 5)]
    for spark in sparks:
        c.fill(spark, BREAK)
        c.fill(turned(spark, SIZE), BREAK)
    return c.pixels()

