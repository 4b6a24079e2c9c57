#!/usr/bin/env python3
"""Draws Latchkey's padlock icon (32x32 and 16x16, 16 colours) into Latchkey.ico.

Run it again only to change the picture; the .ico it writes is committed.
"""
import struct
import sys

# The standard 16-colour palette: index -> (r, g, b).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
COLOURS = {'.': None, 'k': 0, 'g': 8, 's': 7, 'w': 15, 'y': 11, 'o': 3}


def padlock(size):
    """Rows of colour letters for a padlock of the given size."""
    img = [['.'] * size for _ in range(size)]
    u = size / 32.0

    def fill(x0, y0, x1, y1, c):
        for y in range(int(y0 * u), max(int(y0 * u) + 1, int(y1 * u))):
            for x in range(int(x0 * u), max(int(x0 * u) + 1, int(x1 * u))):
                img[y][x] = c

    # Shackle: a grey arch.
    fill(8, 3, 24, 6, 'k'); fill(9, 4, 23, 6, 's')
    fill(7, 5, 11, 15, 'k'); fill(8, 6, 10, 15, 's')
    fill(21, 5, 25, 15, 'k'); fill(22, 6, 24, 15, 's')
    # Body: a gold block with a dark keyhole.
    fill(4, 14, 28, 30, 'k'); fill(5, 15, 27, 29, 'y'); fill(5, 26, 27, 29, 'o')
    fill(14, 18, 18, 22, 'k'); fill(15, 22, 17, 26, 'k')
    return img


def dib(img):
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = b''
    andmask = b''
    and_stride = ((size + 31) // 32) * 4
    for row in reversed(img):
        bits = [COLOURS[c] or 0 for c in row]
        xor += bytes((bits[i] << 4) | bits[i + 1] for i in range(0, size, 2))
        xor += b'\0' * (-(size // 2) % 4)
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if COLOURS[c] is None else 0)
        andmask += mask.to_bytes(size // 8, 'big') + b'\0' * (and_stride - size // 8)
    return header + palette + xor + andmask


def main(path):
    images = [dib(padlock(32)), dib(padlock(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'Latchkey.ico')
