#include "encoder_support.h"

#include <cstdlib>
#include <memory>
#include <random>

#include "lzw_encoder.h"

std::vector<uint8_t> EncodeWithLibrary(int minCodeSize, int width, int height, bool interlaced,
                                       const std::vector<int>& indices) {
  // One byte per pixel in bottom-up rows, as an 8-bit DIB holds them.
  const int stride = (width + 3) / 4 * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels[static_cast<size_t>(height - 1 - y) * stride + x] =
          static_cast<uint8_t>(indices[static_cast<size_t>(y) * width + x]);
    }
  }
  const DibSource dib{width, height, 8, stride, pixels.data()};
  auto state = std::make_unique<EncoderState>();
  OutputSink sink = MemorySink();
  EncodeImageData(*state, dib, minCodeSize, interlaced, sink);
  std::vector<uint8_t> bytes(sink.data, sink.data + sink.size);
  std::free(sink.data);
  return bytes;
}

std::vector<uint8_t> EncodeLiterally(int minCodeSize, int width, int height, bool interlaced,
                                     const std::vector<int>& indices,
                                     literal::EncodingCounts* counts) {
  return literal::EncodeImageData(
      width, height, interlaced, minCodeSize,
      [&](int x, int y) { return indices[static_cast<size_t>(y) * width + x]; }, counts);
}

std::vector<int> Noise(size_t count, int colourCount, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<int> indices(count);
  for (int& index : indices) index = static_cast<int>(random() % static_cast<uint32_t>(colourCount));
  return indices;
}
