"""Shapes as point-inside tests in pixel coordinates (y down, pixel (x, y) covers
[x, x+1) x [y, y+1)), so an edge on a whole number lands exactly between pixels
and stays sharp; anything else is antialiased by the canvas's supersampling."""
import math


class Shape:
    def __init__(self, inside, bbox):
        self.inside = inside
        self.bbox = bbox  # (x0, y0, x1, y1); only a hint for speed, so it may be loose

    def __or__(self, other):
        return union(self, other)

    def __sub__(self, other):
        return difference(self, other)

    def __and__(self, other):
        return intersection(self, other)


def _merge(boxes):
    return (min(b[0] for b in boxes), min(b[1] for b in boxes),
            max(b[2] for b in boxes), max(b[3] for b in boxes))


def union(*shapes):
    tests = [s.inside for s in shapes]
    return Shape(lambda x, y: any(t(x, y) for t in tests), _merge([s.bbox for s in shapes]))


def difference(a, *cut):
    tests = [s.inside for s in cut]
    ta = a.inside
    return Shape(lambda x, y: ta(x, y) and not any(t(x, y) for t in tests), a.bbox)


def intersection(a, b):
    ta, tb = a.inside, b.inside
    box = (max(a.bbox[0], b.bbox[0]), max(a.bbox[1], b.bbox[1]),
           min(a.bbox[2], b.bbox[2]), min(a.bbox[3], b.bbox[3]))
    return Shape(lambda x, y: ta(x, y) and tb(x, y), box)


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1))


def rounded_rect(x0, y0, x1, y1, r=0.0, tl=None, tr=None, br=None, bl=None):
    """Corner radii default to r; each may be given on its own, so one shape can
    be square on one side and round on the other (the bowls of a B, a U)."""
    radii = [r if c is None else c for c in (tl, tr, br, bl)]
    corners = [(x0 + radii[0], y0 + radii[0], radii[0], -1, -1),
               (x1 - radii[1], y0 + radii[1], radii[1], 1, -1),
               (x1 - radii[2], y1 - radii[2], radii[2], 1, 1),
               (x0 + radii[3], y1 - radii[3], radii[3], -1, 1)]
    corners = [c for c in corners if c[2] > 0]

    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        for cx, cy, cr, sx, sy in corners:
            if (x - cx) * sx > 0 and (y - cy) * sy > 0:
                return (x - cx) ** 2 + (y - cy) ** 2 <= cr * cr
        return True
    return Shape(inside, (x0, y0, x1, y1))


def disc(cx, cy, r):
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                 (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r_out, r_in):
    return disc(cx, cy, r_out) - disc(cx, cy, r_in)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def stroke(points, width, cap='round'):
    """A polyline of the given width with round joins; 'butt' ends stop flat at
    the end points instead of bulging past them."""
    h = width / 2
    segs = list(zip(points, points[1:]))
    box = (min(p[0] for p in points) - h, min(p[1] for p in points) - h,
           max(p[0] for p in points) + h, max(p[1] for p in points) + h)
    if cap == 'round':
        return Shape(lambda x, y: any(seg_dist(x, y, *a, *b) <= h for a, b in segs), box)

    joints = points[1:-1]

    def inside(x, y):
        for (ax, ay), (bx, by) in segs:
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            t = ((x - ax) * dx + (y - ay) * dy) / length2
            if 0 <= t <= 1 and abs((x - ax) * dy - (y - ay) * dx) / math.sqrt(length2) <= h:
                return True
        return any((x - jx) ** 2 + (y - jy) ** 2 <= h * h for jx, jy in joints)
    return Shape(inside, box)


def capsule(ax, ay, bx, by, r):
    return Shape(lambda x, y: seg_dist(x, y, ax, ay, bx, by) <= r,
                 (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r))


def chain_link(ax, ay, bx, by, r, width):
    """A link seen flat: the outline of a capsule of radius r, width thick."""
    return capsule(ax, ay, bx, by, r) - capsule(ax, ay, bx, by, r - width)


def turned(shape, size):
    """The shape turned half a circle about the centre of an icon of the given size."""
    t = shape.inside
    x0, y0, x1, y1 = shape.bbox
    return Shape(lambda x, y: t(size - x, size - y), (size - x1, size - y1, size - x0, size - y0))
