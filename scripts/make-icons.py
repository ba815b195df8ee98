#!/usr/bin/env python3
"""Draws the accessory's icons (a white "W" on a blue disc with a paper corner)
as 32-bit ICO files with alpha. Run once; the results are kept in res/icons."""
import math
import struct
import sys


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def render(size, ss=4):
    blue = (0x21, 0x75, 0x9B)
    dark = (0x14, 0x4A, 0x63)
    white = (0xFF, 0xFF, 0xFF)
    # The "W" as a polyline in unit coordinates.
    w = [(0.22, 0.30), (0.36, 0.72), (0.50, 0.40), (0.64, 0.72), (0.78, 0.30)]
    stroke = 0.075 if size >= 32 else 0.09
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
                    if d < stroke:
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


def ico(images):
    header = struct.pack('<HHH', 0, 1, len(images))
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for size, px in images:
        bih = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        andmask = b''
        for row in reversed(px):
            bits = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            andmask += bytes(bits)
        blob = bih + xor + andmask
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return header + entries + blobs


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'res/icons'
    with open(f'{out}/WordPress.ico', 'wb') as f:
        f.write(ico([(32, render(32))]))
    with open(f'{out}/WordPressSmall.ico', 'wb') as f:
        f.write(ico([(16, render(16))]))
