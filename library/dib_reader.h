// The DIB as the library sees it: the palette copied into the ColourTable and
// a DibSource that reads colour indices in place from the caller's rows.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int DibHeaderSize = 40;        // BITMAPINFOHEADER; the colour table follows it
constexpr int DibWidthOffset = 4;        // biWidth, signed 32-bit
constexpr int DibHeightOffset = 8;       // biHeight, signed 32-bit, bottom-up rows
constexpr int DibBitCountOffset = 14;    // biBitCount, unsigned 16-bit
constexpr int RgbQuadSize = 4;           // blue, green, red, reserved
constexpr int MaxColourCount = 256;

struct ColourTable {
  int32_t red[MaxColourCount];  // 0 to 255 each
  int32_t green[MaxColourCount];
  int32_t blue[MaxColourCount];
};

struct DibSource {
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  int32_t rowStride;       // bytes per row, a whole number of 32-bit words
  const uint8_t* pixels;   // bottom row first
};

struct DibDimensions {
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
};

extern ColourTable colourTable;
extern DibSource dibSource;

// Fills the ColourTable's first 2^bits entries and the whole DibSource.
DibDimensions PrepareDibSource(const uint8_t* dibHeader, const uint8_t* dibPixels);
// Copies each component's high nibble into its low nibble, unless some
// component of the first 2^bits entries is exactly 15.
void ReplicateHighNibbles(int bitsPerPixel);

// Colour index of column x, row y (0 = top) of the image that dib describes.
// The scan only asks for 0 <= x < width and 0 <= y < height.
template <int BitsPerPixel>
inline int ReadDibPixel(const DibSource& dib, int x, int y) {
  // y = 0 is the last row in memory; pointer-sized so that areas over 2 GiB work.
  const uint8_t* row = dib.pixels + static_cast<ptrdiff_t>(dib.height - 1 - y) * dib.rowStride;
  if constexpr (BitsPerPixel == 1) {
    return (row[x >> 3] >> (7 - (x & 7))) & 1;  // leftmost pixel in bit 7
  } else if constexpr (BitsPerPixel == 4) {
    const int byte = row[x >> 1];
    return (x & 1) ? (byte & 0x0F) : (byte >> 4);  // leftmost pixel in the high nibble
  } else {
    return row[x];
  }
}
