"""The image toolbar's 60-px buttons: where a picture sits among lines of
text. All four share one picture and one set of text bars, so they read as a
family and differ only in placement."""
from .canvas import Canvas
from .palette import BLUE, DARK, TEXT, WHITE
from .shapes import disc, polygon, rounded_rect

SIZE = 60
MARGIN = 3
PIC_W, PIC_H = 28, 25
BAR_H, BAR_PITCH = 4, 7
# The last line of a paragraph stops short.
SHORT = 37


def _picture(c, x0, y0):
    x1, y1 = x0 + PIC_W, y0 + PIC_H
    frame = rounded_rect(x0, y0, x1, y1, 3)
    c.fill(frame, DARK)
    inner = rounded_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 2)
    c.fill(inner, BLUE)
    c.fill(disc(x1 - 7.5, y0 + 7.5, 3.0), WHITE)
    back = polygon([(x0 + 1, y1 - 1), (x0 + 1, y1 - 6), (x0 + 10, y0 + 8),
                    (x0 + 19, y1 - 6), (x0 + 22, y1 - 9), (x1 - 1, y1 - 4), (x1 - 1, y1 - 1)])
    c.fill(back & inner, '#A9D0E2')
    front = polygon([(x0 + 1, y1 - 1), (x0 + 10, y0 + 8), (x0 + 18, y1 - 1)])
    c.fill(front & inner, WHITE, 0.9)


def _bar(c, x0, x1, y):
    c.fill(rounded_rect(x0, y, x1, y + BAR_H, BAR_H / 2), TEXT)


def _lines(c, x0, x1, y0, count, last_short=True):
    for i in range(count):
        end = x0 + SHORT if (last_short and i == count - 1) else x1
        _bar(c, x0, end, y0 + i * BAR_PITCH)


LEFT, RIGHT = MARGIN, SIZE - MARGIN
TOP = MARGIN
BELOW = TOP + PIC_H + 3
CENTRE_X = (SIZE - PIC_W) // 2


def image_left():
    c = Canvas(SIZE)
    _picture(c, LEFT, TOP)
    _lines(c, LEFT + PIC_W + 4, RIGHT, TOP, 4, last_short=False)
    _lines(c, LEFT, RIGHT, BELOW, 4)
    return c.pixels()


def image_right():
    c = Canvas(SIZE)
    _picture(c, RIGHT - PIC_W, TOP)
    _lines(c, LEFT, RIGHT - PIC_W - 4, TOP, 4, last_short=False)
    _lines(c, LEFT, RIGHT, BELOW, 4)
    return c.pixels()


def image_top():
    c = Canvas(SIZE)
    _picture(c, CENTRE_X, TOP)
    _lines(c, LEFT, RIGHT, BELOW, 4)
    return c.pixels()


def image_bottom():
    c = Canvas(SIZE)
    _lines(c, LEFT, RIGHT, TOP, 4)
    _picture(c, CENTRE_X, BELOW)
    return c.pixels()
