// The image-data encoder exactly as the file format's definition states it:
// a scan cursor pulling one pixel at a time through a fetch, a 5003-slot
// open-addressing string table, a 32-bit bit packer and a 256-byte sub-block
// buffer. Slow and plain on purpose: it is the oracle the library's encoder
// is compared with.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace literal {

// How often the rare paths were taken while encoding.
struct EncodingCounts {
  int keyZeroLosses = 0;    // a new string overwrote the stored key 0
  int tableFullClears = 0;
};

using PixelFetch = std::function<int(int x, int y)>;

// The data sub-blocks of one image (no terminator), and what it took.
std::vector<uint8_t> EncodeImageData(int width, int height, bool interlaced, int minCodeSize,
                                     const PixelFetch& fetch, EncodingCounts* counts = nullptr);

// Colour index of column x, row y (0 = top) of bottom-up DIB rows.
int ReadDibPixel(const uint8_t* pixels, int height, int bitsPerPixel, int rowStride, int x, int y);

}  // namespace literal
