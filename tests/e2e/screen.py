#!/usr/bin/env python3
"""Helpers of the end-to-end checks that look at pictures and at the screen.

  screen.py orient IN OUT N          writes IN with an EXIF block whose orientation is N
  screen.py redbox XWD               prints the width and height of the red area of a screen dump
  screen.py colour XWD X Y W H       prints the colour that fills most of that area of a screen dump:
                                     red, green, blue, white or other
"""
import struct
import sys


def orient(source, target, orientation):
    jpeg = open(source, "rb").read()
    tiff = b"MM\0*" + struct.pack(">IHHHIHHI", 8, 1, 0x0112, 3, 1, orientation, 0, 0)
    data = b"Exif\0\0" + tiff
    app1 = b"\xff\xe1" + struct.pack(">H", len(data) + 2) + data
    open(target, "wb").write(jpeg[:2] + app1 + jpeg[2:])


def channel(value, mask):
    shift = (mask & -mask).bit_length() - 1
    return (value & mask) >> shift


def pixels_of(dump):
    """Yields (x, y, red, green, blue) for every second pixel of every second row."""
    raw = open(dump, "rb").read()
    header = struct.unpack(">25I", raw[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    masks, colours = header[14:17], header[19]
    if bits_per_pixel not in (24, 32):
        sys.exit("unexpected screen dump: %d bits per pixel" % bits_per_pixel)
    size = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    pixels = raw[header_size + 12 * colours:]
    for y in range(0, height, 2):
        row = y * bytes_per_line
        for x in range(0, width, 2):
            value = int.from_bytes(pixels[row + size * x:row + size * (x + 1)], order)
            yield (x, y) + tuple(channel(value, mask) for mask in masks)


def redbox(dump):
    xs, ys = [], []
    for x, y, red, green, blue in pixels_of(dump):
        if red > 200 and green < 60 and blue < 60:
            xs.append(x)
            ys.append(y)
    if not xs:
        print("0 0")
    else:
        print(max(xs) - min(xs) + 2, max(ys) - min(ys) + 2)


def name_of(red, green, blue):
    if min(red, green, blue) > 200:
        return "white"
    strongest = max(red, green, blue)
    if strongest < 100 or sorted((red, green, blue))[1] > strongest * 0.6:
        return "other"
    return "red" if strongest == red else "green" if strongest == green else "blue"


def colour(dump, left, top, width, height):
    counts = {}
    for x, y, red, green, blue in pixels_of(dump):
        if left <= x < left + width and top <= y < top + height:
            name = name_of(red, green, blue)
            counts[name] = counts.get(name, 0) + 1
    print(max(counts, key=counts.get) if counts else "other")


if sys.argv[1] == "orient":
    orient(sys.argv[2], sys.argv[3], int(sys.argv[4]))
elif sys.argv[1] == "colour":
    colour(sys.argv[2], *(int(value) for value in sys.argv[3:7]))
else:
    redbox(sys.argv[2])
