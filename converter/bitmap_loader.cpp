#include "bitmap_loader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "bitmap_to_gif.h"
#include "messages.h"
#include "process_exit.h"

namespace {

constexpr int FileHeaderSize = 14;      // BITMAPFILEHEADER
constexpr int InfoHeaderSize = 40;      // BITMAPINFOHEADER, the size handed to the library
constexpr int V4InfoHeaderSize = 108;   // later versions start with the same 40 bytes
constexpr int V5InfoHeaderSize = 124;
constexpr int HeadersSize = FileHeaderSize + InfoHeaderSize;
constexpr int RgbQuadSize = 4;
constexpr int MaxGifDimension = 65535;  // GIF sizes are 16-bit fields

// Offsets from the start of the file.
constexpr int BfOffBitsOffset = 10;
constexpr int BiSizeOffset = 14;
constexpr int BiWidthOffset = 18;
constexpr int BiHeightOffset = 22;
constexpr int BiBitCountOffset = 28;
constexpr int BiCompressionOffset = 30;
constexpr int BiClrUsedOffset = 46;

// Offsets inside the BITMAPINFOHEADER of the block.
constexpr int BlockWidthOffset = 4;
constexpr int BlockHeightOffset = 8;
constexpr int BlockPlanesOffset = 12;
constexpr int BlockBitCountOffset = 14;

uint32_t ReadUint32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

int32_t ReadInt32(const uint8_t* bytes) { return static_cast<int32_t>(ReadUint32(bytes)); }

int ReadUint16(const uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }

void WriteUint32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Reads and drops byteCount bytes, or up to the end of the file; works on
// pipes as well as on files.
void SkipBytes(std::FILE* file, uint64_t byteCount) {
  char scratch[4096];
  while (byteCount > 0) {
    const size_t chunk = static_cast<size_t>(std::min<uint64_t>(byteCount, sizeof scratch));
    const size_t got = std::fread(scratch, 1, chunk, file);
    if (got == 0) return;
    byteCount -= got;
  }
}

// A top-down bitmap's rows, turned into the bottom-up order the library reads.
void ReverseRows(uint8_t* pixels, size_t rowStride, size_t rowCount) {
  for (size_t top = 0, bottom = rowCount - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(pixels + top * rowStride, pixels + (top + 1) * rowStride,
                     pixels + bottom * rowStride);
  }
}

}  // namespace

void LoadAndConvert(const ConverterOptions& options) {
  std::FILE* file = std::fopen(options.bitmapPath.c_str(), "rb");
  if (file == nullptr) FatalError(CannotOpenFileText, nullptr);

  uint8_t headers[HeadersSize] = {};
  const size_t headerBytes = std::fread(headers, 1, HeadersSize, file);
  if (headerBytes < 2 || headers[0] != 'B' || headers[1] != 'M') FatalError(NotABitmapText, file);
  if (headerBytes < HeadersSize) FatalError(FileDamagedText, file);

  const uint32_t biSize = ReadUint32(headers + BiSizeOffset);
  if (biSize != InfoHeaderSize && biSize != V4InfoHeaderSize && biSize != V5InfoHeaderSize) {
    FatalError(FileDamagedText, file);
  }
  if (ReadUint32(headers + BiCompressionOffset) != 0) FatalError(CompressedNotSupportedText, file);
  const int biBitCount = ReadUint16(headers + BiBitCountOffset);
  if (biBitCount != 1 && biBitCount != 4 && biBitCount != 8) FatalError(UnsupportedDepthText, file);

  const int32_t biWidth = ReadInt32(headers + BiWidthOffset);
  const int32_t biHeight = ReadInt32(headers + BiHeightOffset);
  if (biWidth <= 0 || biHeight == 0) FatalError(FileDamagedText, file);
  const int64_t rowCount = biHeight < 0 ? -int64_t{biHeight} : int64_t{biHeight};
  if (biWidth > MaxGifDimension || rowCount > MaxGifDimension) FatalError(TooLargeForGifText, file);

  const int colourCount = 1 << biBitCount;
  std::printf(BitmapSizeText, biWidth, biHeight, colourCount);
  std::printf(WritingToText, options.gifPath.c_str());

  const uint64_t rowStride = (uint64_t{static_cast<uint32_t>(biWidth)} * biBitCount + 31) / 32 * 4;
  const uint64_t pixelBytes = rowStride * static_cast<uint64_t>(rowCount);
  const uint64_t tableOffset = InfoHeaderSize + uint64_t{RgbQuadSize} * colourCount;
  const uint64_t blockSize = tableOffset + pixelBytes;
  if (blockSize > SIZE_MAX) FatalError(OutOfMemoryText, file);
  auto* block = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(blockSize), 1));
  if (block == nullptr) FatalError(OutOfMemoryText, file);

  // The block's header: size 40, one plane, no compression, every other field 0.
  WriteUint32(block, InfoHeaderSize);
  WriteUint32(block + BlockWidthOffset, static_cast<uint32_t>(biWidth));
  WriteUint32(block + BlockHeightOffset, static_cast<uint32_t>(rowCount));
  block[BlockPlanesOffset] = 1;
  block[BlockBitCountOffset] = static_cast<uint8_t>(biBitCount);

  // Colour table after the whole info header; entries beyond colourCount are
  // skipped, missing ones stay black.
  SkipBytes(file, biSize - InfoHeaderSize);
  const uint32_t biClrUsed = ReadUint32(headers + BiClrUsedOffset);
  const uint64_t storedEntries = biClrUsed != 0 ? biClrUsed : static_cast<uint32_t>(colourCount);
  const uint64_t usedEntries = std::min<uint64_t>(storedEntries, colourCount);
  std::fread(block + InfoHeaderSize, 1, static_cast<size_t>(usedEntries * RgbQuadSize), file);
  SkipBytes(file, (storedEntries - usedEntries) * RgbQuadSize);
  // The rows start at bfOffBits when it lies at or past the end of the stored
  // table (a gap is read over); one pointing into the headers or the table
  // is broken, and the rows then follow the table.
  const uint64_t tableEnd = FileHeaderSize + uint64_t{biSize} + storedEntries * RgbQuadSize;
  const uint32_t bfOffBits = ReadUint32(headers + BfOffBitsOffset);
  if (bfOffBits > tableEnd) SkipBytes(file, bfOffBits - tableEnd);

  // A file that ends early leaves the rest of the rows at colour index 0.
  uint8_t* pixels = block + tableOffset;
  std::fread(pixels, 1, static_cast<size_t>(pixelBytes), file);
  if (biHeight < 0) ReverseRows(pixels, static_cast<size_t>(rowStride), static_cast<size_t>(rowCount));

  int32_t transparentIndex = options.transparentIndex;
  // An index equal to the colour count names no entry; a negative one is huge.
  if (options.transparency != 0 &&
      static_cast<uint32_t>(transparentIndex) >= static_cast<uint32_t>(colourCount)) {
    std::fputs(BadTransparentIndexText, stdout);
    transparentIndex = 0;
  }

  ConvertBitmapToGIFEx2(options.gifPath.c_str(), block, pixels, options.transparency,
                        transparentIndex, options.interlace);
  std::fputs(WritingFinishedText, stdout);
  std::free(block);
  std::fclose(file);
  EndProcess(0);
}
