#!/usr/bin/env python3
"""Prints the pixels of a palette BMP as Pillow reads it, as RGB bytes, top
row first, with the colour table as a GIF made by the library carries it:
each component's high nibble copied into its low one, unless a component of
the 2, 16 or 256 entries is exactly 15. Exits with 3 when Pillow cannot read
the file."""
import struct
import sys

from PIL import Image


def main(path):
    with open(path, "rb") as bmp:
        head = bmp.read(30)
    bits = struct.unpack_from("<H", head, 28)[0]
    try:
        image = Image.open(path)
        image.load()
    except Exception as error:  # any refusal: this reader cannot serve as the check
        print(f"Pillow cannot read {path}: {error}", file=sys.stderr)
        return 3
    if image.mode == "1":
        indices = bytes(1 if v else 0 for v in image.tobytes("raw", "L"))
        palette = [0, 0, 0, 255, 255, 255]
    elif image.mode in ("P", "L"):
        indices = image.tobytes()
        palette = image.getpalette() if image.mode == "P" else [v for i in range(256) for v in (i, i, i)]
    else:
        print(f"Pillow reads {path} as {image.mode}, not as palette indices", file=sys.stderr)
        return 3
    entries = 1 << bits
    palette = (list(palette) + [0] * (3 * entries))[: 3 * entries]
    if 15 not in palette:
        palette = [(v & 0xF0) | (v >> 4) for v in palette]
    rgb = bytearray()
    for index in indices:
        rgb += bytes(palette[3 * index: 3 * index + 3])
    sys.stdout.buffer.write(f"{image.width} {image.height}\n".encode() + bytes(rgb))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
