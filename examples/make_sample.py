#!/usr/bin/env python3
"""Writes examples/sample.bmp: a 160 x 120, 8-bit palette bitmap (rings of
colour around the centre) used as the program's default input."""
import math
import pathlib
import struct

WIDTH, HEIGHT, COLOURS = 160, 120, 256



def wave(i, phase):
    return int(127.5 + 127.5 * math.cos(2 * math.pi * i / COLOURS + phase))


palette = b"".join(struct.pack("<BBBB", wave(i, 0.0), wave(i, 2.1), wave(i, 4.2), 0)
                   for i in range(COLOURS))
stride = (WIDTH * 8 + 31) // 32 * 4
rows = []
for y in reversed(range(HEIGHT)):  # bottom row first
    row = bytes(int(math.hypot(x - WIDTH / 2, y - HEIGHT / 2) * 3) % COLOURS for x in range(WIDTH))
    rows.append(row + bytes(stride - WIDTH))
pixels = b"".join(rows)
offset = 14 + 40 + len(palette)
file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 0, 0)
path = pathlib.Path(__file__).with_name("sample.bmp")
path.write_bytes(file_header + info_header + palette + pixels)
print(path)
