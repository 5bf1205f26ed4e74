// Writes one complete GIF file holding one image: header, screen descriptor,
// global colour table, optional Graphic Control Extension, image descriptor,
// the LZW image data and the trailer.
#pragma once

#include <cstdint>
#include <cstdio>

#include "lzw_encoder.h"

struct GifImageLayout {
  int width;            // 1 to 65535
  int height;           // 1 to 65535
  int interlaced;       // non-zero: four-pass row order and the interlace flag
  int bitsPerPixel;     // 1 to 8
  int backgroundIndex;  // written as its low 8 bits
  const int32_t* red;   // 1 << bitsPerPixel entries each, written as their low 8 bits
  const int32_t* green;
  const int32_t* blue;
};

// The larger of the depth and 2: GIF has no 1-bit LZW minimum code size.
constexpr int MinCodeSizeFor(int bitsPerPixel) { return bitsPerPixel < 2 ? 2 : bitsPerPixel; }

// Creates the file and writes every block up to the LZW minimum code size.
// transparentIndex < 0 writes no Graphic Control Extension.
std::FILE* OpenGifAndWriteHead(const char* outputPath, const GifImageLayout& layout,
                               int transparentIndex);
// Writes the block terminator and the trailer and closes the file.
void FinishGifFile(std::FILE* stream);

template <typename PixelFetch>
void WriteGifImage(const char* outputPath, const GifImageLayout& layout, int transparentIndex,
                   const PixelFetch& fetch) {
  BeginScan(layout.width, layout.height, layout.interlaced);
  std::FILE* stream = OpenGifAndWriteHead(outputPath, layout, transparentIndex);
  EncodeImageData(MinCodeSizeFor(layout.bitsPerPixel) + 1, stream, fetch);
  FinishGifFile(stream);
}

template <typename PixelFetch>
void WriteGifPlain(const char* outputPath, int width, int height, int interlaced,
                   int backgroundIndex, int bitsPerPixel, const int32_t* red,
                   const int32_t* green, const int32_t* blue, const PixelFetch& fetch) {
  const GifImageLayout layout{width, height, interlaced, bitsPerPixel,
                              backgroundIndex, red, green, blue};
  WriteGifImage(outputPath, layout, -1, fetch);
}

// The transparent index is also the background colour; backgroundIndex is
// not read.
template <typename PixelFetch>
void WriteGifTransparent(const char* outputPath, int width, int height, int interlaced,
                         int /*backgroundIndex*/, int bitsPerPixel, const int32_t* red,
                         const int32_t* green, const int32_t* blue, const PixelFetch& fetch,
                         int transparentIndex) {
  const uint8_t index = static_cast<uint8_t>(transparentIndex);
  const GifImageLayout layout{width, height, interlaced, bitsPerPixel, index, red, green, blue};
  WriteGifImage(outputPath, layout, index, fetch);
}
