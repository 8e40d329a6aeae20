#!/usr/bin/env python3
"""Draws the program's icon, two pictures dissolving into each other.

The icon the program shows in its windows is pixel art: a 32x32 16-colour
Windows icon (plavex.ico) and the same pixels as a PNG with transparency
(plavex.png). For the desktop's icon theme the same scene is drawn once more
as shapes, where the dither of the pixel art becomes a smooth fade: a
scalable SVG (icons/plavex.svg) and PNGs at the theme's other sizes
(icons/plavex-N.png), rasterised here. Uses only the standard library.

Usage: make_icon.py [DIR]   (writes into DIR, by default beside this script)"""

import math
import struct
import sys
import zlib
from pathlib import Path

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, NAVY, GREY, RED, GREEN, YELLOW, BLUE, CYAN, WHITE = 0, 2, 4, 8, 9, 10, 11, 12, 14, 15
SIZE = 32
CLEAR = None


def first_picture(x, y):
    """A landscape: sky, a sun and a hill."""
    if y >= 14 - (x - 2) // 4:
        return GREEN if (x + y) % 5 else DARK_GREEN
    if (x - 6) ** 2 + (y - 8) ** 2 <= 6:
        return YELLOW
    return CYAN


def second_picture(x, y):
    """A red flower on a white ground."""
    if 22 <= x <= 23 and y >= 20:
        return DARK_GREEN
    if (x - 22) ** 2 + (y - 18) ** 2 <= 10:
        return YELLOW if (x - 22) ** 2 + (y - 18) ** 2 <= 2 else RED
    return WHITE


def draw():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    a = (1, 3, 19, 21)     # left, top, right, bottom of the first picture (inclusive)
    b = (12, 10, 30, 28)   # the second picture, overlapping the first

    def inside(r, x, y):
        return r[0] <= x <= r[2] and r[1] <= y <= r[3]

    def on_edge(r, x, y):
        return inside(r, x, y) and x in (r[0], r[2]) or inside(r, x, y) and y in (r[1], r[3])

    for y in range(SIZE):
        for x in range(SIZE):
            in_a, in_b = inside(a, x, y), inside(b, x, y)
            if in_a and in_b:
                # Where the two overlap they dissolve: a dither that shifts
                # from the first picture to the second along the diagonal.
                share = (x - b[0] + y - b[1]) / ((a[2] - b[0]) + (a[3] - b[1]))
                threshold = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]][y % 4][x % 4] / 16
                colour = second_picture(x, y) if share > threshold else first_picture(x, y)
                pixels[y][x] = colour
            elif in_a:
                pixels[y][x] = first_picture(x, y)
            elif in_b:
                pixels[y][x] = second_picture(x, y)
            if on_edge(b, x, y) or (on_edge(a, x, y) and not (in_b and not on_edge(b, x, y))):
                pixels[y][x] = BLACK if on_edge(b, x, y) or not in_b else pixels[y][x]
    # A shadow along the right and bottom of the front picture.
    for i in range(b[1] + 1, b[3] + 2):
        if pixels[i][b[2] + 1] is CLEAR:
            pixels[i][b[2] + 1] = GREY
    for i in range(b[0] + 1, b[2] + 2):
        if b[3] + 1 < SIZE and pixels[b[3] + 1][i] is CLEAR:
            pixels[b[3] + 1][i] = GREY
    return pixels


def write_ico(pixels, path):
    # Colour rows: 4 bits a pixel, bottom-up, each row 16 bytes (already a multiple of 4).
    xor = bytearray()
    for y in reversed(range(SIZE)):
        row = [0 if p is CLEAR else p for p in pixels[y]]
        xor += bytes((row[i] << 4) | row[i + 1] for i in range(0, SIZE, 2))
    # Mask rows: 1 bit a pixel, 1 = transparent, rows padded to 4 bytes.
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if pixels[y][x] is CLEAR else 0)
        mask += bits.to_bytes(4, 'big')
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    path.write_bytes(directory + image)


