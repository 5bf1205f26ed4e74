// Megapixels per second of the image-data encoder on large images: the
// library's encoder beside the reference that follows the definition
// literally (one fetch per pixel, the 5003-slot hash table), both writing
// into memory, and whole conversions through the export written to /dev/null.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "bitmap_to_gif.h"
#include "literal_encoder.h"
#include "lzw_encoder.h"

namespace {

struct BenchDib {
  int width, height, bitsPerPixel, stride;
  std::vector<uint8_t> header;
  std::vector<uint8_t> pixels;
};

BenchDib MakeDib(int width, int height, int bitsPerPixel) {
  BenchDib dib{width, height, bitsPerPixel, (width * bitsPerPixel + 31) / 32 * 4, {}, {}};
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
  dib.pixels.assign(static_cast<size_t>(dib.stride) * height, 0);
  return dib;
}

void SetPixel(BenchDib& dib, int x, int y, int level) {
  const int bit = x * dib.bitsPerPixel;
  dib.pixels[static_cast<size_t>(y) * dib.stride + bit / 8] |=
      static_cast<uint8_t>(level << (8 - dib.bitsPerPixel - bit % 8));
}

// Smooth waves plus noise, quantised with error diffusion along each row:
// the short, varied strings of a dithered photograph.
BenchDib PhotoLike(int width, int height, int bitsPerPixel) {
  BenchDib dib = MakeDib(width, height, bitsPerPixel);
  const int levels = 1 << bitsPerPixel;
  std::mt19937 random(4242);
  std::normal_distribution<double> noise(0.0, 0.02);
  for (int y = 0; y < height; ++y) {
    double error = 0;
    for (int x = 0; x < width; ++x) {
      const double value = 0.5 + 0.25 * std::sin(x * 0.013 + std::cos(y * 0.007) * 3) +
                           0.2 * std::cos((x + y) * 0.004) + noise(random);
      const double wanted = std::fmin(std::fmax(value, 0.0), 1.0) * (levels - 1) + error;
      const int level = std::min(levels - 1, std::max(0, static_cast<int>(std::lround(wanted))));
      error = wanted - level;
      SetPixel(dib, x, y, level);
    }
  }
  return dib;
}

// Large areas of one colour with sharp edges, like a drawing.
BenchDib Flat(int width, int height) {
  BenchDib dib = MakeDib(width, height, 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int cell = (x / 97) * 31 + (y / 61) * 17 + ((x + 2 * y) / 400) * 7;
      SetPixel(dib, x, y, cell % 256);
    }
  }
  return dib;
}

const BenchDib& Image(int kind) {
  static const BenchDib images[4] = {PhotoLike(4096, 4096, 8), Flat(4096, 4096),
                                     PhotoLike(4096, 4096, 4), PhotoLike(8192, 8192, 1)};
  return images[kind];
}

void CountPixels(benchmark::State& state, const BenchDib& dib) {
  state.counters["MP/s"] = benchmark::Counter(
      static_cast<double>(dib.width) * dib.height / 1e6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

void LiteralEncoder(benchmark::State& state) {
  const BenchDib& dib = Image(static_cast<int>(state.range(0)));
  const auto fetch = [&](int x, int y) {
    return literal::ReadDibPixel(dib.pixels.data(), dib.height, dib.bitsPerPixel, dib.stride, x, y);
  };
  const int minCodeSize = dib.bitsPerPixel < 2 ? 2 : dib.bitsPerPixel;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        literal::EncodeImageData(dib.width, dib.height, false, minCodeSize, fetch).size());
  }
  CountPixels(state, dib);
}

void LibraryEncoder(benchmark::State& state) {
  const BenchDib& dib = Image(static_cast<int>(state.range(0)));
  const DibSource source{dib.width, dib.height, dib.bitsPerPixel, dib.stride, dib.pixels.data()};
  const int minCodeSize = dib.bitsPerPixel < 2 ? 2 : dib.bitsPerPixel;
  auto encoder = std::make_unique<EncoderState>();
  for (auto _ : state) {
    OutputSink sink = MemorySink();
    EncodeImageData(*encoder, source, minCodeSize, false, sink);
    benchmark::DoNotOptimize(sink.size);
    std::free(sink.data);
  }
  CountPixels(state, dib);
}

void WholeConversion(benchmark::State& state) {
  const BenchDib& dib = Image(static_cast<int>(state.range(0)));
  const int interlaced = static_cast<int>(state.range(1));
  for (auto _ : state) {
    ConvertBitmapToGIFEx2("/dev/null", dib.header.data(), dib.pixels.data(), 0, 0, interlaced);
  }
  CountPixels(state, dib);
}

void Images(benchmark::internal::Benchmark* bench) {
  bench->ArgName("image");  // 0 photo 8-bit, 1 flat 8-bit, 2 dithered 4-bit, 3 dithered 1-bit
  for (int kind = 0; kind < 4; ++kind) bench->Arg(kind);
  bench->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(LiteralEncoder)->Apply(Images);
BENCHMARK(LibraryEncoder)->Apply(Images);
BENCHMARK(WholeConversion)->ArgNames({"image", "interlaced"})->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
