#!/usr/bin/env python3
"""Writes a .ico file with one opaque single-colour image per size.

usage: make_sized_icon.py OUTPUT SIZE:RED,GREEN,BLUE ...
"""
import struct
import sys


def image(size, red, green, blue):
    # 32 bits per pixel, bottom-up BGRA rows, then an all-zero (opaque) AND mask.
    pixels = bytes((blue, green, red, 255)) * (size * size)
    mask = bytes(((size + 31) // 32) * 4 * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    images = []
    for spec in sys.argv[2:]:
        size, colour = spec.split(':')
        images.append((int(size), image(int(size), *map(int, colour.split(',')))))
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, data in images:
        directory += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], 'wb') as file:
        file.write(directory + b''.join(data for _, data in images))


if __name__ == '__main__':
    main()
