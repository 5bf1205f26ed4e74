// The GIF image data: the rows of a DibSource in GIF row order, compressed by
// variable-width LZW and written as data sub-blocks.
//
// The code stream is the one a 5003-slot open-addressing string table gives
// (keys (index << 12) + prefix, primary slot (index << 4) XOR prefix, probe
// step 5003 - slot). Only its decisions show in the file, so the strings are
// kept in a table indexed directly by (prefix, index); the hash table is
// followed only where it departs from plain LZW: a stored key 0 ends a probe
// as an empty slot does, so the string "index 0 after root 0" is lost when a
// later insertion stops on its slot. That string sits outside slot 0 only
// when slot 0 was taken first, and then the table's slots are replayed and
// followed until the next clear code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dib_reader.h"
#include "output_sink.h"

constexpr int MaxCodeWidth = 12;                // widest code; also the index shift in a key
constexpr int CodeLimit = 1 << MaxCodeWidth;    // no code is assigned from here on; maxCode at width 12
constexpr int HashTableSize = 5003;             // slots of the table whose decisions the file shows
constexpr int SubBlockLimit = 254;              // bytes in every data sub-block but the last
constexpr int MaxMinCodeSize = 8;

// 8 minus the doublings that take the table size to 65536 or more.
constexpr int HashShiftFor(int tableSize) {
  int doublings = 0;
  for (long size = tableSize; size < 65536; size *= 2) ++doublings;
  return 8 - doublings;
}
constexpr int hashShift = HashShiftFor(HashTableSize);
static_assert(hashShift == 4, "the primary slot must stay below 4096");

// Code bytes gathered before they are written as sub-blocks: whole sub-blocks
// and whole 32-bit stores.
constexpr size_t CodeChunkSize = SubBlockLimit * 64;
static_assert(CodeChunkSize % 4 == 0, "the packer stores 4 bytes at a time");

struct EncoderState {
  int32_t minCodeSize;    // 2 to 8
  int32_t initialWidth;   // code width at the start and after every clear code
  int32_t codeWidth;      // width of the next code, up to 12
  int32_t maxCode;        // largest code of the current width; CodeLimit at width 12
  int32_t clearCode;
  int32_t endCode;
  int32_t nextCode;       // next code to assign, clearCode + 2 to CodeLimit
  bool clearPending;      // the table was reset: the width returns after the clear code

  uint64_t bitBuffer;     // bits not yet stored, oldest in the low bits
  int32_t bitCount;       // 0 to 31 between codes
  size_t codeByteCount;   // bytes held in codeBytes
  uint8_t codeBytes[CodeChunkSize + 8];

  // children[(prefix << minCodeSize) | index]: code of that string, 0 if none.
  uint16_t children[CodeLimit << MaxMinCodeSize];
  int32_t childOfCode[CodeLimit];  // the children entry each assigned code sits in

  // The hash table's occupancy, followed only while the key-0 string can be lost.
  bool slotZeroTaken;     // a string with primary slot 0 was stored since the clear
  bool followingSlots;
  int32_t zeroKeySlot;    // slot of the key-0 string while followed, or -1
  int32_t slotKeys[HashTableSize];

  uint8_t rowBuffer[RowBufferSize];
};

// Writes the image data sub-blocks (not the terminator) of the image that dib
// describes, top row first or interlaced. Pixel values must be below
// 1 << minCodeSize. state needs no preparation and is left ready for reuse;
// a freshly zeroed one is ready too.
void EncodeImageData(EncoderState& state, const DibSource& dib, int minCodeSize, bool interlaced,
                     OutputSink& sink);