def png_bytes(rows):
    """A PNG of rows of (red, green, blue, alpha) pixels."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for rgba in row:
            raw += bytes(rgba)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', len(rows[0]), len(rows), 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    png += chunk(b'IEND', b'')
    return png


def write_png(pixels, path):
    path.write_bytes(png_bytes([[(0, 0, 0, 0) if p is CLEAR else PALETTE[p] + (255,) for p in row] for row in pixels]))


# The same scene as shapes, for the icon theme. Coordinates are in the pixel
# art's units: (0, 0) is the top left corner of its first pixel, (32, 32) the
# bottom right corner of its last.

def number(v):
    return f'{v:g}'


class Rect:
    def __init__(self, left, top, right, bottom):
        self.left, self.top, self.right, self.bottom = left, top, right, bottom

    def contains(self, x, y):
        return self.left <= x < self.right and self.top <= y < self.bottom

    def svg(self, fill):
        return (f'<rect x="{number(self.left)}" y="{number(self.top)}" width="{number(self.right - self.left)}" '
                f'height="{number(self.bottom - self.top)}" fill="{fill}"/>')


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def contains(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 < self.r ** 2

    def svg(self, fill):
        return f'<circle cx="{number(self.cx)}" cy="{number(self.cy)}" r="{number(self.r)}" fill="{fill}"/>'


class Polygon:
    """A convex polygon with its corners in clockwise order (y down)."""

    def __init__(self, corners):
        self.corners = corners

    def contains(self, x, y):
        ring = zip(self.corners, self.corners[1:] + self.corners[:1])
        return all((bx - ax) * (y - ay) - (by - ay) * (x - ax) >= 0 for (ax, ay), (bx, by) in ring)

    def svg(self, fill=None):
        points = ' '.join(f'{number(x)},{number(y)}' for x, y in self.corners)
        return f'<polygon points="{points}"' + (f' fill="{fill}"' if fill else '') + '/>'


class Furrows:
    """Lines of the given width along x + y = c for each c, inside the field only."""

    def __init__(self, field, offsets, width):
        self.field, self.offsets, self.width = field, list(offsets), width
        self.reach = width / 2 * math.sqrt(2)   # the width in units of x + y

    def contains(self, x, y):
        return any(abs(x + y - c) < self.reach for c in self.offsets) and self.field.contains(x, y)

    def svg(self, colour):
        lines = ' '.join(f'M{number(c)},0 L0,{number(c)}' for c in self.offsets)
        return (f'<path d="{lines}" clip-path="url(#field)" fill="none" stroke="{colour}" '
                f'stroke-width="{number(self.width)}"/>')


# Across the overlap the front picture fades in along the diagonal, from
# nothing at x + y = FADE_FROM to whole at x + y = FADE_TO.
FADE_FROM, FADE_TO = 23, 41


class Scene:
    """The shapes of the scene. Given a size in pixels, rectangles snap to
    whole pixels and frames are whole pixels wide, so that the icon stays
    crisp at sizes that are not a multiple of 32; without one the shapes are
    as drawn, for the SVG."""

    def __init__(self, size=None):
        scale = size / 32 if size else None   # pixels a unit

        def snap(u):
            return math.floor(u * scale + 0.5) / scale if scale else u

        def rect(left, top, right, bottom):
            return Rect(snap(left), snap(top), snap(right), snap(bottom))

        w = max(1, math.floor(scale + 0.5)) / scale if scale else 1   # the frames' width
        a, b = rect(1, 3, 22, 22), rect(12, 10, 31, 29)
        self.field = Polygon([(a.left, 14.6), (a.right, 9.4), (a.right, a.bottom), (a.left, a.bottom)])
        self.front_area, self.overlap = b, Rect(b.left, b.top, a.right, a.bottom)
        # Behind: the front picture's shadow, then the landscape with its
        # frame where the front picture leaves it uncovered.
        self.back = [(rect(13, 11, 32, 30), GREY), (a, CYAN), (Circle(6.5, 8.5, 2.6), YELLOW), (self.field, GREEN),
                     (Furrows(self.field, range(16, 45, 5), 0.8 * w), DARK_GREEN),
                     (Rect(a.left, a.top, a.right, a.top + w), BLACK), (Rect(a.left, a.top, a.left + w, a.bottom), BLACK),
                     (Rect(a.right - w, a.top, a.right, b.top), BLACK), (Rect(a.left, a.bottom - w, b.left, a.bottom), BLACK)]
        # In front: the flower, faded in across the overlap.
        self.front = [(b, WHITE), (rect(22.25, 20, 23.75, 29), DARK_GREEN),
                      (Circle(23, 18.5, 3.3), RED), (Circle(23, 18.5, 1.5), YELLOW)]
        self.front_frame = [(Rect(b.left, b.top, b.right, b.top + w), BLACK),
                            (Rect(b.left, b.bottom - w, b.right, b.bottom), BLACK),
                            (Rect(b.left, b.top, b.left + w, b.bottom), BLACK),
                            (Rect(b.right - w, b.top, b.right, b.bottom), BLACK)]

    def front_opacity(self, x, y):
        if not self.overlap.contains(x, y):
            return 1.0
        return min(max((x + y - FADE_FROM) / (FADE_TO - FADE_FROM), 0.0), 1.0)

    def at(self, x, y):
        """The scene at (x, y) as premultiplied (red, green, blue, alpha), 0..1 each."""
        top = paint(self.front_frame, x, y)
        if top:
            return tuple(c / 255 for c in top) + (1.0,)
        back, front = paint(self.back, x, y), paint(self.front, x, y)
        opacity = self.front_opacity(x, y) if front else 0.0
        rgba = [0.0, 0.0, 0.0, 0.0]
        for colour, weight in ((front, opacity), (back, 1.0 - opacity)):
            if colour and weight > 0:
                for i in range(3):
                    rgba[i] += colour[i] / 255 * weight
                rgba[3] += weight
        return tuple(rgba)



def paint(layers, x, y):
    """The colour of the topmost layer at (x, y), or None where none is."""
    for shape, colour in reversed(layers):
        if shape.contains(x, y):
            return PALETTE[colour]
    return None


def render(size):
    """The scene at size x size pixels, each the mean of a grid of points in it."""
    samples = 4 if size >= 128 else 6
    scene, scale = Scene(size), 32 / size
    offsets = [(i + 0.5) / samples for i in range(samples)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for oy in offsets:
                for ox in offsets:
                    for i, v in enumerate(scene.at((px + ox) * scale, (py + oy) * scale)):
                        total[i] += v
            alpha = total[3]
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(total[i] / alpha * 255 + 0.5) for i in range(3))
                           + (int(alpha / samples ** 2 * 255 + 0.5),))
        rows.append(row)
    return rows


def svg():
    scene = Scene()

    def code(colour):
        return '#%02x%02x%02x' % PALETTE[colour]

    # The fade's gradient runs across the lines x + y = constant.
    start, end = number(FADE_FROM / 2), number(FADE_TO / 2)
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">',
        '  <defs>',
        f'    <clipPath id="field">{scene.field.svg()}</clipPath>',
        f'    <linearGradient id="fade" gradientUnits="userSpaceOnUse" x1="{start}" y1="{start}" x2="{end}" y2="{end}">',
        '      <stop offset="0" stop-color="#ffffff" stop-opacity="0"/>',
        '      <stop offset="1" stop-color="#ffffff" stop-opacity="1"/>',
        '    </linearGradient>',
        '    <mask id="front" maskUnits="userSpaceOnUse" x="0" y="0" width="32" height="32">',
        '      ' + scene.front_area.svg('#ffffff'),
        '      ' + scene.overlap.svg('#000000'),
        '      ' + scene.overlap.svg('url(#fade)'),
        '    </mask>',
        '  </defs>',
    ]
    lines += ['  ' + shape.svg(code(colour)) for shape, colour in scene.back]
    lines += ['  <g mask="url(#front)">'] + ['    ' + shape.svg(code(colour)) for shape, colour in scene.front]
    lines += ['  </g>'] + ['  ' + shape.svg(code(colour)) for shape, colour in scene.front_frame]
    return '\n'.join(lines + ['</svg>', ''])


# The icon theme's sizes besides 32, which is the pixel art itself.
THEME_SIZES = (16, 22, 24, 48, 64, 128, 256)


if __name__ == '__main__':
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    picture = draw()
    write_ico(picture, out / 'plavex.ico')
    write_png(picture, out / 'plavex.png')
    (out / 'icons').mkdir(exist_ok=True)
    (out / 'icons' / 'plavex.svg').write_text(svg())
    for size in THEME_SIZES:
        (out / 'icons' / f'plavex-{size}.png').write_bytes(png_bytes(render(size)))
