#!/usr/bin/env python3
"""Draws Vistrel's own icons: a viewfinder frame around a red shutter dot.

res/vistrel.ico: 32x32 and 16x16 at 32 bits; res/about.ico: 48x48 at 256 colours.
Also the drag cursor res/drag.cur: the arrow with a dashed box under it, the
picture of something being dragged.
Run once when the design changes; the .ico and .cur files are committed."""
import struct
import sys
from pathlib import Path


def pixel(x, y, n):
    """RGBA of the design at (x, y) on an n x n grid (y from the top)."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    d = ((u - 0.5) ** 2 + (v - 0.5) ** 2) ** 0.5
    edge = 1.5 / n
    inside = 0.08 < u < 0.92 and 0.08 < v < 0.92
    if not inside:
        return (0, 0, 0, 0)
    corner = (min(u, 1 - u) < 0.08 + edge or min(v, 1 - v) < 0.08 + edge) and \
        (min(u, 1 - u) < 0.32 and min(v, 1 - v) < 0.32)
    if corner:
        return (255, 255, 255, 255)
    if d < 0.17:
        return (220, 30, 40, 255)
    if d < 0.17 + edge:
        return (120, 10, 20, 255)
    return (24, 44, 84, 255)


def dib_32(n):
    rows = []
    for y in reversed(range(n)):
        rows.append(b"".join(struct.pack("<BBBB", b, g, r, a)
                             for r, g, b, a in (pixel(x, y, n) for x in range(n))))
    mask_row = ((n + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + bytes(mask_row * n)


def dib_8(n):
    colours = []
    index = {}
    grid = [[pixel(x, y, n) for x in range(n)] for y in range(n)]
    for row in grid:
        for c in row:
            key = c[:3] if c[3] else (0, 0, 0)
            if key not in index:
                index[key] = len(colours)
                colours.append(key)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    palette += bytes(4 * (256 - len(colours)))
    stride = (n + 3) // 4 * 4
    pixels = b""
    mask = b""
    mask_stride = ((n + 31) // 32) * 4
    for y in reversed(range(n)):
        row = bytes(index[grid[y][x][:3] if grid[y][x][3] else (0, 0, 0)] for x in range(n))
        pixels += row + bytes(stride - n)
        bits = 0
        mrow = bytearray(mask_stride)
        for x in range(n):
            if grid[y][x][3] == 0:
                mrow[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(mrow)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 8, 0, 0, 0, 0, 256, 0)
    return header + palette + pixels + mask


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, bpp, data in images:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0 if bpp > 8 else 0, 0, 1, bpp,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, _, d in images)


# B black, W white, anything else see-through; hot spot at the arrow's tip.
DRAG_CURSOR = [
    "B",
    "BB",
    "BWB",
    "BWWB",
    "BWWWB",
    "BWWWWB",
    "BWWWWWB",
    "BWWWWWWB",
    "BWWWWWWWB",
    "BWWWWWWWWB",
    "BWWWWWBBBBB",
    "BWWBWWB",
    "BWB BWWB",
    "BB  BWWB",
    "B    BWWB",
    "     BWWB",
    "      BB",
    "",
    "       BBWWBBWWBBWWBB",
    "       W            W",
    "       W            W",
    "       B            B",
    "       B            B",
    "       W            W",
    "       W            W",
    "       BBWWBBWWBBWWBB",
]


def cur_1(art, n=32):
    """A monochrome n x n cursor image: palette black and white, XOR bits, AND mask."""
    stride = ((n + 31) // 32) * 4
    xor, mask = b"", b""
    for y in reversed(range(n)):
        line = art[y] if y < len(art) else ""
        xrow, mrow = bytearray(stride), bytearray(stride)
        for x in range(n):
            c = line[x] if x < len(line) else " "
            if c == "W":
                xrow[x // 8] |= 0x80 >> (x % 8)
            elif c != "B":
                mrow[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(xrow)
        mask += bytes(mrow)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    return header + palette + xor + mask


def cur(n, hotspot, data):
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", n, n, 2, 0, hotspot[0], hotspot[1], len(data), 6 + 16)
    return out + data


def main():
    res = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "res")
    (res / "vistrel.ico").write_bytes(ico([(32, 32, dib_32(32)), (16, 32, dib_32(16))]))
    (res / "about.ico").write_bytes(ico([(48, 8, dib_8(48))]))
    (res / "drag.cur").write_bytes(cur(32, (0, 0), cur_1(DRAG_CURSOR)))


if __name__ == "__main__":
    main()
