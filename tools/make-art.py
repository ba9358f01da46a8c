#!/usr/bin/env python3
"""Draws the program icon (res/hidewell.ico) and the pointing-hand cursor
(res/hand.cur). The outputs are committed; run this only to change them."""
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


def main():
    with open(os.path.join(RES, "hand.cur"), "wb") as f:
        f.write(hand_cursor())
    with open(os.path.join(RES, "hidewell.ico"), "wb") as f:
        f.write(container(1, [icon_image(s) for s in (16, 24, 32, 48, 64, 72, 96, 256)]))


if __name__ == "__main__":
    main()
