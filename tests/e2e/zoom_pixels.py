#!/usr/bin/env python3
"""zoom_pixels.py XWD PPM PX PY DX DY: checks that the viewer's 1009 x 649 picture box on the
screen dump shows the picture's pixels (djpeg's PPM) one for one, at the place that "z" with the
pointer at screen point PX PY over the fitted picture and a drag by DX DY give; prints "ok" or
what differs."""
import struct
import sys

BOX = (1009, 649)


def read_screen(path):
    """The rows of a 24- or 32-bit screen dump as RGB bytes."""
    raw = open(path, "rb").read()
    header = struct.unpack(">25I", raw[:100])
    width, height, bits, line = header[4], header[5], header[11], header[12]
    if bits not in (24, 32) or header[7] != 0 or header[14:17] != (0xFF0000, 0xFF00, 0xFF):
        sys.exit("unexpected screen dump")
    size, pixels = bits // 8, raw[header[0] + 12 * header[19]:]
    rows = []
    for y in range(height):
        row, rgb = pixels[y * line:y * line + size * width], bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::size], row[1::size], row[0::size]
        rows.append(bytes(rgb))
    return rows


def view_start(pointer, fitted_start, fitted_length, length, room, drag):
    """Where the view starts along one side after "z" and the drag, as the viewer places it."""
    start = int((pointer - fitted_start + 0.5) / fitted_length * length + 0.5) - room // 2
    return min(max(min(max(start, 0), length - room) - drag, 0), length - room)


def check(dump, ppm, pointer_x, pointer_y, drag_x, drag_y):
    _, size, _, pixels = open(ppm, "rb").read().split(b"\n", 3)
    width, height = (int(side) for side in size.split())
    picture = [pixels[3 * width * y:3 * width * (y + 1)] for y in range(height)]
    screen = read_screen(dump)
    # A piece of the screen's middle, looked for in the picture, then the box's top left corner.
    probe_x, probe_y = len(screen[0]) // 3 // 3, len(screen) // 2
    probe = screen[probe_y][3 * probe_x:3 * (probe_x + 48)]
    found = [(row.find(probe), y) for y, row in enumerate(picture)]
    found = [(at // 3, y) for at, y in found if at >= 0 and at % 3 == 0]
    if len(found) != 1:
        return "the middle of the screen shows no part of the picture one for one"
    shift_x, shift_y = probe_x - found[0][0], probe_y - found[0][1]

    def same(x, y):
        return 0 <= x - shift_x < width and 0 <= y - shift_y < height and \
            screen[y][3 * x:3 * x + 3] == picture[y - shift_y][3 * (x - shift_x):3 * (x - shift_x) + 3]

    left, top = probe_x, probe_y
    while same(left - 1, probe_y):
        left -= 1
    while same(probe_x, top - 1):
        top -= 1
    for y in range(top, top + BOX[1]):
        start = 3 * (left - shift_x)
        if screen[y][3 * left:3 * (left + BOX[0])] != picture[y - shift_y][start:start + 3 * BOX[0]]:
            return "row %d of the picture box differs from the picture" % (y - top)
    # The fitted landscape picture by the viewers' fitting rule.
    fitted_height = int(BOX[0] / (width / height))
    expected = (view_start(pointer_x - left, 0, BOX[0], width, BOX[0], drag_x),
                view_start(pointer_y - top, (BOX[1] - fitted_height) // 2, fitted_height, height, BOX[1],
                           drag_y))
    shown = (left - shift_x, top - shift_y)
    if max(abs(shown[0] - expected[0]), abs(shown[1] - expected[1])) > 1:
        return "the box shows the picture from %s, not from %s" % (shown, expected)
    return "ok"


print(check(sys.argv[1], sys.argv[2], *(int(value) for value in sys.argv[3:7])))
