#include "dib_reader.h"

#include <array>
#include <cstring>

namespace {

// The eight pixels of a 1-bit byte, the leftmost from bit 7.
constexpr std::array<std::array<uint8_t, 8>, 256> OneBitPixels = [] {
  std::array<std::array<uint8_t, 8>, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    for (int i = 0; i < 8; ++i) table[byte][i] = static_cast<uint8_t>((byte >> (7 - i)) & 1);
  }
  return table;
}();

}  // namespace

int32_t ReadDibInt32(const uint8_t* bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16 |
                              static_cast<uint32_t>(bytes[3]) << 24);
}

int ReadDibUint16(const uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }

uint32_t DibRowStride(int bitsPerPixel, int32_t width) {
  const uint32_t rowBits = static_cast<uint32_t>(bitsPerPixel) * static_cast<uint32_t>(width);
  return ((rowBits + 31) >> 5) << 2;
}

DibSource PrepareDibSource(const uint8_t* dibHeader, const uint8_t* dibPixels, ColourTable& colours) {
  DibSource dib;
  dib.width = ReadDibInt32(dibHeader + DibWidthOffset);
  dib.height = ReadDibInt32(dibHeader + DibHeightOffset);
  dib.bitsPerPixel = ReadDibUint16(dibHeader + DibBitCountOffset);
  const int colourCount = 1 << dib.bitsPerPixel;
  for (int i = 0; i < colourCount; ++i) {
    const uint8_t* entry = dibHeader + DibHeaderSize + RgbQuadSize * i;
    colours.red[i] = entry[2];
    colours.green[i] = entry[1];
    colours.blue[i] = entry[0];
  }
  dib.rowStride = static_cast<int32_t>(DibRowStride(dib.bitsPerPixel, dib.width));
  dib.pixels = dibPixels;
  return dib;
}

void ReplicateHighNibbles(ColourTable& colours, int bitsPerPixel) {
  const int colourCount = 1 << bitsPerPixel;
  int32_t* components[3] = {colours.red, colours.green, colours.blue};
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

const uint8_t* ReadDibRow(const DibSource& dib, int y, uint8_t* rowBuffer) {
  // y = 0 is the last row in memory; pointer-sized so that areas over 2 GiB work.
  const uint8_t* row = dib.pixels + static_cast<ptrdiff_t>(dib.height - 1 - y) * dib.rowStride;
  if (dib.bitsPerPixel == 8) return row;
  if (dib.bitsPerPixel == 4) {
    // The leftmost pixel is in the high nibble; the last byte may hold a padding nibble.
    for (int i = 0; i < (dib.width + 1) / 2; ++i) {
      rowBuffer[2 * i] = static_cast<uint8_t>(row[i] >> 4);
      rowBuffer[2 * i + 1] = static_cast<uint8_t>(row[i] & 0x0F);
    }
  } else {
    for (int i = 0; i < (dib.width + 7) / 8; ++i) {
      std::memcpy(rowBuffer + 8 * i, OneBitPixels[row[i]].data(), 8);
    }
  }
  return rowBuffer;
}
