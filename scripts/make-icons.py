#!/usr/bin/env python3
"""Draws every icon of the accessory as a 32-bit ICO with alpha, plus a
preview sheet for judging them at the size they are shown. Plain Python, no
imaging library: the results are committed in res/icons and only need
redrawing when a drawing changes.

    python3 scripts/make-icons.py [output folder] [--preview file.png]

The folder defaults to res/icons, the preview to docs/icons-preview.png."""
import os
import sys

# Keep the icons package free of __pycache__, which would otherwise end up
# next to the committed sources.
sys.dont_write_bytecode = True

from icons import brand, formatting, placement  # noqa: E402
from icons.canvas import Canvas  # noqa: E402
from icons.files import check_ico, ico, png  # noqa: E402

# The toolbars' icons are drawn at 100, 125, 150 and 200 per cent, for the
# display scales Windows offers; the editor loads the one for its DPI.
SCALES = [1.0, 1.25, 1.5, 2.0]
SCALED = {'Bold.ico', 'Italic.ico', 'Underline.ico', 'AlignLeft.ico', 'AlignCenter.ico', 'AlignRight.ico',
          'Link.ico', 'Unlink.ico', 'ImageLeft.ico', 'ImageRight.ico', 'ImageTop.ico', 'ImageBottom.ico'}

# The accessory's own icon is drawn for its size rather than on the scaled
# canvas; the popup shows it at 32 pixels a scale, so each is drawn, never
# stretched.
SIZED = {'WordPress.ico': [32, 40, 48, 64]}

# Every icon once: file name, size, drawing. The preview shows them in this order.
ICONS = [
    ('WordPress.ico', 32, brand.large),
    ('WordPressSmall.ico', 16, brand.small),
    ('Bold.ico', 16, formatting.bold),
    ('Italic.ico', 16, formatting.italic),
    ('Underline.ico', 16, formatting.underline),
    ('AlignLeft.ico', 16, formatting.align_left),
    ('AlignCenter.ico', 16, formatting.align_center),
    ('AlignRight.ico', 16, formatting.align_right),
    ('Link.ico', 16, formatting.link),
    ('Unlink.ico', 16, formatting.unlink),
    ('ImageLeft.ico', 60, placement.image_left),
    ('ImageRight.ico', 60, placement.image_right),
    ('ImageTop.ico', 60, placement.image_top),
    ('ImageBottom.ico', 60, placement.image_bottom),
]

# The dialog's face colour on Windows 10 and under Wine.
BACKGROUNDS = [(0xF0, 0xF0, 0xF0), (0xD4, 0xD0, 0xC8)]
ZOOM = 4
GAP = 12


def over(px, bg):
    r, g, b, a = px
    return tuple(int(round((v * a + w * (255 - a)) / 255)) for v, w in zip((r, g, b), bg))


def preview(drawn):
    """One band per background; in it a row per icon size, each icon at 4x
    (nearest neighbour, to show every pixel) with its 1x below."""
    sizes = sorted({size for _, size, _ in drawn}, key=lambda s: [d[1] for d in drawn].index(s))
    rows = [[d for d in drawn if d[1] == s] for s in sizes]
    width = GAP + max(sum(s * ZOOM + GAP for _, s, _ in row) for row in rows)
    band = GAP + sum(row[0][1] * (ZOOM + 1) + 2 * GAP for row in rows)
    height = band * len(BACKGROUNDS)
    sheet = [[None] * width for _ in range(height)]
    for k, bg in enumerate(BACKGROUNDS):
        for y in range(k * band, (k + 1) * band):
            sheet[y] = [bg] * width
        top = k * band + GAP
        for row in rows:
            size = row[0][1]
            left = GAP
            for _, _, px in row:
                for y in range(size * ZOOM):
                    line = sheet[top + y]
                    for x in range(size * ZOOM):
                        line[left + x] = over(px[y // ZOOM][x // ZOOM], bg)
                one = top + size * ZOOM + GAP // 2
                x1 = left + (size * ZOOM - size) // 2
                for y in range(size):
                    for x in range(size):
                        sheet[one + y][x1 + x] = over(px[y][x], bg)
                left += size * ZOOM + GAP
            top += size * (ZOOM + 1) + 2 * GAP
    return png(width, height, sheet)


def main(args):
    out, sheet = 'res/icons', 'docs/icons-preview.png'
    rest = list(args)
    if '--preview' in rest:
        i = rest.index('--preview')
        sheet = rest[i + 1]
        del rest[i:i + 2]
    if rest:
        out = rest[0]
    drawn = []
    for name, size, draw in ICONS:
        images = [(n, draw(size=n)) for n in SIZED.get(name, [])]
        for scale in ([] if name in SIZED else SCALES if name in SCALED else [1.0]):
            Canvas.scale = scale
            px = draw()
            Canvas.scale = 1.0
            n = int(round(size * scale))
            assert len(px) == n and all(len(r) == n for r in px), name
            images.append((n, px))
        data = ico(images)
        check_ico(data, [n for n, _ in images])
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)
        drawn.append((name, size, images[0][1]))
    if sheet:
        with open(sheet, 'wb') as f:
            f.write(preview(drawn))


if __name__ == '__main__':
    main(sys.argv[1:])
