#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

    make_icon.py OUTPUT.ico

The picture: a blue tile holding a white package with a red "remove" badge.
Three images: 16x16 with a 256-colour palette, 32x32 and 48x48 with 32-bit
colour and alpha. Only the standard library is used.
"""
import struct
import sys

SUPERSAMPLE = 4


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def rect(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def vertical_gradient(top_colour, bottom_colour, top, bottom):
    def colour(_x, y):
        t = min(max((y - top) / (bottom - top), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))
    return colour


def solid(colour):
    return lambda _x, _y: colour


# Painted in order, each over the ones before; coordinates are fractions of the size.
LAYERS = [
    (rounded_rect(0.04, 0.04, 0.96, 0.96, 0.2), vertical_gradient((86, 156, 232), (28, 82, 158), 0.04, 0.96)),
    (rect(0.18, 0.30, 0.66, 0.76), solid((250, 250, 250))),
    (rect(0.18, 0.30, 0.66, 0.42), solid((206, 222, 240))),
    (rect(0.38, 0.30, 0.46, 0.76), solid((226, 196, 140))),
    (circle(0.71, 0.71, 0.25), solid((255, 255, 255))),
    (circle(0.71, 0.71, 0.20), solid((208, 44, 44))),
    (rect(0.59, 0.67, 0.83, 0.75), solid((255, 255, 255))),
]


def render(size):
    """Rows top to bottom of (red, green, blue, alpha) pixels, alpha 0..255."""
    image = []
    step = 1.0 / (size * SUPERSAMPLE)
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px * SUPERSAMPLE + sx + 0.5) * step
                    y = (py * SUPERSAMPLE + sy + 0.5) * step
                    sample = None
                    for inside, paint in LAYERS:
                        if inside(x, y):
                            sample = paint(x, y)
                    if sample is not None:
                        acc[0] += sample[0]
                        acc[1] += sample[1]
                        acc[2] += sample[2]
                        acc[3] += 1
            covered = acc[3]
            if covered:
                row.append((round(acc[0] / covered), round(acc[1] / covered), round(acc[2] / covered),
                            round(255 * covered / SUPERSAMPLE ** 2)))
            else:
                row.append((0, 0, 0, 0))
        image.append(row)
    return image


def palette_256():
    """A 6x6x6 colour cube followed by 40 greys."""
    levels = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(round(i * 255 / 39),) * 3 for i in range(40)]
    return colours


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(image):
    """1 bit per pixel, bottom row first: set where the pixel is transparent."""
    rows = []
    for row in reversed(image):
        bits = bytearray((len(row) + 7) // 8)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(padded(bytes(bits)))
    return b"".join(rows)


def bitmap_header(size, bits, colours_used, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, colours_used, 0)


def image_8bit(image):
    palette = palette_256()
    cache = {}
    rows = []
    for row in reversed(image):
        indices = bytearray()
        for pixel in row:
            key = pixel[:3]
            if key not in cache:
                cache[key] = nearest(palette, key)
            indices.append(cache[key] if pixel[3] >= 128 else 0)
        rows.append(padded(bytes(indices)))
    pixels = b"".join(rows)
    mask = and_mask(image)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    size = len(image)
    return bitmap_header(size, 8, 256, len(pixels) + len(mask)) + table + pixels + mask


def image_32bit(image):
    pixels = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(image) for r, g, b, a in row)
    mask = and_mask(image)
    size = len(image)
    return bitmap_header(size, 32, 0, len(pixels) + len(mask)) + pixels + mask


def icon_file():
    images = [(16, 8, image_8bit(render(16))), (32, 32, image_32bit(render(32))), (48, 32, image_32bit(render(48)))]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, bits, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return header + entries + b"".join(data for _, _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file())


if __name__ == "__main__":
    main()
