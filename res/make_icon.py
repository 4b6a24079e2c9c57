#!/usr/bin/env python3
"""Draws Latchkey's padlock icon into Latchkey.ico: the icon of Latchkey.exe and lkrun3.exe.

Usage: make_icon.py [ICO] [--preview FOLDER]

One picture in every size Windows asks for at 96 to 192 DPI and on the desktop: 16, 20, 24, 32,
40, 48, 64 and 256 pixels, each 32-bit colour with alpha, every one stored as PNG (Windows reads
PNG images of any size since Vista): 100 to 700 bytes each instead of up to 7 KB as a bitmap, and
both programs carry the icon. The picture is the
padlock Latchkey has always had (a grey shackle, a gold body with a darker foot and a keyhole,
black outlines), laid out on whole pixels at each size so that no edge is blurred. --preview also
writes each size as a PNG, to look at.

Run it again only to change the picture; the .ico it writes is committed. Python 3 alone: the
PNG and ICO bytes are written with zlib and struct.
"""
import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)

CLEAR = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
SILVER = (192, 192, 192, 255)
GOLD = (255, 255, 0, 255)
FOOT = (128, 128, 0, 255)


def scaled(units, size):
    """A length given on the 32-pixel grid, in whole pixels at this size."""
    return int(units * size / 32.0 + 0.5)


def even(n):
    return max(2, n - n % 2)


def padlock(size):
    """Rows of RGBA tuples: the padlock at this size, top row first."""
    img = [[CLEAR] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(size, y1)):
            for x in range(max(0, x0), min(size, x1)):
                img[y][x] = colour

    line = max(1, scaled(1, size))  # outline width
    centre = size // 2

    # The body: a gold block outlined in black, its foot darker.
    body_left, body_top, body_bottom = scaled(4, size), scaled(14, size), scaled(30, size)
    body_right = size - body_left

    # The shackle: a bar over two legs, outlined in black outside, grey inside, open underneath.
    bar_top = scaled(3, size)
    bar_bottom = bar_top + max(line + 1, scaled(3, size))
    bar_left = scaled(8, size)
    leg_left = scaled(7, size)
    leg_width = max(2 * line + 1, scaled(4, size))
    leg_top = min(scaled(5, size), bar_bottom - 1)
    legs = ((leg_left, leg_left + leg_width), (size - leg_left - leg_width, size - leg_left))
    fill(bar_left, bar_top, size - bar_left, bar_bottom, BLACK)
    for x0, x1 in legs:
        fill(x0, leg_top, x1, body_top + 1, BLACK)
    fill(bar_left + line, bar_top + line, size - bar_left - line, bar_bottom, SILVER)
    for x0, x1 in legs:
        fill(x0 + line, bar_bottom, x1 - line, body_top + 1, SILVER)

    fill(body_left, body_top, body_right, body_bottom, BLACK)
    fill(body_left + line, body_top + line, body_right - line, body_bottom - line, GOLD)
    foot_top = min(scaled(26, size), body_bottom - line - 1)
    fill(body_left + line, foot_top, body_right - line, body_bottom - line, FOOT)

    # The keyhole: a square head over a narrower stem, centred, ending at the foot.
    stem = even(scaled(2, size))
    head = max(stem + 2, even(scaled(4, size)))
    head_top = scaled(18, size)
    head_bottom = head_top + max(2, scaled(4, size))
    fill(centre - head // 2, head_top, centre + head // 2, head_bottom, BLACK)
    fill(centre - stem // 2, head_bottom, centre + stem // 2, max(head_bottom + 1, foot_top), BLACK)
    return img


def png(img):
    size = len(img)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    # Each image takes whichever row filter packs it smaller: none, or "up" (the difference from the
    # row above), which turns the large picture's repeated rows into zeros.
    rows = [bytes(c for pixel in row for c in pixel) for row in img]
    plain = b''.join(b'\0' + row for row in rows)
    up = b''.join(b'\2' + bytes((a - b) & 0xFF for a, b in zip(row, above))
                  for row, above in zip(rows, [bytes(len(rows[0]))] + rows))
    packed = min((zlib.compress(raw, 9) for raw in (plain, up)), key=len)
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', packed) +
            chunk(b'IEND', b''))


def main(argv):
    path = 'Latchkey.ico'
    preview = None
    args = list(argv)
    while args:
        arg = args.pop(0)
        if arg == '--preview' and args:
            preview = args.pop(0)
        else:
            path = arg

    pictures = {size: padlock(size) for size in SIZES}
    images = [(size, png(pictures[size])) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = size if size < 256 else 0  # 0 stands for 256
        out += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(data for _, data in images))

    if preview:
        os.makedirs(preview, exist_ok=True)
        for size in SIZES:
            with open(os.path.join(preview, 'icon-%d.png' % size), 'wb') as f:
                f.write(png(pictures[size]))


if __name__ == '__main__':
    main(sys.argv[1:])
