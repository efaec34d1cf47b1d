#!/usr/bin/env python3
"""Writes broken sprite atlases for the tests of the art failure paths.

    make_test_atlases.py <output-dir>

short-atlas.png      2240 x 760: only four rows, too short for the 60-frame idle clip
still-atlas.png      2240 x 4560: 192 identical frames, each a plain blob
top-right-atlas.png  the same with an opaque pixel in every frame's top-right corner
bottom-right-atlas.png  the same with an opaque pixel in every frame's bottom-right corner
"""
import struct
import sys
import zlib
from pathlib import Path

FRAME_W, FRAME_H, COLUMNS = 280, 190, 8
BLOB = (64, 128, 192, 255)  # straight RGBA


def frame_pixel(x, y, corner):
    if corner == (x, y):
        return BLOB
    if (x - 140) ** 2 + (y - 120) ** 2 <= 50 ** 2:
        return BLOB
    return (0, 0, 0, 0)


def write_png(path, width, height, corner):
    rows = []
    frame_rows = []
    for y in range(FRAME_H):
        frame_rows.append(b"".join(bytes(frame_pixel(x, y, corner)) for x in range(FRAME_W)))
    for y in range(height):
        rows.append(b"\x00" + frame_rows[y % FRAME_H] * COLUMNS)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = zlib.compress(b"".join(rows), 9)
    Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) +
                           chunk(b"IEND", b""))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    width = FRAME_W * COLUMNS
    write_png(out / "short-atlas.png", width, 4 * FRAME_H, None)
    write_png(out / "still-atlas.png", width, 24 * FRAME_H, None)
    write_png(out / "top-right-atlas.png", width, 24 * FRAME_H, (FRAME_W - 1, 0))
    write_png(out / "bottom-right-atlas.png", width, 24 * FRAME_H, (FRAME_W - 1, FRAME_H - 1))


if __name__ == "__main__":
    main()
