#!/usr/bin/env python3
"""Draws Zinnow's icon (a clipboard with a picture on it) as a 16-colour ICO with a 32 x 32 and a
16 x 16 image. Run it again only to change the design: app/zinnow.ico is committed."""
import struct
import sys

# The standard 16-colour palette, as (blue, green, red, 0).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]


def draw(size):
    s = size / 32.0
    pixels = [[None] * size for _ in range(size)]  # None: transparent

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    pixels[y][x] = colour

    rect(4, 3, 28, 31, 6)        # the board (dark yellow-brown)
    rect(7, 7, 25, 28, 15)       # the sheet
    rect(11, 1, 21, 6, 8)        # the clip
    rect(13, 2, 19, 4, 7)
    rect(9, 10, 23, 24, 12)      # the picture: sky
    rect(9, 19, 23, 24, 2)       # land
    rect(18, 12, 21, 15, 11)     # sun
    rect(9, 25, 23, 26, 0)       # a caption line
    return pixels


def image(size):
    pixels = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (b, g, r) in PALETTE)
    stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    xor, andmask = b'', b''
    for y in reversed(range(size)):
        row = bytearray(stride)
        mask = bytearray(mask_stride)
        for x in range(size):
            p = pixels[y][x]
            if p is None:
                mask[x // 8] |= 0x80 >> (x % 8)
                p = 0
            row[x // 2] |= p << (4 if x % 2 == 0 else 0)
        xor += bytes(row)
        andmask += bytes(mask)
    return header + table + xor + andmask


def main(path):
    images = [image(32), image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'app/zinnow.ico')
