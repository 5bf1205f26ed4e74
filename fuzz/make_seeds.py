#!/usr/bin/env python3
"""Writes the small seed inputs in fuzz/seeds/: BMP files of each depth and
header variant for the file fuzzer, argument vectors for the command-line
fuzzer, and option bytes for the library fuzzer."""
import pathlib
import struct

HERE = pathlib.Path(__file__).parent / "seeds"


def bmp(width, height, bits, header_size=40, clr_used=0, top_down=False, compression=0):
    colours = clr_used or (1 << bits)
    palette = b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 13) & 255, 0)
                       for i in range(colours))
    stride = (width * bits + 31) // 32 * 4
    rows = bytes((x * 7 + y * 3) & 255 for y in range(height) for x in range(stride))
    offset = 14 + header_size + len(palette)
    info = struct.pack("<IiiHHIIiiII", header_size, width, -height if top_down else height, 1, bits,
                       compression, len(rows), 0, 0, clr_used, 0)
    info += bytes(header_size - 40)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + palette + rows


def write(folder, name, data):
    path = HERE / folder
    path.mkdir(parents=True, exist_ok=True)
    (path / name).write_bytes(data)


write("convert_file", "one_bit.bmp", bmp(13, 5, 1))
write("convert_file", "four_bit.bmp", bmp(7, 6, 4))
write("convert_file", "eight_bit.bmp", bmp(9, 4, 8))
write("convert_file", "short_table.bmp", bmp(5, 3, 8, clr_used=16))
write("convert_file", "top_down.bmp", bmp(6, 4, 4, top_down=True))
write("convert_file", "v5_header.bmp", bmp(4, 4, 8, header_size=124))
write("convert_file", "run_length.bmp", bmp(4, 4, 8, compression=1))
write("convert_file", "cut_short.bmp", bmp(16, 16, 8)[:300])

write("command_line", "paths", b"in.bmp\0out")
write("command_line", "switches", b"-I\0-T:12\0a.bmp\0b.gif")
write("command_line", "help", b"-?")
write("command_line", "blank_index", b"-t: 7\0image")

write("library", "eight_bit", bytes([2, 40, 0, 30, 0, 0x25, 5, 0]) + bytes(range(256)) * 8)
write("library", "one_bit", bytes([0, 100, 0, 9, 0, 0x05, 1, 0]) + bytes(range(0, 256, 3)) * 4)
write("library", "refused", bytes([0xF2, 3, 0, 3, 0, 0, 0, 0]))
