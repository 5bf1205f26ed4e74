// Writes one complete GIF holding one image: header, screen descriptor,
// global colour table, optional Graphic Control Extension, image descriptor,
// the LZW image data and the trailer.
#pragma once

#include <cstdint>

#include "dib_reader.h"
#include "lzw_encoder.h"
#include "output_sink.h"

struct GifImageLayout {
  int width;             // 1 to 65535
  int height;            // 1 to 65535
  bool interlaced;       // four-pass row order and the interlace flag
  int bitsPerPixel;      // 1 to 8
  int backgroundIndex;   // written as its low 8 bits
  int transparentIndex;  // 0 to 255: written in a Graphic Control Extension; -1: none
  const ColourTable* colours;  // 1 << bitsPerPixel entries, written as their low 8 bits
};

// The plain form: no extension, backgroundIndex as given.
GifImageLayout PlainGifLayout(const DibSource& dib, bool interlaced, int backgroundIndex,
                              const ColourTable& colours);
// The transparent form: transparentIndex (its low 8 bits) marked transparent
// in a Graphic Control Extension and written as the background colour.
GifImageLayout TransparentGifLayout(const DibSource& dib, bool interlaced, int transparentIndex,
                                    const ColourTable& colours);

// The larger of the depth and 2: GIF has no 1-bit LZW minimum code size.
constexpr int MinCodeSizeFor(int bitsPerPixel) { return bitsPerPixel < 2 ? 2 : bitsPerPixel; }

// Every block up to the LZW minimum code size, then the image data.
void WriteGifImage(OutputSink& sink, const GifImageLayout& layout, const DibSource& dib,
                   EncoderState& encoder);
// The block terminator and the trailer.
void WriteGifTrailer(OutputSink& sink);
