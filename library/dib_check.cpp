#include "dib_check.h"

#include <cstdint>

namespace {

bool IsGifDimension(int32_t value) { return value >= 1 && value <= MaxGifDimension; }

}  // namespace

bool IsSupportedDib(const uint8_t* dibHeader) {
  const int bitsPerPixel = ReadDibUint16(dibHeader + DibBitCountOffset);
  return (bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8) &&
         IsGifDimension(ReadDibInt32(dibHeader + DibWidthOffset)) &&
         IsGifDimension(ReadDibInt32(dibHeader + DibHeightOffset));
}

size_t DibHeaderBytesNeeded(const uint8_t* dibHeader) {
  return DibHeaderSize + RgbQuadSize * (size_t{1} << ReadDibUint16(dibHeader + DibBitCountOffset));
}

size_t DibPixelBytesNeeded(const uint8_t* dibHeader) {
  const int bitsPerPixel = ReadDibUint16(dibHeader + DibBitCountOffset);
  const uint64_t stride = DibRowStride(bitsPerPixel, ReadDibInt32(dibHeader + DibWidthOffset));
  // At most 32,768 bytes by 65,535 rows: 64-bit arithmetic, then the size_t test.
  const uint64_t bytes = stride * static_cast<uint32_t>(ReadDibInt32(dibHeader + DibHeightOffset));
  return bytes > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(bytes);
}
