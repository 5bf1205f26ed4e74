// The library's exports with any header, palette, pixels and options: the
// GIF must decode (giflib) to exactly the bitmap's indices and palette, and a
// DIB the library refuses must leave no file behind.
#include <gif_lib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bitmap_to_gif.h"
#include "process_ended.h"

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

void CheckDecodedGif(const std::vector<uint8_t>& header, const std::vector<uint8_t>& pixels,
                     int width, int height, int bits, int stride) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(outputPath.c_str(), &error);
  Check(gif != nullptr);
  Check(DGifSlurp(gif) == GIF_OK);
  Check(gif->ImageCount == 1 && gif->SColorMap != nullptr);
  const int colourCount = 1 << bits;
  Check(gif->SColorMap->ColorCount == colourCount);
  bool hasFifteen = false;
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::freopen("/dev/null", "w", stdout);
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

  unlink(outputPath.c_str());
  try {
    const int transparency = flags & 1 ? (flags & 2 ? -1 : 1) : 0;
    switch ((flags >> 2) % 3) {
      case 0: ConvertBitmapToGIF(outputPath.c_str(), header.data(), pixels.data()); break;
      case 1:
        ConvertBitmapToGIFEx(outputPath.c_str(), header.data(), pixels.data(), transparency,
                             transparentIndex);
        break;
      default:
        ConvertBitmapToGIFEx2(outputPath.c_str(), header.data(), pixels.data(), transparency,
                              transparentIndex, flags & 0x20);
        break;
    }
  } catch (const ProcessEnded& ended) {
    Check(!supported && ended.status == 1);
    Check(access(outputPath.c_str(), F_OK) != 0);
    return 0;
  }
  Check(supported);
  CheckDecodedGif(header, pixels, width, height, bits, stride);
  return 0;
}
