#!/usr/bin/env python3
"""Writes a .ico file holding one 32 x 32 image of a single opaque colour.

usage: make_solid_icon.py OUTPUT RED GREEN BLUE
"""
import struct
import sys

SIZE = 32


def solid_icon(red, green, blue):
    # 32 bits per pixel, bottom-up BGRA rows, then an all-zero (opaque) AND mask.
    pixels = bytes((blue, green, red, 255)) * (SIZE * SIZE)
    mask_row_bytes = ((SIZE + 31) // 32) * 4
    mask = bytes(mask_row_bytes * SIZE)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), len(directory) + 16)
    return directory + entry + image


def main():
    output, red, green, blue = sys.argv[1], *map(int, sys.argv[2:5])
    with open(output, 'wb') as file:
        file.write(solid_icon(red, green, blue))


if __name__ == '__main__':
    main()
