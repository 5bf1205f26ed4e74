// The reentrant interface: every failure a status, state per call, sizes
// checked, and files replaced only when complete.
#include <cstdlib>

#include "bitmap_to_gif.h"
#include "dib_check.h"
#include "gif_writer.h"
#include "output_file.h"

namespace {

constexpr ZelGifOptions NoOptions = {0, 0, 0, 0};

// Everything one call works with besides the output.
struct Conversion {
  ColourTable colours;
  DibSource dib;
  GifImageLayout layout;
};

ZelStatus PrepareConversion(const void* dibHeader, size_t dibHeaderSize, const void* dibPixels,
                            size_t dibPixelsSize, const ZelGifOptions* givenOptions,
                            Conversion& conversion) {
  const auto* header = static_cast<const uint8_t*>(dibHeader);
  const auto* pixels = static_cast<const uint8_t*>(dibPixels);
  if (header == nullptr || pixels == nullptr) return ZelUnsupportedBitmap;
  if (dibHeaderSize < DibHeaderSize) return ZelTruncatedBitmap;
  if (!IsSupportedDib(header)) return ZelUnsupportedBitmap;
  if (dibHeaderSize < DibHeaderBytesNeeded(header) || dibPixelsSize < DibPixelBytesNeeded(header)) {
    return ZelTruncatedBitmap;
  }
  const ZelGifOptions& options = givenOptions != nullptr ? *givenOptions : NoOptions;
  conversion.dib = PrepareDibSource(header, pixels, conversion.colours);
  const int colourCount = 1 << conversion.dib.bitsPerPixel;
  if (options.transparency != 0 &&
      (options.transparentIndex < 0 || options.transparentIndex >= colourCount)) {
    return ZelBadTransparentIndex;
  }
  if (options.exactPalette == 0) ReplicateHighNibbles(conversion.colours, conversion.dib.bitsPerPixel);
  const bool interlaced = options.interlaced != 0;
  conversion.layout =
      options.transparency != 0
          ? TransparentGifLayout(conversion.dib, interlaced, options.transparentIndex, conversion.colours)
          : PlainGifLayout(conversion.dib, interlaced, 0, conversion.colours);
  return ZelOk;
}

// Zeroed: the encoder's string table starts empty.
EncoderState* NewEncoderState() {
  return static_cast<EncoderState*>(std::calloc(1, sizeof(EncoderState)));
}

ZelStatus WriteFile(const char* outputPath, const Conversion& conversion) {
  EncoderState* encoder = NewEncoderState();
  auto* buffer = static_cast<uint8_t*>(std::malloc(FileBufferSize));
  ZelStatus status = encoder != nullptr && buffer != nullptr ? ZelOk : ZelOutOfMemory;
  OutputFile output{};
  if (status == ZelOk) status = OpenOutputFile(outputPath, output);
  if (status == ZelOk) {
    std::setvbuf(output.file, nullptr, _IONBF, 0);  // the sink's buffer is the only one
    OutputSink sink = FileSink(output.file, buffer);
    WriteGifImage(sink, conversion.layout, conversion.dib, *encoder);
    WriteGifTrailer(sink);
    const bool written = FlushSink(sink);
    status = CloseOutputFile(output, outputPath, written);
    if (!written) status = ZelWriteFailed;
  }
  std::free(buffer);
  std::free(encoder);
  return status;
}

}  // namespace

extern "C" {

ZELLIB_API ZelStatus ZELLIB_CALL ZelWriteGifFile(const char* outputPath, const void* dibHeader,
                                                 size_t dibHeaderSize, const void* dibPixels,
                                                 size_t dibPixelsSize, const ZelGifOptions* options) {
  if (outputPath == nullptr) return ZelUnsupportedBitmap;
  Conversion conversion;
  const ZelStatus status =
      PrepareConversion(dibHeader, dibHeaderSize, dibPixels, dibPixelsSize, options, conversion);
  if (status != ZelOk) return status;
  return WriteFile(outputPath, conversion);
}

ZELLIB_API ZelStatus ZELLIB_CALL ZelEncodeGif(const void* dibHeader, size_t dibHeaderSize,
                                              const void* dibPixels, size_t dibPixelsSize,
                                              const ZelGifOptions* options,
                                              unsigned char** gifBytes, size_t* gifSize) {
  if (gifBytes == nullptr || gifSize == nullptr) return ZelUnsupportedBitmap;
  *gifBytes = nullptr;
  *gifSize = 0;
  Conversion conversion;
  const ZelStatus status =
      PrepareConversion(dibHeader, dibHeaderSize, dibPixels, dibPixelsSize, options, conversion);
  if (status != ZelOk) return status;

  EncoderState* encoder = NewEncoderState();
  if (encoder == nullptr) return ZelOutOfMemory;
  OutputSink sink = MemorySink();
  WriteGifImage(sink, conversion.layout, conversion.dib, *encoder);
  WriteGifTrailer(sink);
  std::free(encoder);
  if (!FlushSink(sink)) {
    std::free(sink.data);
    return ZelOutOfMemory;
  }
  *gifBytes = sink.data;
  *gifSize = sink.size;
  return ZelOk;
}

ZELLIB_API void ZELLIB_CALL ZelFreeGif(unsigned char* gifBytes) { std::free(gifBytes); }

ZELLIB_API const char* ZELLIB_CALL ZelStatusText(ZelStatus status) {
  switch (status) {
    case ZelOk: return "the GIF was written";
    case ZelUnsupportedBitmap: return "unsupported bitmap";
    case ZelCannotOpenOutput: return "could not open output file";
    case ZelWriteFailed: return "error writing output file";
    case ZelOutOfMemory: return "not enough memory";
    case ZelBadTransparentIndex: return "transparent index outside the palette";
    case ZelTruncatedBitmap: return "bitmap smaller than its header says";
  }
  return "unknown status";
}

}  // extern "C"
