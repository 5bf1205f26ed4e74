// The image-data encoder exactly as the file format's definition states it:
// a scan cursor pulling one pixel at a time through a fetch, a 5003-slot
// open-addressing string table, a 32-bit bit packer and a 256-byte sub-block
// buffer. Plain on purpose: it is the oracle the library's encoder is
// compared with, and the baseline the benchmark measures it against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace literal {

// How often the rare paths were taken while encoding.
struct EncodingCounts {
  int keyZeroLosses = 0;    // a new string overwrote the stored key 0
  int tableFullClears = 0;
};

// Colour index of column x, row y (0 = top) of bottom-up DIB rows.
inline int ReadDibPixel(const uint8_t* pixels, int height, int bitsPerPixel, int rowStride, int x, int y) {
  const uint8_t* row = pixels + static_cast<ptrdiff_t>(height - 1 - y) * rowStride;
  if (bitsPerPixel == 1) return (row[x / 8] >> (7 - x % 8)) & 1;
  if (bitsPerPixel == 4) return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
  return row[x];
}

namespace detail {

constexpr int HashTableSize = 5003;
constexpr int CodeLimit = 4096;
constexpr int SubBlockLimit = 254;
constexpr int HashShift = 4;

struct ScanCursor {
  int width, height, interlaced;
  uint32_t remaining;
  int pass, x, y;
};

struct EncoderState {
  std::vector<uint8_t>* stream;
  int initialWidth, codeWidth, maxCode, clearCode, endCode, nextCode;
  bool clearPending;
  uint32_t bitBuffer;
  int bitCount;
  uint8_t blockBuffer[256];
  int blockCount;
  int32_t hashKeys[HashTableSize];
  uint16_t hashCodes[HashTableSize];
};

inline ScanCursor cursor;
inline EncoderState state;
inline const uint32_t Masks[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
                            0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

inline void BeginScan(int width, int height, int interlaced) {
  cursor = {width, height, interlaced, static_cast<uint32_t>(width) * static_cast<uint32_t>(height),
            1, 0, 0};
}

template <typename PixelFetch>
int NextPixel(const PixelFetch& fetch) {
  constexpr int startRow[5] = {0, 0, 4, 2, 1};
  constexpr int rowStep[5] = {0, 8, 8, 4, 2};
  if (cursor.remaining == 0) return -1;
  --cursor.remaining;
  const int v = fetch(cursor.x, cursor.y);
  ++cursor.x;
  if (cursor.x == cursor.width) {
    cursor.x = 0;
    if (!cursor.interlaced) {
      ++cursor.y;
    } else {
      cursor.y += rowStep[cursor.pass];
      while (cursor.y >= cursor.height && cursor.pass < 4) {
        ++cursor.pass;
        cursor.y = startRow[cursor.pass];
      }
    }
  }
  return v;
}

inline void PutDataByte(uint8_t byte) {
  state.blockBuffer[state.blockCount++] = byte;
  if (state.blockCount == SubBlockLimit) {
    state.stream->push_back(SubBlockLimit);
    state.stream->insert(state.stream->end(), state.blockBuffer, state.blockBuffer + SubBlockLimit);
    state.blockCount = 0;
  }
}

inline void FlushSubBlock() {
  if (state.blockCount > 0) {
    state.stream->push_back(static_cast<uint8_t>(state.blockCount));
    state.stream->insert(state.stream->end(), state.blockBuffer, state.blockBuffer + state.blockCount);
    state.blockCount = 0;
  }
}

inline void PackCode(int code) {
  state.bitBuffer = (state.bitBuffer & Masks[state.bitCount]) | (static_cast<uint32_t>(code) << state.bitCount);
  state.bitCount += state.codeWidth;
  while (state.bitCount >= 8) {
    PutDataByte(static_cast<uint8_t>(state.bitBuffer & 0xFF));
    state.bitBuffer >>= 8;
    state.bitCount -= 8;
  }
  if (state.nextCode > state.maxCode || state.clearPending) {
    if (state.clearPending) {
      state.codeWidth = state.initialWidth;
      state.maxCode = (1 << state.initialWidth) - 1;
      state.clearPending = false;
    } else {
      ++state.codeWidth;
      state.maxCode = state.codeWidth == 12 ? CodeLimit : (1 << state.codeWidth) - 1;
    }
  }
  if (code == state.endCode) {
    while (state.bitCount > 0) {
      PutDataByte(static_cast<uint8_t>(state.bitBuffer & 0xFF));
      state.bitBuffer >>= 8;
      state.bitCount -= 8;
    }
    state.bitBuffer = 0;
    state.bitCount = 0;
    FlushSubBlock();
  }
}

inline void ResetHashTable() {
  for (int32_t& key : state.hashKeys) key = -1;
}

}  // namespace detail

// The data sub-blocks of one image (no terminator), and what it took.
// fetch(x, y) gives the colour index of column x, row y (0 = top).

template <typename PixelFetch>
std::vector<uint8_t> EncodeImageData(int width, int height, bool interlaced, int minCodeSize,
                                     const PixelFetch& fetch, EncodingCounts* counts = nullptr) {
  using namespace detail;
  EncodingCounts ignored;
  EncodingCounts& count = counts != nullptr ? *counts : ignored;
  std::vector<uint8_t> stream;
  BeginScan(width, height, interlaced ? 1 : 0);
  const int initialWidth = minCodeSize + 1;
  state.stream = &stream;
  state.initialWidth = initialWidth;
  state.codeWidth = initialWidth;
  state.maxCode = (1 << initialWidth) - 1;
  state.clearCode = 1 << (initialWidth - 1);
  state.endCode = state.clearCode + 1;
  state.nextCode = state.clearCode + 2;
  state.clearPending = false;
  state.blockCount = 0;
  state.bitBuffer = 0;
  state.bitCount = 0;

  int prefix = NextPixel(fetch);
  ResetHashTable();
  PackCode(state.clearCode);
  for (;;) {
    const int p = NextPixel(fetch);
    if (p == -1) break;
    const int32_t key = (p << 12) + prefix;
    int i = (p << HashShift) ^ prefix;
    if (state.hashKeys[i] == key) {
      prefix = state.hashCodes[i];
      continue;
    }
    if (state.hashKeys[i] >= 0) {
      const int d = i == 0 ? 1 : HashTableSize - i;
      bool found = false;
      for (;;) {
        i -= d;
        if (i < 0) i += HashTableSize;
        if (state.hashKeys[i] == key) {
          found = true;
          break;
        }
        if (state.hashKeys[i] > 0) continue;
        break;
      }
      if (found) {
        prefix = state.hashCodes[i];
        continue;
      }
    }
    PackCode(prefix);
    prefix = p;
    if (state.nextCode < CodeLimit) {
      if (state.hashKeys[i] == 0) ++count.keyZeroLosses;
      state.hashCodes[i] = static_cast<uint16_t>(state.nextCode);
      state.hashKeys[i] = key;
      ++state.nextCode;
    } else {
      ResetHashTable();
      ++count.tableFullClears;
      state.clearPending = true;
      state.nextCode = state.clearCode + 2;
      PackCode(state.clearCode);
    }
  }
  PackCode(prefix);
  PackCode(state.endCode);
  return stream;
}

}  // namespace literal
