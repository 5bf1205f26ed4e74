#!/usr/bin/env python3
"""A second, plain model of the GIF file the library writes, straight from
its definition (palette nibble rule, blocks, scan order, the hash table with
its probe and key-0 rule, the width schedule, 254-byte sub-blocks), compared
byte for byte with the library on random DIBs of every depth and option.

    reference_model.py LIBRARY SEED COUNT WORK_FOLDER
"""
import ctypes
import random
import struct
import sys

TABLE_SIZE = 5003
CODE_LIMIT = 4096


def palette_of(bits, table):
    """(red, green, blue) lists; high nibbles copied into the low ones unless
    a component is exactly 15."""
    count = 1 << bits
    red = [table[4 * i + 2] for i in range(count)]
    green = [table[4 * i + 1] for i in range(count)]
    blue = [table[4 * i] for i in range(count)]
    if any(v == 15 for component in (red, green, blue) for v in component):
        return red, green, blue
    return tuple([(v & 0xF0) | (v >> 4) for v in component] for component in (red, green, blue))


def scan(width, height, bits, rows, interlaced):
    """Colour indices in GIF row order from bottom-up DIB rows."""
    stride = (bits * width + 31) // 32 * 4

    def pixel(x, y):
        row = rows[(height - 1 - y) * stride:]
        if bits == 1:
            return (row[x // 8] >> (7 - x % 8)) & 1
        if bits == 4:
            return row[x // 2] >> 4 if x % 2 == 0 else row[x // 2] & 15
        return row[x]

    order = range(height)
    if interlaced:
        order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, height, step)]
    return [pixel(x, y) for y in order for x in range(width)]


class CodeStream:
    """Packs codes least significant bit first into 254-byte sub-blocks."""

    def __init__(self, initial_width):
        self.initial_width = initial_width
        self.width = initial_width
        self.max_code = (1 << initial_width) - 1
        self.next_code = (1 << (initial_width - 1)) + 2
        self.clear_pending = False
        self.bits = 0
        self.bit_count = 0
        self.block = bytearray()
        self.data = bytearray()

    def put(self, byte):
        self.block.append(byte)
        if len(self.block) == 254:
            self.flush_block()

    def flush_block(self):
        if self.block:
            self.data.append(len(self.block))
            self.data += self.block
            self.block.clear()

    def pack(self, code, last=False):
        self.bits |= code << self.bit_count
        self.bit_count += self.width
        while self.bit_count >= 8:
            self.put(self.bits & 0xFF)
            self.bits >>= 8
            self.bit_count -= 8
        if self.next_code > self.max_code or self.clear_pending:
            if self.clear_pending:
                self.width = self.initial_width
                self.max_code = (1 << self.initial_width) - 1
                self.clear_pending = False
            else:
                self.width += 1
                self.max_code = CODE_LIMIT if self.width == 12 else (1 << self.width) - 1
        if last:
            if self.bit_count > 0:
                self.put(self.bits & 0xFF)
            self.flush_block()


def image_data(pixels, min_code_size):
    clear = 1 << min_code_size
    stream = CodeStream(min_code_size + 1)
    keys = [-1] * TABLE_SIZE
    codes = [0] * TABLE_SIZE
    prefix = pixels[0]
    stream.pack(clear)
    for p in pixels[1:]:
        key = (p << 12) + prefix
        slot = (p << 4) ^ prefix
        if keys[slot] == key:
            prefix = codes[slot]
            continue
        found = False
        if keys[slot] >= 0:
            step = 1 if slot == 0 else TABLE_SIZE - slot
            while True:
                slot -= step
                if slot < 0:
                    slot += TABLE_SIZE
                if keys[slot] == key:
                    found = True
                    break
                if keys[slot] <= 0:  # a stored key 0 ends the probe like a free slot
                    break
        if found:
            prefix = codes[slot]
            continue
        stream.pack(prefix)
        prefix = p
        if stream.next_code < CODE_LIMIT:
            codes[slot] = stream.next_code
            keys[slot] = key
            stream.next_code += 1
        else:
            keys = [-1] * TABLE_SIZE
            stream.clear_pending = True
            stream.next_code = clear + 2
            stream.pack(clear)
    stream.pack(prefix)
    stream.pack(clear + 1, last=True)
    return bytes(stream.data)


def gif_file(width, height, bits, table, rows, transparency, transparent_index, interlaced):
    red, green, blue = palette_of(bits, table)
    background = transparent_index & 0xFF if transparency else 0
    out = bytearray(b"GIF87a" + struct.pack("<HHBBB", width, height, 0x80 + (bits - 1) * 17, background, 0))
    for i in range(1 << bits):
        out += bytes((red[i], green[i], blue[i]))
    if transparency:
        out += bytes((0x21, 0xF9, 4, 1, 0, 0, transparent_index & 0xFF, 0))
    min_code_size = max(bits, 2)
    out += struct.pack("<BHHHHBB", 0x2C, 0, 0, width, height, 0x40 if interlaced else 0, min_code_size)
    out += image_data(scan(width, height, bits, rows, interlaced), min_code_size)
    return bytes(out + b"\x00\x3b")


def random_dib(rng):
    bits = rng.choice([1, 4, 8])
    width = rng.choice([1, 2, 3, 7, 8, 9, 31, 33, 64, 100, 257]) if rng.random() < 0.7 else rng.randint(1, 400)
    height = rng.choice([1, 2, 3, 4, 5, 8, 9, 10, 17]) if rng.random() < 0.5 else rng.randint(1, 300)
    table = bytes(rng.randrange(256) if rng.random() < 0.5 else rng.choice([0, 15, 0x80, 0xF0, 0xFF])
                  for _ in range(4 << bits))
    size = (bits * width + 31) // 32 * 4 * height
    style = rng.random()
    if style < 0.3:  # noise: the table fills and clears
        rows = bytes(rng.randrange(256) for _ in range(size))
    elif style < 0.6:  # mostly index 0: long strings and the key 0
        rows = bytes(rng.randrange(256) if rng.random() < 0.1 else 0 for _ in range(size))
    else:  # a few repeated bytes
        choices = [rng.randrange(256) for _ in range(4)]
        rows = bytes(rng.choice(choices) for _ in range(size))
    return bits, width, height, table, rows


def main():
    library = ctypes.CDLL(sys.argv[1])
    convert = library.ConvertBitmapToGIFEx2
    convert.argtypes = [ctypes.c_char_p, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int]
    rng = random.Random(int(sys.argv[2]))
    count = int(sys.argv[3])
    path = sys.argv[4] + "/reference.gif"
    failed = 0
    for case in range(count):
        bits, width, height, table, rows = random_dib(rng)
        transparency = rng.choice([0, 0, 1, -1, 2])
        transparent_index = rng.choice([0, 1, 5, 15, 255, 300, -1])
        interlaced = rng.choice([0, 0, 1, -1])
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 0, 0, 0, 0) + table
        convert(path.encode(), header, rows, transparency, transparent_index, interlaced)
        with open(path, "rb") as written:
            if written.read() != gif_file(width, height, bits, table, rows, transparency, transparent_index,
                                          interlaced):
                failed += 1
                print(f"case {case}: {width} x {height}, {bits} bits, transparency {transparency} "
                      f"index {transparent_index}, interlaced {interlaced}: bytes differ")
    print(f"{count - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
