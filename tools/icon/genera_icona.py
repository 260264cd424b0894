#!/usr/bin/env python3
"""Draws resources/torvane.png, the application's icon: a fabric swatch (a twill of two
blues, its corner turned) on a rounded square. Plain Python: the PNG is written by hand."""

import os
import struct
import zlib

SIZE = 128
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "torvane.png")


def pixel(x, y):
    r = 22
    # Outside the rounded corners: transparent.
    cx = min(max(x, r), SIZE - 1 - r)
    cy = min(max(y, r), SIZE - 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # The turned corner at the bottom right shows the fabric's pale back.
    if x + y > SIZE * 1.55:
        return (236, 226, 200, 255) if x + y > SIZE * 1.6 else (120, 110, 90, 255)
    # A 2/2 twill: diagonal ribs of two blues.
    rib = ((x + y) // 6) % 2
    warp = (x // 3) % 2
    if rib:
        return (28, 52, 110, 255) if warp else (34, 62, 128, 255)
    return (74, 118, 186, 255) if warp else (84, 130, 198, 255)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def main():
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    with open(os.path.normpath(OUT), "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
