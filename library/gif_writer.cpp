#include "gif_writer.h"

#include "conversion_failure.h"

namespace {

constexpr char GifSignature[6] = {'G', 'I', 'F', '8', '7', 'a'};  // 87a also with the extension
constexpr uint8_t GlobalColourTableFlag = 0x80;
constexpr uint8_t NoAspectRatio = 0x00;
constexpr uint8_t ExtensionIntroducer = 0x21;
constexpr uint8_t GraphicControlLabel = 0xF9;
constexpr uint8_t GraphicControlBlockSize = 4;
constexpr uint8_t TransparentColourFlag = 0x01;  // disposal 0, no user input
constexpr uint8_t ImageSeparator = 0x2C;
constexpr uint8_t InterlaceFlag = 0x40;
constexpr uint8_t BlockTerminator = 0x00;
constexpr uint8_t Trailer = 0x3B;

constexpr size_t StreamBufferSize = 1 << 16;
char streamBuffer[StreamBufferSize];

void PutWord(std::FILE* stream, int value) {
  std::putc(value & 0xFF, stream);
  std::putc((value >> 8) & 0xFF, stream);
}

}  // namespace

std::FILE* OpenGifAndWriteHead(const char* outputPath, const GifImageLayout& layout,
                               int transparentIndex) {
  std::FILE* stream = std::fopen(outputPath, "wb");
  if (stream == nullptr) FailConversion(CouldNotOpenOutputText);
  std::setvbuf(stream, streamBuffer, _IOFBF, StreamBufferSize);

  const int depthField = layout.bitsPerPixel - 1;
  std::fwrite(GifSignature, 1, sizeof GifSignature, stream);
  PutWord(stream, layout.width);
  PutWord(stream, layout.height);
  // colour resolution in bits 4-6, table size in bits 0-2
  std::putc(GlobalColourTableFlag | (depthField << 4) | depthField, stream);
  std::putc(layout.backgroundIndex & 0xFF, stream);
  std::putc(NoAspectRatio, stream);

  const int colourCount = 1 << layout.bitsPerPixel;
  for (int i = 0; i < colourCount; ++i) {
    std::putc(layout.red[i] & 0xFF, stream);
    std::putc(layout.green[i] & 0xFF, stream);
    std::putc(layout.blue[i] & 0xFF, stream);
  }

  if (transparentIndex >= 0) {
    const uint8_t extension[8] = {ExtensionIntroducer, GraphicControlLabel,
                                  GraphicControlBlockSize, TransparentColourFlag,
                                  0x00, 0x00,  // delay time
                                  static_cast<uint8_t>(transparentIndex), BlockTerminator};
    std::fwrite(extension, 1, sizeof extension, stream);
  }

  std::putc(ImageSeparator, stream);
  PutWord(stream, 0);  // left
  PutWord(stream, 0);  // top
  PutWord(stream, layout.width);
  PutWord(stream, layout.height);
  std::putc(layout.interlaced ? InterlaceFlag : 0x00, stream);
  std::putc(MinCodeSizeFor(layout.bitsPerPixel), stream);
  return stream;
}

void FinishGifFile(std::FILE* stream) {
  std::putc(BlockTerminator, stream);
  std::putc(Trailer, stream);
  const bool writeFailed = std::ferror(stream) != 0;
  if (std::fclose(stream) != 0 || writeFailed) FailConversion(ErrorWritingOutputText);
}
