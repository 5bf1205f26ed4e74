// The library's image-data encoder against the reference that follows the
// definition literally: any minimum code size, size, row order and pixels
// must give the same bytes.
#include <cstdint>
#include <vector>

#include "encoder_support.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Byte() { return at < size ? data[at++] : 0; }
};

// Pixels from the input's bytes: either the bytes themselves, or tokens that
// favour index 0, pairs 16·p, p (whose strings take hash slot 0) and two
// zeros in a row, the inputs on which the key-0 string gets lost.
std::vector<int> Pixels(Reader& input, size_t count, int minCodeSize, bool tokens) {
  const int mask = (1 << minCodeSize) - 1;
  std::vector<int> pixels;
  pixels.reserve(count + 2);
  const size_t start = input.at;
  const size_t length = input.size > start ? input.size - start : 0;
  for (size_t i = 0; pixels.size() < count; ++i) {
    const uint8_t byte = length == 0 ? 0 : input.data[start + (i * 7 + i / length) % length];
    if (!tokens) {
      pixels.push_back(byte & mask);
      continue;
    }
    const int p = 1 + byte % 3;
    switch (byte >> 5) {
      case 0: case 1: case 2: pixels.push_back(0); break;
      case 3: pixels.insert(pixels.end(), {0, 0}); break;
      case 4: case 5: pixels.insert(pixels.end(), {(16 * p) & mask, p & mask}); break;
      default: pixels.push_back(byte & mask); break;
    }
  }
  pixels.resize(count);
  return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader input{data, size};
  const uint8_t flags = input.Byte();
  const int minCodeSize = 2 + flags % 7;
  const bool interlaced = (flags & 0x08) != 0;
  const bool tokens = (flags & 0x10) != 0;
  const int width = 1 + (input.Byte() | (input.Byte() & 0x03) << 8);   // 1 to 1024
  const int height = 1 + (input.Byte() | (input.Byte() & 0x01) << 8);  // 1 to 512
  const std::vector<int> pixels =
      Pixels(input, static_cast<size_t>(width) * height, minCodeSize, tokens);
  if (EncodeWithLibrary(minCodeSize, width, height, interlaced, pixels) !=
      EncodeLiterally(minCodeSize, width, height, interlaced, pixels)) {
    __builtin_trap();
  }
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }
