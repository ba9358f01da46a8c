#!/usr/bin/env python3
"""Draws the program icon (res/hidewell.ico), the pointing-hand cursor
(res/hand.cur) and the pictures of the buttons (res/pictures/*.ico). The
outputs are committed; run this only to change them."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, "..", "res")

HAND = """
.....##
....#oo#
....#oo#
....#oo#
....#oo#
....#oo###
....#oo#oo###
....#oo#oo#oo##
.##.#oo#oo#oo#o#
#oo##oooooooo#oo#
#ooo#ooooooooooo#
.#ooooooooooooooo#
..#oooooooooooooo#
..#oooooooooooooo#
...#ooooooooooooo#
...#oooooooooooo#
....#ooooooooooo#
....#oooooooooo#
.....#ooooooooo#
.....#ooooooooo#
.....###########
"""
HOTSPOT = (5, 0)  # the fingertip


def dib(width, height, pixels, mask):
    """A DIB as icons and cursors store it: 32-bit BGRA rows bottom-up, then
    a 1-bit AND mask; the header height counts both."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(b"".join(pixels[y * width + x] for x in range(width))
                    for y in reversed(range(height)))
    stride = ((width + 31) // 32) * 4
    mrows = b""
    for y in reversed(range(height)):
        bits = bytearray(stride)
        for x in range(width):
            if mask[y * width + x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mrows += bytes(bits)
    return header + rows + mrows


def png(width, height, pixels):
    """A PNG of 32-bit BGRA pixels (top-down), as an icon's 256-pixel image is
    stored: Windows takes that size PNG-compressed, and as a DIB it would
    cost 256 KB of the program file."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b"".join(b"\0" + b"".join(bytes((p[2], p[1], p[0], p[3])) for p in pixels[y * width:(y + 1) * width])
                    for y in range(height))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def container(kind, images):
    """kind 1: .ico, 2: .cur; images: (width, height, field1, field2, data)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for w, h, f1, f2, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, f1, f2, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def hand_cursor():
    size = 32
    art = [line for line in HAND.strip("\n").split("\n")]
    pixels, mask = [], []
    for y in range(size):
        for x in range(size):
            c = art[y][x] if y < len(art) and x < len(art[y]) else "."
            if c == "#":
                pixels.append(bytes((0, 0, 0, 255)))
                mask.append(0)
            elif c == "o":
                pixels.append(bytes((255, 255, 255, 255)))
                mask.append(0)
            else:
                pixels.append(bytes((0, 0, 0, 0)))
                mask.append(1)
    data = dib(size, size, pixels, mask)
    return container(2, [(size, size, HOTSPOT[0], HOTSPOT[1], data)])


def icon_image(size):
    """A dark green disc holding a pale folder struck through by a red bar:
    a DIB up to 96 pixels, a PNG at 256."""
    sub = 4
    pixels, mask = [], []
    for y in range(size):
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(sub):
                for sx in range(sub):
                    u = (x + (sx + 0.5) / sub) / size
                    v = (y + (sy + 0.5) / sub) / size
                    col = None
                    if (u - 0.5) ** 2 + (v - 0.5) ** 2 <= 0.49 ** 2:
                        col = (40, 110, 0)  # BGR: dark green
                        in_body = 0.22 <= u <= 0.78 and 0.36 <= v <= 0.72
                        in_tab = 0.22 <= u <= 0.46 and 0.30 <= v <= 0.37
                        if in_body or in_tab:
                            col = (200, 240, 250)
                        if abs((u - 0.5) - (v - 0.5)) < 0.06 and 0.18 < u < 0.82:
                            col = (20, 20, 200)
                    if col:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 255
            n = sub * sub
            a = acc[3] / n
            if a:
                pixels.append(bytes((int(acc[0] / (acc[3] / 255)), int(acc[1] / (acc[3] / 255)),
                                     int(acc[2] / (acc[3] / 255)), int(a))))
            else:
                pixels.append(bytes((0, 0, 0, 0)))
            mask.append(0 if a >= 128 else 1)
    data = png(size, size, pixels) if size >= 256 else dib(size, size, pixels, mask)
    return (size, size, 1, 32, data)


# ---- Pictures of the buttons ------------------------------------------------
# Drawn for each size from shapes on a 16-unit grid. Edges are put on whole
# pixels at every size, so that they stay sharp at 96, 120, 144, 168 and 192
# DPI and beyond; a dark outline around light fills keeps each picture
# readable on a light button face and on a high-contrast black one alike.

PICTURE_SIZES = (16, 20, 24, 28, 32, 40, 48)


def sd_box(x0, y0, x1, y1):
    def d(x, y):
        dx = max(x0 - x, x - x1)
        dy = max(y0 - y, y - y1)
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0)
    return d


def sd_segment(ax, ay, bx, by, r):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r
    return d


def sd_ellipse(cx, cy, rx, ry):
    def d(x, y):
        # Good enough near the edge, which is all that is drawn.
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1.0) * min(rx, ry)
    return d


