#include "lzw_encoder.h"

#include <algorithm>
#include <iterator>

namespace {

struct InterlacePass {
  int32_t startRow;
  int32_t rowStep;
};

constexpr InterlacePass InterlacedPasses[4] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
constexpr InterlacePass ProgressivePass[1] = {{0, 1}};

constexpr int32_t EmptySlot = -1;

void WriteSubBlocks(OutputSink& sink, const uint8_t* bytes, size_t count) {
  for (size_t at = 0; at < count; at += SubBlockLimit) {
    const size_t blockSize = std::min<size_t>(SubBlockLimit, count - at);
    PutByte(sink, static_cast<uint8_t>(blockSize));
    WriteBytes(sink, bytes + at, blockSize);
  }
}

inline void PackCode(EncoderState& state, OutputSink& sink, int code) {
  state.bitBuffer |= static_cast<uint64_t>(code) << state.bitCount;
  state.bitCount += state.codeWidth;
  if (state.bitCount >= 32) {
    uint8_t* out = state.codeBytes + state.codeByteCount;
    const auto low = static_cast<uint32_t>(state.bitBuffer);
    out[0] = static_cast<uint8_t>(low);
    out[1] = static_cast<uint8_t>(low >> 8);
    out[2] = static_cast<uint8_t>(low >> 16);
    out[3] = static_cast<uint8_t>(low >> 24);
    state.bitBuffer >>= 32;
    state.bitCount -= 32;
    state.codeByteCount += 4;
    if (state.codeByteCount == CodeChunkSize) {
      WriteSubBlocks(sink, state.codeBytes, CodeChunkSize);
      state.codeByteCount = 0;
    }
  }
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
}

// The held bits, the last byte padded with 0 bits, and the last sub-blocks.
void FinishCodeStream(EncoderState& state, OutputSink& sink) {
  for (; state.bitCount > 0; state.bitCount -= 8) {
    state.codeBytes[state.codeByteCount++] = static_cast<uint8_t>(state.bitBuffer);
    state.bitBuffer >>= 8;
  }
  WriteSubBlocks(sink, state.codeBytes, state.codeByteCount);
  state.bitBuffer = 0;
  state.bitCount = 0;
  state.codeByteCount = 0;
}

int32_t KeyOf(int prefix, int index) { return (index << MaxCodeWidth) + prefix; }
int PrimarySlotOf(int prefix, int index) { return (index << hashShift) ^ prefix; }

// Where the hash table stores a key it does not hold: the primary slot when
// free, else the first slot on the probe path that is free or holds key 0.
int SlotForNewKey(const EncoderState& state, int prefix, int index) {
  int slot = PrimarySlotOf(prefix, index);
  if (state.slotKeys[slot] == EmptySlot) return slot;
  const int displacement = slot == 0 ? 1 : HashTableSize - slot;
  do {
    slot -= displacement;
    if (slot < 0) slot += HashTableSize;
  } while (state.slotKeys[slot] > 0);
  return slot;
}

// From now until the next clear code the table's slots are followed: the
// strings stored since the clear are placed again, in the order they came.
void StartFollowingSlots(EncoderState& state) {
  std::fill(std::begin(state.slotKeys), std::end(state.slotKeys), EmptySlot);
  const int indexMask = (1 << state.minCodeSize) - 1;
  for (int code = state.clearCode + 2; code < state.nextCode; ++code) {
    const int child = state.childOfCode[code];
    const int prefix = child >> state.minCodeSize;
    const int index = child & indexMask;
    state.slotKeys[SlotForNewKey(state, prefix, index)] = KeyOf(prefix, index);
  }
  state.followingSlots = true;
}

void StoreString(EncoderState& state, int prefix, int index) {
  const int child = (prefix << state.minCodeSize) | index;
  const int code = state.nextCode++;
  state.children[child] = static_cast<uint16_t>(code);
  state.childOfCode[code] = child;

  const bool keyZero = child == 0;
  if (!state.followingSlots) {
    if (!keyZero) {
      state.slotZeroTaken |= PrimarySlotOf(prefix, index) == 0;
      return;
    }
    // Key 0 in slot 0 is never lost: no probe from another slot reaches slot 0.
    if (!state.slotZeroTaken) {
      state.slotZeroTaken = true;
      return;
    }
    --state.nextCode;  // the replay covers the strings stored before this one
    StartFollowingSlots(state);
    ++state.nextCode;
  }
  const int slot = SlotForNewKey(state, prefix, index);
  if (slot == state.zeroKeySlot) {
    state.children[0] = 0;  // the key-0 string is overwritten and lost
    state.zeroKeySlot = -1;
  }
  state.slotKeys[slot] = KeyOf(prefix, index);
  if (keyZero) state.zeroKeySlot = slot;
}

void ResetStrings(EncoderState& state) {
  for (int code = state.clearCode + 2; code < state.nextCode; ++code) {
    state.children[state.childOfCode[code]] = 0;
  }
  state.nextCode = state.clearCode + 2;
  state.slotZeroTaken = false;
  state.followingSlots = false;
  state.zeroKeySlot = -1;
}

// A pixel that does not extend the current string: its code goes out and the
// extended string is stored, or the table is full and starts again.
void EndString(EncoderState& state, OutputSink& sink, int prefix, int index) {
  PackCode(state, sink, prefix);
  if (state.nextCode < CodeLimit) {
    StoreString(state, prefix, index);
  } else {
    ResetStrings(state);
    state.clearPending = true;
    PackCode(state, sink, state.clearCode);
  }
}

template <int MinCodeSize>
int EncodeRows(EncoderState& state, OutputSink& sink, const DibSource& dib, int prefix,
               const InterlacePass* passes, int passCount) {
  const int width = dib.width;
  for (int pass = 0; pass < passCount; ++pass) {
    for (int y = passes[pass].startRow; y < dib.height; y += passes[pass].rowStep) {
      const uint8_t* pixels = ReadDibRow(dib, y, state.rowBuffer);
      int x = 0;
      if (prefix < 0) prefix = pixels[x++];  // a root code is its own colour index
      for (; x < width; ++x) {
        const int index = pixels[x];
        const int extended = state.children[(prefix << MinCodeSize) | index];
        if (extended != 0) {
          prefix = extended;
          continue;
        }
        EndString(state, sink, prefix, index);
        prefix = index;
      }
    }
  }
  return prefix;
}

}  // namespace

