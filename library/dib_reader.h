// The DIB as the library sees it: the palette copied into a ColourTable and a
// DibSource that hands out the caller's rows, top row first, one colour index
// per byte.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int DibHeaderSize = 40;        // BITMAPINFOHEADER; the colour table follows it
constexpr int DibWidthOffset = 4;        // biWidth, signed 32-bit
constexpr int DibHeightOffset = 8;       // biHeight, signed 32-bit, bottom-up rows
constexpr int DibBitCountOffset = 14;    // biBitCount, unsigned 16-bit
constexpr int RgbQuadSize = 4;           // blue, green, red, reserved
constexpr int MaxColourCount = 256;
constexpr int MaxGifDimension = 65535;   // GIF sizes are 16-bit fields

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

// Room for one unpacked row of the widest image, with slack for whole-byte unpacking.
constexpr size_t RowBufferSize = MaxGifDimension + 16;

int32_t ReadDibInt32(const uint8_t* bytes);
int ReadDibUint16(const uint8_t* bytes);
// ((bits * width + 31) >> 5) << 2 in unsigned 32-bit arithmetic.
uint32_t DibRowStride(int bitsPerPixel, int32_t width);

// Fills the first 2^bits entries of colours and gives the DibSource.
DibSource PrepareDibSource(const uint8_t* dibHeader, const uint8_t* dibPixels, ColourTable& colours);
// Copies each component's high nibble into its low nibble, unless some
// component of the first 2^bits entries is exactly 15.
void ReplicateHighNibbles(ColourTable& colours, int bitsPerPixel);

// Colour indices of row y (0 = top), one byte per pixel: 8-bit rows are read
// in place, 1- and 4-bit rows are unpacked into rowBuffer (RowBufferSize bytes).
const uint8_t* ReadDibRow(const DibSource& dib, int y, uint8_t* rowBuffer);
