#include "lzw_encoder.h"

#include "conversion_failure.h"

ScanCursor scanCursor;
EncoderState encoderState;

namespace {

struct InterlacePass {
  int32_t startRow;
  int32_t rowStep;
};

// Indexed by pass number; entry 0 is unused.
constexpr InterlacePass InterlacePasses[5] = {{0, 0}, {0, 8}, {4, 8}, {2, 4}, {1, 2}};
constexpr int LastPass = 4;

}  // namespace

void BeginScan(int width, int height, int interlaced) {
  scanCursor.width = width;
  scanCursor.height = height;
  scanCursor.interlaced = interlaced;
  scanCursor.remaining = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
  scanCursor.pass = 1;
  scanCursor.x = 0;
  scanCursor.y = 0;
}

void MoveToNextScanRow() {
  ScanCursor& cursor = scanCursor;
  if (!cursor.interlaced) {
    ++cursor.y;
    return;
  }
  cursor.y += InterlacePasses[cursor.pass].rowStep;
  // Passes that start at or below the last row are left out; the last pass
  // is never left, as the pixel count ends the scan during it.
  while (cursor.y >= cursor.height && cursor.pass < LastPass) {
    ++cursor.pass;
    cursor.y = InterlacePasses[cursor.pass].startRow;
  }
}

// Writes the first 254 bytes as a sub-block; a byte gathered beyond them
// starts the next one.
void WriteFullSubBlock() {
  EncoderState& state = encoderState;
  std::putc(SubBlockLimit, state.stream);
  std::fwrite(state.blockBuffer, 1, SubBlockLimit, state.stream);
  state.blockCount -= SubBlockLimit;
  state.blockBuffer[0] = state.blockBuffer[SubBlockLimit];
}

void FlushSubBlock() {
  EncoderState& state = encoderState;
  if (state.blockCount == 0) return;
  std::putc(state.blockCount, state.stream);
  std::fwrite(state.blockBuffer, 1, static_cast<size_t>(state.blockCount), state.stream);
  state.blockCount = 0;
}

void ResetHashTable() {
  for (int32_t& key : encoderState.hashKeys) key = EmptySlot;
}

void FinishCodeStream() {
  EncoderState& state = encoderState;
  // The bits of the last byte above the held ones stay 0.
  while (state.bitCount > 0) {
    PutDataByte(static_cast<uint8_t>(state.bitBuffer));
    state.bitBuffer >>= 8;
    state.bitCount -= 8;
  }
  state.bitBuffer = 0;
  state.bitCount = 0;
  FlushSubBlock();
  // The error indicator stays set once any write failed, so this covers the
  // whole file written so far.
  if (std::fflush(state.stream) != 0 || std::ferror(state.stream)) {
    FailConversion(ErrorWritingOutputText);
  }
}
