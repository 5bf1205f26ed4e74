// The whole program path: the input bytes are a BMP file, loaded, checked
// and converted through the library into a GIF written to /dev/null.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bitmap_loader.h"
#include "process_ended.h"

namespace {

int inputFile = -1;
std::string inputPath;

uint32_t ReadUint32(const uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Headers that claim more than 65536 pixels are skipped: the time would go
// into encoding, which the library fuzzer covers; the fault tests run the
// real program on huge headers.
bool ClaimsHugeBitmap(const uint8_t* data, size_t size) {
  if (size < 30) return false;
  const int64_t width = static_cast<int32_t>(ReadUint32(data + 18));
  const int64_t height = static_cast<int32_t>(ReadUint32(data + 22));
  const int64_t rows = height < 0 ? -height : height;
  if (width < 1 || width > 65535 || rows < 1 || rows > 65535) return false;  // refused early
  return width * rows > 65536;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::freopen("/dev/null", "w", stdout);
  inputFile = memfd_create("bitmap", 0);
  inputPath = "/proc/self/fd/" + std::to_string(inputFile);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ClaimsHugeBitmap(data, size)) return 0;
  if (ftruncate(inputFile, 0) != 0 || pwrite(inputFile, data, size, 0) != static_cast<ssize_t>(size)) {
    return 0;
  }
  ConverterOptions options;
  options.bitmapPath = inputPath;
  options.gifPath = "/dev/null";
  options.transparency = size % 2;
  options.transparentIndex = static_cast<int>(size % 300);
  options.interlace = size % 3 == 0;
  try {
    LoadAndConvert(options);
  } catch (const ProcessEnded& ended) {
    if (ended.status != 0 && ended.status != 1) __builtin_trap();
  }
  return 0;
}
