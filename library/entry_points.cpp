// The three original exports: the file written in place, every failure a
// text on standard output and the end of the process.
#include <cstdio>

#include "bitmap_to_gif.h"
#include "conversion_failure.h"
#include "dib_check.h"
#include "gif_writer.h"

namespace {

// Static like the rest of these exports' state: no allocation can fail.
EncoderState encoderState;
uint8_t fileBuffer[FileBufferSize];

int Convert(const char* outputPath, const void* dibHeader, const void* dibPixels,
            int transparency, int transparentIndex, int interlaced) {
  const auto* header = static_cast<const uint8_t*>(dibHeader);
  const auto* pixels = static_cast<const uint8_t*>(dibPixels);
  if (outputPath == nullptr || header == nullptr || pixels == nullptr || !IsSupportedDib(header)) {
    FailConversion(UnsupportedBitmapText);
  }
  ColourTable colours;
  const DibSource dib = PrepareDibSource(header, pixels, colours);
  ReplicateHighNibbles(colours, dib.bitsPerPixel);
  const GifImageLayout layout =
      transparency != 0 ? TransparentGifLayout(dib, interlaced != 0, transparentIndex, colours)
                        : PlainGifLayout(dib, interlaced != 0, 0, colours);

  std::FILE* file = std::fopen(outputPath, "wb");
  if (file == nullptr) FailConversion(CouldNotOpenOutputText);
  std::setvbuf(file, nullptr, _IONBF, 0);  // the sink's buffer is the only one
  OutputSink sink = FileSink(file, fileBuffer);
  WriteGifImage(sink, layout, dib, encoderState);
  // Tested once after the image data, as a failed write leaves the file
  // without its terminator and trailer.
  if (!FlushSink(sink)) FailConversion(ErrorWritingOutputText);
  WriteGifTrailer(sink);
  const bool written = FlushSink(sink);
  if (std::fclose(file) != 0 || !written) FailConversion(ErrorWritingOutputText);
  return 1;
}

}  // namespace

extern "C" {

ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIF(const char* outputPath, const void* dibHeader,
                                              const void* dibPixels) {
  return Convert(outputPath, dibHeader, dibPixels, 0, 0, 0);
}

ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIFEx(const char* outputPath, const void* dibHeader,
                                                const void* dibPixels, int transparency,
                                                int transparentIndex) {
  return Convert(outputPath, dibHeader, dibPixels, transparency, transparentIndex, 0);
}

ZELLIB_API int ZELLIB_CALL ConvertBitmapToGIFEx2(const char* outputPath, const void* dibHeader,
                                                 const void* dibPixels, int transparency,
                                                 int transparentIndex, int interlaced) {
  return Convert(outputPath, dibHeader, dibPixels, transparency, transparentIndex, interlaced);
}

#ifdef _WIN32
// The library needs no set-up or clean-up: every load and unload
// notification, for the process or a thread, is answered with success.
int __stdcall DllMain(void* /*instance*/, unsigned long /*reason*/, void* /*reserved*/) { return 1; }
#endif

}  // extern "C"
