#!/usr/bin/env python3
"""Decodes the GIF that examples/write_gif.c writes (Pillow) and checks its
size, interlace flag, transparent index, palette and every pixel."""
import sys

from PIL import Image

data = open(sys.argv[1], "rb").read()
separator = 13 + 3 * 16 + 8  # header, 16-entry table, Graphic Control Extension
assert data[separator] == 0x2C and data[separator + 9] & 0x40, "not interlaced"
image = Image.open(sys.argv[1])
assert image.size == (64, 48), image.size
assert image.info.get("transparency") == 0, image.info
palette = image.getpalette()[:48]
assert palette == [v for i in range(16) for v in (0xCC, 0x11 * i, 0x11 * (15 - i))], palette
pixels = image.load()
for y in range(48):
    for x in range(64):
        assert pixels[x, y] == ((x + y) // 7) % 16, (x, y, pixels[x, y])
print(f"{sys.argv[1]}: 64 x 48, interlaced, index 0 transparent, all pixels as drawn")
