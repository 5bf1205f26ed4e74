// Megapixels per second for whole conversions through the library, written
// to /dev/null so that the disk does not count.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bitmap_to_gif.h"

namespace {

struct BenchDib {
  std::vector<uint8_t> header;
  std::vector<uint8_t> pixels;
};

BenchDib MakeHeader(int width, int height, int bitsPerPixel) {
  BenchDib dib;
  dib.header.assign(40 + 4 * (size_t{1} << bitsPerPixel), 0);
  const auto put32 = [&](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) dib.header[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  put32(0, 40);
  put32(4, static_cast<uint32_t>(width));
  put32(8, static_cast<uint32_t>(height));
  dib.header[12] = 1;
  dib.header[14] = static_cast<uint8_t>(bitsPerPixel);
  for (size_t i = 0; i < (size_t{1} << bitsPerPixel); ++i) {
    dib.header[40 + 4 * i] = static_cast<uint8_t>(i);
    dib.header[41 + 4 * i] = static_cast<uint8_t>(255 - i);
    dib.header[42 + 4 * i] = static_cast<uint8_t>(i * 7);
  }
  return dib;
}

// Smooth waves plus noise, quantised with error diffusion along each row:
// the short, varied strings of a dithered photograph.
BenchDib PhotoLike(int width, int height, int bitsPerPixel) {
  BenchDib dib = MakeHeader(width, height, bitsPerPixel);
  const int stride = (width * bitsPerPixel + 31) / 32 * 4;
  const int levels = 1 << bitsPerPixel;
  dib.pixels.assign(static_cast<size_t>(stride) * height, 0);
  std::mt19937 random(4242);
  std::normal_distribution<double> noise(0.0, 0.02);
  for (int y = 0; y < height; ++y) {
    double error = 0;
    uint8_t* row = dib.pixels.data() + static_cast<size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      const double value = 0.5 + 0.25 * std::sin(x * 0.013 + std::cos(y * 0.007) * 3) +
                           0.2 * std::cos((x + y) * 0.004) + noise(random);
      const double wanted = std::fmin(std::fmax(value, 0.0), 1.0) * (levels - 1) + error;
      const int level = std::min(levels - 1, std::max(0, static_cast<int>(std::lround(wanted))));
      error = wanted - level;
      const int bit = x * bitsPerPixel;
      row[bit / 8] |= static_cast<uint8_t>(level << (8 - bitsPerPixel - bit % 8));
    }
  }
  return dib;
}

void Convert(benchmark::State& state, int width, int height, int bitsPerPixel) {
  const BenchDib dib = PhotoLike(width, height, bitsPerPixel);
  const int interlaced = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ConvertBitmapToGIFEx2("/dev/null", dib.header.data(), dib.pixels.data(), 0, 0, interlaced);
  }
  state.counters["MP/s"] = benchmark::Counter(static_cast<double>(width) * height / 1e6 *
                                                  static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

void EightBitPhoto(benchmark::State& state) { Convert(state, 4096, 4096, 8); }
void OneBitDithered(benchmark::State& state) { Convert(state, 8192, 8192, 1); }
void FourBitDithered(benchmark::State& state) { Convert(state, 4096, 4096, 4); }

}  // namespace

BENCHMARK(EightBitPhoto)->ArgName("interlaced")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(FourBitDithered)->ArgName("interlaced")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OneBitDithered)->ArgName("interlaced")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
