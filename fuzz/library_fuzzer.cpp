// The reentrant interface with any header, palette, pixels, sizes and
// options: a status that the input explains, and on success a GIF that
// decodes (giflib) to exactly the bitmap's indices and palette, the same in
// memory and on disk.
#include <gif_lib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitmap_to_gif.h"

namespace {

std::string outputPath;

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

int Replicated(int value) { return (value & 0xF0) | (value >> 4); }

struct MemoryGif {
  const unsigned char* bytes;
  size_t size;
  size_t at;
};

int ReadMemory(GifFileType* gif, GifByteType* into, int count) {
  auto* source = static_cast<MemoryGif*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(count), source->size - source->at);
  std::memcpy(into, source->bytes + source->at, n);
  source->at += n;
  return static_cast<int>(n);
}

void CheckDecodedGif(const unsigned char* bytes, size_t size, const std::vector<uint8_t>& header,
                     const std::vector<uint8_t>& pixels, int width, int height, int bits,
                     int stride, bool exactPalette) {
  MemoryGif source{bytes, size, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, ReadMemory, &error);
  Check(gif != nullptr);
  Check(DGifSlurp(gif) == GIF_OK);
  Check(gif->ImageCount == 1 && gif->SColorMap != nullptr);
  const int colourCount = 1 << bits;
  Check(gif->SColorMap->ColorCount == colourCount);
  bool hasFifteen = exactPalette;
  for (int i = 0; i < colourCount * 4; ++i) hasFifteen |= (i % 4 != 3) && header[40 + i] == 15;
  for (int i = 0; i < colourCount; ++i) {
    const GifColorType& colour = gif->SColorMap->Colors[i];
    const uint8_t* entry = &header[40 + 4 * i];
    Check(colour.Red == (hasFifteen ? entry[2] : Replicated(entry[2])));
    Check(colour.Green == (hasFifteen ? entry[1] : Replicated(entry[1])));
    Check(colour.Blue == (hasFifteen ? entry[0] : Replicated(entry[0])));
  }
  const SavedImage& image = gif->SavedImages[0];
  Check(image.ImageDesc.Width == width && image.ImageDesc.Height == height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = &pixels[static_cast<size_t>(height - 1 - y) * stride];
    for (int x = 0; x < width; ++x) {
      const int bit = x * bits;
      const int index = (row[bit / 8] >> (8 - bits - bit % 8)) & (colourCount - 1);
      Check(image.RasterBits[static_cast<size_t>(y) * width + x] == index);
    }
  }
  DGifCloseFile(gif, &error);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    uint8_t buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  outputPath = "/tmp/zellib-fuzz-" + std::to_string(getpid()) + ".gif";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader input{data, size};
  const uint8_t selector = input.Byte();
  const int bitChoices[4] = {1, 4, 8, 8};
  // One input in sixteen carries a bit count the library must refuse.
  const int bits = (selector & 0xF0) == 0xF0 ? selector & 0x0F : bitChoices[selector & 3];
  const int width = 1 + input.Word() % 300;
  const int height = 1 + input.Word() % 300;
  const uint8_t flags = input.Byte();
  const int transparentIndex = static_cast<int16_t>(input.Word());
  // One input in eight states a header or pixel size a few bytes short.
  const uint8_t shortBy = (flags & 0xC0) == 0xC0 ? 1 + input.Byte() % 8 : 0;

  const bool supported = bits == 1 || bits == 4 || bits == 8;
  const int colourCount = supported ? 1 << bits : 2;
  const int stride = (width * bits + 31) / 32 * 4;
  std::vector<uint8_t> header(40 + 4 * static_cast<size_t>(colourCount));
  header[0] = 40;
  header[4] = static_cast<uint8_t>(width);
  header[5] = static_cast<uint8_t>(width >> 8);
  header[8] = static_cast<uint8_t>(height);
  header[9] = static_cast<uint8_t>(height >> 8);
  header[12] = 1;
  header[14] = static_cast<uint8_t>(bits);
  for (size_t i = 40; i < header.size(); ++i) header[i] = input.Byte();
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
  for (uint8_t& byte : pixels) byte = input.Byte();

  const ZelGifOptions options{flags & 1, transparentIndex, (flags & 0x20) != 0, (flags & 0x10) != 0};
  const bool shortHeader = shortBy != 0 && (flags & 2) != 0;
  const size_t headerSize = header.size() - (shortHeader ? shortBy : 0);
  const size_t pixelsSize = pixels.size() - (shortBy != 0 && !shortHeader ? std::min<size_t>(shortBy, pixels.size()) : 0);

  ZelStatus expected = ZelOk;
  if (!supported) {
    expected = ZelUnsupportedBitmap;
  } else if (headerSize < header.size() || pixelsSize < pixels.size()) {
    expected = ZelTruncatedBitmap;
  } else if (options.transparency != 0 && (transparentIndex < 0 || transparentIndex >= colourCount)) {
    expected = ZelBadTransparentIndex;
  }

  unsigned char* gif = nullptr;
  size_t gifSize = 0;
  const ZelStatus status =
      ZelEncodeGif(header.data(), headerSize, pixels.data(), pixelsSize, &options, &gif, &gifSize);
  Check(status == expected);
  if (status != ZelOk) {
    Check(gif == nullptr && gifSize == 0);
    return 0;
  }
  CheckDecodedGif(gif, gifSize, header, pixels, width, height, bits, stride, options.exactPalette != 0);
  if ((flags & 0x04) != 0) {
    unlink(outputPath.c_str());
    Check(ZelWriteGifFile(outputPath.c_str(), header.data(), headerSize, pixels.data(), pixelsSize,
                          &options) == ZelOk);
    Check(ReadFile(outputPath) == std::vector<uint8_t>(gif, gif + gifSize));
  }
  ZelFreeGif(gif);
  return 0;
}