def sd_polygon(points):
    def d(x, y):
        best = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            best = min(best, math.hypot(x - ax - vx * t, y - ay - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * vx / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def sd_intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


OUTLINE_DARK = (40, 40, 40)


def draw(size, layers):
    """layers: (shape maker, fill RGB, outline RGB or None). A maker takes a
    function that turns grid units into pixels and returns a distance
    function in pixels. Later layers paint over earlier ones."""
    k = size / 16.0

    def px(v):
        return round(v * k)

    line = max(1, round(k))
    shapes = [(make(px), fill, outline) for make, fill, outline in layers]
    sub = 4
    pixels = []
    for y in range(size):
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(sub):
                for sx in range(sub):
                    u, v = x + (sx + 0.5) / sub, y + (sy + 0.5) / sub
                    col = None
                    for d, fill, outline in shapes:
                        dist = d(u, v)
                        if dist <= 0:
                            col = outline if outline and dist > -line else fill
                    if col:
                        acc[0] += col[2]
                        acc[1] += col[1]
                        acc[2] += col[0]
                        acc[3] += 255
            a = acc[3] / (sub * sub)
            if a:
                n = acc[3] / 255
                pixels.append(bytes((int(acc[0] / n), int(acc[1] / n), int(acc[2] / n), int(a))))
            else:
                pixels.append(bytes((0, 0, 0, 0)))
    # PNG-compressed, as Windows takes any size since Vista: a few hundred
    # bytes where a DIB of these flat pictures costs kilobytes.
    return (size, size, 1, 32, png(size, size, pixels))


FOLDER = (246, 204, 92)
FOLDER_EDGE = (150, 100, 20)
PAPER = (255, 255, 255)
PAPER_EDGE = (90, 90, 90)
TRAY = (196, 196, 196)
RED = (214, 40, 40)
RED_EDGE = (120, 0, 0)
GREEN = (60, 170, 60)
GREEN_EDGE = (20, 90, 20)
BLUE = (50, 120, 215)
GOLD = (236, 186, 48)
GOLD_EDGE = (130, 90, 0)


def folder_layers():
    return [
        (lambda p: sd_box(p(1), p(2), p(7), p(5)), FOLDER, FOLDER_EDGE),
        (lambda p: sd_box(p(1), p(4), p(15), p(14)), FOLDER, FOLDER_EDGE),
    ]


def paper_layers():
    corner = lambda p: [(p(3), p(1)), (p(10), p(1)), (p(13), p(4)), (p(13), p(15)), (p(3), p(15))]
    return [
        (lambda p: sd_polygon(corner(p)), PAPER, PAPER_EDGE),
        (lambda p: sd_polygon([(p(10), p(1)), (p(10), p(4)), (p(13), p(4))]), PAPER_EDGE, None),
        (lambda p: sd_box(p(5), p(7), p(11), p(7) + max(1, p(1) // 2)), PAPER_EDGE, None),
        (lambda p: sd_box(p(5), p(10), p(11), p(10) + max(1, p(1) // 2)), PAPER_EDGE, None),
    ]


def strike_layers():
    # The program icon's red bar: hidden.
    return [(lambda p: sd_segment(p(3), p(3), p(13), p(13), p(1.6)), RED, RED_EDGE)]


def eye_layers():
    return [
        (lambda p: sd_intersect(sd_ellipse(p(8), p(17), p(9.1), p(14)), sd_ellipse(p(8), p(-1), p(9.1), p(14))),
         PAPER, OUTLINE_DARK),
        (lambda p: sd_ellipse(p(8), p(8), p(2.8), p(2.8)), BLUE, None),
        (lambda p: sd_ellipse(p(8), p(8), p(1.2), p(1.2)), OUTLINE_DARK, None),
    ]


def tray_layers():
    return [(lambda p: sd_polygon([(p(1), p(8)), (p(4), p(8)), (p(4), p(12)), (p(12), p(12)), (p(12), p(8)),
                                   (p(15), p(8)), (p(15), p(15)), (p(1), p(15))]), TRAY, PAPER_EDGE)]


def arrow_layers(down):
    def arrow(p):
        tip, tail, head = (11, 1, 6) if down else (1, 11, 6)
        pts = [(p(6), p(tail)), (p(10), p(tail)), (p(10), p(head)), (p(13), p(head)), (p(8), p(tip)),
               (p(3), p(head)), (p(6), p(head))]
        return sd_polygon(pts)
    return [(arrow, GREEN, GREEN_EDGE)]


def cross_layers():
    return [
        (lambda p: sd_segment(p(3.5), p(3.5), p(12.5), p(12.5), p(1.8)), RED, RED_EDGE),
        (lambda p: sd_segment(p(12.5), p(3.5), p(3.5), p(12.5), p(1.8)), RED, RED_EDGE),
        (lambda p: sd_segment(p(3.5), p(3.5), p(12.5), p(12.5), p(1.8) - max(1, round(p(1)))), RED, None),
    ]


def check_layers():
    return [(lambda p: sd_polygon([(p(1), p(8)), (p(4), p(5)), (p(6.5), p(7.5)), (p(12), p(2)), (p(15), p(5)),
                                   (p(6.5), p(13.5))]), GREEN, GREEN_EDGE)]


def key_layers():
    return [
        (lambda p: sd_box(p(6), p(7), p(15), p(10)), GOLD, GOLD_EDGE),
        (lambda p: sd_box(p(11), p(10) - 1, p(13), p(13)), GOLD, GOLD_EDGE),
        (lambda p: sd_box(p(11) + max(1, round(p(1))), p(7) + max(1, round(p(1))), p(13) - max(1, round(p(1))),
                          p(10)), GOLD, None),
        (lambda p: sd_ellipse(p(5), p(8.5), p(4), p(4)), GOLD, GOLD_EDGE),
        (lambda p: sd_ellipse(p(3.8), p(8.5), p(1.3), p(1.3)), (255, 255, 255), GOLD_EDGE),
    ]


# The buttons' pictures: file name, then the layers, bottom first.
PICTURES = {
    "hide-folder": lambda: folder_layers() + strike_layers(),
    "hide-file": lambda: paper_layers() + strike_layers(),
    "unhide": eye_layers,
    "import": lambda: tray_layers() + arrow_layers(True),
    "export": lambda: tray_layers() + arrow_layers(False),
    "delete": cross_layers,
    "ok": check_layers,
    "key": key_layers,
}


def make_pictures():
    os.makedirs(os.path.join(RES, "pictures"), exist_ok=True)
    for name, layers in PICTURES.items():
        with open(os.path.join(RES, "pictures", name + ".ico"), "wb") as f:
            f.write(container(1, [draw(s, layers()) for s in PICTURE_SIZES]))


def main():
    with open(os.path.join(RES, "hand.cur"), "wb") as f:
        f.write(hand_cursor())
    with open(os.path.join(RES, "hidewell.ico"), "wb") as f:
        f.write(container(1, [icon_image(s) for s in (16, 24, 32, 48, 64, 72, 96, 256)]))
    make_pictures()


if __name__ == "__main__":
    main()
