"""A premultiplied RGBA pixel buffer that shapes are painted onto by
supersampled coverage."""


def hex_colour(text):
    text = text.lstrip('#')
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


class Canvas:
    # Pixels per design pixel. The drawings are written at their 100 % size;
    # at a larger scale the same shapes are sampled afresh for every pixel of
    # the larger image, so each size is drawn for its own pixels rather than
    # stretched from a smaller one.
    scale = 1.0

    def __init__(self, size, ss=8):
        self.size = int(round(size * Canvas.scale))
        self.k = self.size / size
        size = self.size
        self.ss = ss
        # Sample positions at the centres of an ss x ss grid, so whole-number
        # edges give exact 0 or 1 coverage.
        self.offsets = [(i + 0.5) / ss for i in range(ss)]
        self.px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(size)] for _ in range(size)]

    def coverage(self, shape):
        k = self.k
        x0, y0, x1, y1 = (v * k for v in shape.bbox)
        n = self.ss * self.ss
        test = shape.inside
        for y in range(max(0, int(y0) - 1), min(self.size, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(self.size, int(x1) + 2)):
                hits = 0
                for oy in self.offsets:
                    for ox in self.offsets:
                        if test((x + ox) / k, (y + oy) / k):
                            hits += 1
                if hits:
                    yield x, y, hits / n

    def fill(self, shape, colour, opacity=1.0):
        r, g, b = hex_colour(colour) if isinstance(colour, str) else colour
        for x, y, c in self.coverage(shape):
            a = c * opacity
            p = self.px[y][x]
            keep = 1.0 - a
            p[0] = r * a + p[0] * keep
            p[1] = g * a + p[1] * keep
            p[2] = b * a + p[2] * keep
            p[3] = a + p[3] * keep

    def erase(self, shape):
        """Clears what is under the shape, for the gap where one stroke passes
        over another."""
        for x, y, c in self.coverage(shape):
            p = self.px[y][x]
            for i in range(4):
                p[i] *= 1.0 - c

    def pixels(self):
        """Straight-alpha (r, g, b, a) rows, what the ICO writer stores."""
        out = []
        for row in self.px:
            line = []
            for r, g, b, a in row:
                a8 = int(round(a * 255))
                if a8 == 0:
                    line.append((0, 0, 0, 0))
                else:
                    line.append(tuple(min(255, int(round(v / a))) for v in (r, g, b)) + (a8,))
            out.append(line)
        return out
