"""The accessory's own icon: a white "W" on a blue disc with a dark rim."""
import math

from .canvas import Canvas
from .palette import BLUE, DARK, WHITE
from .shapes import disc, seg_dist, stroke


def large(size=32, ss=4):
    """The 32-px icon exactly as it was first drawn, so regenerating it leaves
    the committed file (and the host's menu icon) byte for byte unchanged."""
    blue = (0x21, 0x75, 0x9B)
    dark = (0x14, 0x4A, 0x63)
    white = (0xFF, 0xFF, 0xFF)
    w = [(0.22, 0.30), (0.36, 0.72), (0.50, 0.40), (0.64, 0.72), (0.78, 0.30)]
    stroke_w = 0.075 if size >= 32 else 0.09
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    u = (x + (sx + 0.5) / ss) / size
                    v = (y + (sy + 0.5) / ss) / size
                    r = math.hypot(u - 0.5, v - 0.5)
                    if r > 0.48:
                        continue
                    colour = dark if r > 0.43 else blue
                    d = min(seg_dist(u, v, *w[i], *w[i + 1]) for i in range(len(w) - 1))
                    if d < stroke_w:
                        colour = white
                    for i in range(3):
                        acc[i] += colour[i]
                    acc[3] += 1
            n = ss * ss
            a = acc[3] / n
            if acc[3]:
                row.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]), int(round(a * 255))))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def small():
    """16 px: the 32-px drawing scaled down turns the W into a grey smear, so
    here the rim is a whole pixel and the W's strokes run between pixel
    centres, each of its four legs close to 2 px across."""
    c = Canvas(16)
    c.fill(disc(8, 8, 7.9), DARK)
    c.fill(disc(8, 8, 6.9), BLUE)
    c.fill(stroke([(3.3, 4.3), (5.5, 11.3), (8.0, 5.8), (10.5, 11.3), (12.7, 4.3)], 1.8), WHITE)
    return c.pixels()
