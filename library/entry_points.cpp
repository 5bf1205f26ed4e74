#include "bitmap_to_gif.h"

#include "conversion_failure.h"
#include "dib_reader.h"
#include "gif_writer.h"

ColourTable colourTable;
DibSource dibSource;

namespace {

constexpr int MaxGifDimension = 65535;  // GIF sizes are 16-bit fields

int32_t ReadInt32(const uint8_t* bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16 |
                              static_cast<uint32_t>(bytes[3]) << 24);
}

int ReadUint16(const uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }

bool IsGifDimension(int32_t value) { return value >= 1 && value <= MaxGifDimension; }

// Refuses, before any file is created, a DIB that cannot be written correctly.
void RefuseUnsupportedDib(const char* outputPath, const uint8_t* dibHeader,
                          const uint8_t* dibPixels) {
  if (outputPath == nullptr || dibHeader == nullptr || dibPixels == nullptr) {
    FailConversion(UnsupportedBitmapText);
  }
  const int bitsPerPixel = ReadUint16(dibHeader + DibBitCountOffset);
  if ((bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) ||
      !IsGifDimension(ReadInt32(dibHeader + DibWidthOffset)) ||
      !IsGifDimension(ReadInt32(dibHeader + DibHeightOffset))) {
    FailConversion(UnsupportedBitmapText);
  }
}

template <int BitsPerPixel>
void WriteGifWithDibReader(const char* outputPath, const DibDimensions& dib, int transparency,
                           int transparentIndex, int interlaced) {
  // A copy of the DibSource lets the compiler keep it in registers for the scan.
  const auto fetch = [source = dibSource](int x, int y) {
    return ReadDibPixel<BitsPerPixel>(source, x, y);
  };
  if (transparency != 0) {
    WriteGifTransparent(outputPath, dib.width, dib.height, interlaced, 0, dib.bitsPerPixel,
                        colourTable.red, colourTable.green, colourTable.blue, fetch,
                        transparentIndex);
  } else {
    WriteGifPlain(outputPath, dib.width, dib.height, interlaced, 0, dib.bitsPerPixel,
                  colourTable.red, colourTable.green, colourTable.blue, fetch);
  }
}

int Convert(const char* outputPath, const void* dibHeader, const void* dibPixels,
            int transparency, int transparentIndex, int interlaced) {
  const auto* header = static_cast<const uint8_t*>(dibHeader);
  const auto* pixels = static_cast<const uint8_t*>(dibPixels);
  RefuseUnsupportedDib(outputPath, header, pixels);
  const DibDimensions dib = PrepareDibSource(header, pixels);
  ReplicateHighNibbles(dib.bitsPerPixel);
  switch (dib.bitsPerPixel) {
    case 1:
      WriteGifWithDibReader<1>(outputPath, dib, transparency, transparentIndex, interlaced);
      break;
    case 4:
      WriteGifWithDibReader<4>(outputPath, dib, transparency, transparentIndex, interlaced);
      break;
    default:
      WriteGifWithDibReader<8>(outputPath, dib, transparency, transparentIndex, interlaced);
      break;
  }
  return 1;
}

}  // namespace

DibDimensions PrepareDibSource(const uint8_t* dibHeader, const uint8_t* dibPixels) {
  DibSource& dib = dibSource;
  dib.width = ReadInt32(dibHeader + DibWidthOffset);
  dib.height = ReadInt32(dibHeader + DibHeightOffset);
  dib.bitsPerPixel = ReadUint16(dibHeader + DibBitCountOffset);

  const int colourCount = 1 << dib.bitsPerPixel;
  for (int i = 0; i < colourCount; ++i) {
    const uint8_t* entry = dibHeader + DibHeaderSize + RgbQuadSize * i;
    colourTable.red[i] = entry[2];
    colourTable.green[i] = entry[1];
    colourTable.blue[i] = entry[0];
  }

  const uint32_t rowBits = static_cast<uint32_t>(dib.bitsPerPixel) * static_cast<uint32_t>(dib.width);
  dib.rowStride = static_cast<int32_t>(((rowBits + 31) >> 5) << 2);
  dib.pixels = dibPixels;
  return {dib.width, dib.height, dib.bitsPerPixel};
}

void ReplicateHighNibbles(int bitsPerPixel) {
  const int colourCount = 1 << bitsPerPixel;
  int32_t* components[3] = {colourTable.red, colourTable.green, colourTable.blue};
  // A component of exactly 15 keeps the whole table as it is.
  for (const int32_t* component : components) {
    for (int i = 0; i < colourCount; ++i) {
      if (component[i] == 0x0F) return;
    }
  }
  for (int32_t* component : components) {
    for (int i = 0; i < colourCount; ++i) {
      component[i] = (component[i] & 0xF0) | (component[i] >> 4);
    }
  }
}

extern "C" {

ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIF(const char* outputPath, const void* dibHeader,
                                              const void* dibPixels) {
  return Convert(outputPath, dibHeader, dibPixels, 0, 0, 0);
}

ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIFEx(const char* outputPath, const void* dibHeader,
                                                const void* dibPixels, int transparency,
                                                int transparentIndex) {
  return Convert(outputPath, dibHeader, dibPixels, transparency, transparentIndex, 0);
}

ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIFEx2(const char* outputPath, const void* dibHeader,
                                                 const void* dibPixels, int transparency,
                                                 int transparentIndex, int interlaced) {
  return Convert(outputPath, dibHeader, dibPixels, transparency, transparentIndex, interlaced);
}

#ifdef _WIN32
// The library needs no set-up or clean-up: every load and unload
// notification, for the process or a thread, is answered with success.
int __stdcall DllMain(void* /*instance*/, unsigned long /*reason*/, void* /*reserved*/) { return 1; }
#endif

}  // extern "C"