void EncodeImageData(EncoderState& state, const DibSource& dib, int minCodeSize, bool interlaced,
                     OutputSink& sink) {
  state.minCodeSize = minCodeSize;
  state.initialWidth = minCodeSize + 1;
  state.codeWidth = state.initialWidth;
  state.maxCode = (1 << state.initialWidth) - 1;
  state.clearCode = 1 << minCodeSize;
  state.endCode = state.clearCode + 1;
  state.nextCode = state.clearCode + 2;
  state.clearPending = false;
  state.bitBuffer = 0;
  state.bitCount = 0;
  state.codeByteCount = 0;
  state.slotZeroTaken = false;
  state.followingSlots = false;
  state.zeroKeySlot = -1;

  PackCode(state, sink, state.clearCode);
  const InterlacePass* passes = interlaced ? InterlacedPasses : ProgressivePass;
  const int passCount = interlaced ? 4 : 1;
  int prefix = -1;
  switch (minCodeSize) {
    case 2: prefix = EncodeRows<2>(state, sink, dib, prefix, passes, passCount); break;
    case 3: prefix = EncodeRows<3>(state, sink, dib, prefix, passes, passCount); break;
    case 4: prefix = EncodeRows<4>(state, sink, dib, prefix, passes, passCount); break;
    case 5: prefix = EncodeRows<5>(state, sink, dib, prefix, passes, passCount); break;
    case 6: prefix = EncodeRows<6>(state, sink, dib, prefix, passes, passCount); break;
    case 7: prefix = EncodeRows<7>(state, sink, dib, prefix, passes, passCount); break;
    default: prefix = EncodeRows<8>(state, sink, dib, prefix, passes, passCount); break;
  }
  PackCode(state, sink, prefix);
  PackCode(state, sink, state.endCode);
  FinishCodeStream(state, sink);
  ResetStrings(state);  // leaves the children table empty for the next image
}
