// The GIF image data: a scan cursor that walks the image in GIF row order and
// the variable-width LZW encoder that packs its colour indices into data
// sub-blocks. All state is static: one image at a time per process.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int MaxCodeWidth = 12;                // widest code; also the index shift in a key
constexpr int CodeLimit = 1 << MaxCodeWidth;    // no code is assigned from here on; maxCode at width 12
constexpr int HashTableSize = 5003;             // slots of the key and code tables
constexpr int SubBlockLimit = 254;              // bytes gathered before a data sub-block is written
constexpr int ScanEnd = -1;                     // NextPixel's result once every pixel was given
constexpr int32_t EmptySlot = -1;               // hashKeys value of a free slot

// 8 minus the doublings that take the table size to 65536 or more.
constexpr int HashShiftFor(int tableSize) {
  int doublings = 0;
  for (long size = tableSize; size < 65536; size *= 2) ++doublings;
  return 8 - doublings;
}
constexpr int hashShift = HashShiftFor(HashTableSize);
static_assert(hashShift == 4, "the primary slot must stay below 4096");

// BitMask[n] keeps the low n bits of the bit accumulator.
constexpr uint32_t BitMask[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                  0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                  0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

struct ScanCursor {
  int32_t width;
  int32_t height;
  int32_t interlaced;   // non-zero: the four-pass row order
  uint32_t remaining;   // pixels not yet given; width * height in 32 bits at the start
  int32_t pass;         // 1 to 4; stays 1 when not interlaced
  int32_t x;            // column of the next pixel, 0 = leftmost
  int32_t y;            // row of the next pixel, 0 = top
};

struct EncoderState {
  std::FILE* stream;      // borrowed from the writer for one image; never closed here
  int32_t initialWidth;   // code width at the start and after every clear code, 3 to 9
  int32_t codeWidth;      // width of the next code, 3 to 12
  int32_t maxCode;        // largest code of the current width; CodeLimit at width 12
  int32_t clearCode;
  int32_t endCode;
  int32_t nextCode;       // next code to assign, clearCode + 2 to CodeLimit
  bool clearPending;      // the table was reset: the width returns after the clear code
  uint32_t bitBuffer;     // bits not yet written, oldest in the low bits
  int32_t bitCount;       // valid bits in bitBuffer: 0 to 7 between codes
  uint8_t blockBuffer[256];
  int32_t blockCount;     // bytes held in blockBuffer, 0 to 253 between codes
  int32_t hashKeys[HashTableSize];    // (index << 12) + prefix code, or EmptySlot
  uint16_t hashCodes[HashTableSize];  // code of the string whose key is in the same slot
};

extern ScanCursor scanCursor;
extern EncoderState encoderState;

void BeginScan(int width, int height, int interlaced);
void MoveToNextScanRow();
void WriteFullSubBlock();
void FlushSubBlock();
void ResetHashTable();
void FinishCodeStream();

// Gives the colour index of the next pixel in scan order, or ScanEnd.
template <typename PixelFetch>
inline int NextPixel(const PixelFetch& fetch) {
  ScanCursor& cursor = scanCursor;
  if (cursor.remaining == 0) return ScanEnd;
  --cursor.remaining;
  const int value = fetch(cursor.x, cursor.y);
  if (++cursor.x == cursor.width) {
    cursor.x = 0;
    MoveToNextScanRow();
  }
  return value;
}

inline void PutDataByte(uint8_t byte) {
  EncoderState& state = encoderState;
  state.blockBuffer[state.blockCount++] = byte;
  if (state.blockCount == SubBlockLimit) WriteFullSubBlock();
}

inline void PackCode(int code) {
  EncoderState& state = encoderState;
  state.bitBuffer = (state.bitBuffer & BitMask[state.bitCount]) |
                    (static_cast<uint32_t>(code) << state.bitCount);
  state.bitCount += state.codeWidth;
  // The whole bytes held (0 to 2 of at most 19 bits) go to the sub-block
  // without a branch on their number: both low bytes are stored, the count
  // advances by the whole ones. The buffer has room for the byte past 253.
  state.blockBuffer[state.blockCount] = static_cast<uint8_t>(state.bitBuffer);
  state.blockBuffer[state.blockCount + 1] = static_cast<uint8_t>(state.bitBuffer >> 8);
  const int wholeBytes = state.bitCount >> 3;
  state.blockCount += wholeBytes;
  state.bitBuffer >>= 8 * wholeBytes;
  state.bitCount &= 7;
  if (state.blockCount >= SubBlockLimit) WriteFullSubBlock();
  // The width grows only after the code that reached the old width's limit.
  if (state.nextCode > state.maxCode || state.clearPending) {
    if (state.clearPending) {
      state.codeWidth = state.initialWidth;
      state.maxCode = (1 << state.initialWidth) - 1;
      state.clearPending = false;
    } else {
      ++state.codeWidth;
      state.maxCode = state.codeWidth == MaxCodeWidth ? CodeLimit : (1 << state.codeWidth) - 1;
    }
  }
  if (code == state.endCode) FinishCodeStream();
}

// Writes the image's LZW code stream as data sub-blocks into the open stream,
// then flushes the stream and ends the process if any write to it failed.
// BeginScan must have started the scan of the same image.
template <typename PixelFetch>
void EncodeImageData(int initialWidth, std::FILE* stream, const PixelFetch& fetch) {
  EncoderState& state = encoderState;
  state.stream = stream;
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

  int prefix = NextPixel(fetch);  // a root code is its own colour index
  ResetHashTable();
  PackCode(state.clearCode);

  for (int pixel = NextPixel(fetch); pixel != ScanEnd; pixel = NextPixel(fetch)) {
    const int32_t key = (pixel << MaxCodeWidth) + prefix;
    int slot = (pixel << hashShift) ^ prefix;
    if (state.hashKeys[slot] == key) {
      prefix = state.hashCodes[slot];
      continue;
    }
    if (state.hashKeys[slot] >= 0) {
      const int displacement = slot == 0 ? 1 : HashTableSize - slot;
      bool found = false;
      do {
        slot -= displacement;
        if (slot < 0) slot += HashTableSize;
        if (state.hashKeys[slot] == key) {
          found = true;
          break;
        }
      } while (state.hashKeys[slot] > 0);  // a stored key of 0 ends the probe like a free slot
      if (found) {
        prefix = state.hashCodes[slot];
        continue;
      }
    }
    PackCode(prefix);
    prefix = pixel;
    if (state.nextCode < CodeLimit) {
      state.hashCodes[slot] = static_cast<uint16_t>(state.nextCode++);
      state.hashKeys[slot] = key;
    } else {
      ResetHashTable();
      state.clearPending = true;
      state.nextCode = state.clearCode + 2;
      PackCode(state.clearCode);
    }
  }
  PackCode(prefix);
  PackCode(state.endCode);
}
