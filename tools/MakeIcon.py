#!/usr/bin/env python3
"""Writes ZTBInstall.ico, the program's icon: a strip of film with a red and
a blue frame (the colours of the new and updated tables), as a 32 x 32 and
a 16 x 16 image of 16 colours each.

    python3 tools/MakeIcon.py ui/ZTBInstall.ico
"""
import struct
import sys

# The 16 colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, RED, BLUE, WHITE = 0, 8, 9, 12, 15
CLEAR = None  # transparent


def film_strip(size, band, holes, hole_step, frames):
    """Rows of palette indexes, top row first.

    band: first and last row of the black strip; holes: the rows of the
    sprocket holes; frames: (colour, left, top, right, bottom) inclusive.
    """
    pixels = [[CLEAR] * size for _ in range(size)]
    for y in range(band[0], band[1] + 1):
        for x in range(size):
            pixels[y][x] = BLACK
    for y in holes:
        for x in range(1, size - 1, hole_step):
            pixels[y][x] = WHITE
    for colour, left, top, right, bottom in frames:
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                edge = y in (top, bottom) or x in (left, right)
                pixels[y][x] = GREY if edge else colour
    return pixels


def icon_image(pixels):
    """One icon image: header, palette, colour bits, mask bits, bottom-up."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour_bits = b""
    mask_bits = b""
    for row in reversed(pixels):
        nibbles = [0 if p is CLEAR else p for p in row]
        line = bytes((nibbles[x] << 4) | nibbles[x + 1] for x in range(0, size, 2))
        colour_bits += line.ljust(colour_stride, b"\0")
        mask = 0
        for p in row:
            mask = (mask << 1) | (1 if p is CLEAR else 0)
        line = mask.to_bytes(size // 8, "big")
        mask_bits += line.ljust(mask_stride, b"\0")
    return header + palette + colour_bits + mask_bits


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    large = film_strip(32, (4, 27), (6, 25), 4,
                       [(RED, 2, 10, 14, 21), (BLUE, 17, 10, 29, 21)])
    small = film_strip(16, (2, 13), (3, 12), 3,
                       [(RED, 1, 5, 7, 10), (BLUE, 8, 5, 14, 10)])
    data = icon_file([(32, icon_image(large)), (16, icon_image(small))])
    with open(sys.argv[1], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
