#!/usr/bin/env python3
"""Draws the program's icon, two pictures dissolving into each other, and
writes it as a 32x32 16-colour Windows icon (plavex.ico) and as a PNG with
transparency (plavex.png). Uses only the standard library."""

import struct
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


def write_png(pixels, path):
    raw = bytearray()
    for y in range(SIZE):
        raw.append(0)
        for p in pixels[y]:
            raw += bytes((0, 0, 0, 0)) if p is CLEAR else bytes(PALETTE[p] + (255,))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    png += chunk(b'IEND', b'')
    path.write_bytes(png)


if __name__ == '__main__':
    here = Path(__file__).resolve().parent
    picture = draw()
    write_ico(picture, here / 'plavex.ico')
    write_png(picture, here / 'plavex.png')
