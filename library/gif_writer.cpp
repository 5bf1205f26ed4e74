#include "gif_writer.h"

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

void PutWord(OutputSink& sink, int value) {
  PutByte(sink, static_cast<uint8_t>(value));
  PutByte(sink, static_cast<uint8_t>(value >> 8));
}

}  // namespace

GifImageLayout PlainGifLayout(const DibSource& dib, bool interlaced, int backgroundIndex,
                              const ColourTable& colours) {
  return {dib.width, dib.height, interlaced, dib.bitsPerPixel, backgroundIndex, -1, &colours};
}

GifImageLayout TransparentGifLayout(const DibSource& dib, bool interlaced, int transparentIndex,
                                    const ColourTable& colours) {
  const int index = transparentIndex & 0xFF;
  return {dib.width, dib.height, interlaced, dib.bitsPerPixel, index, index, &colours};
}

void WriteGifImage(OutputSink& sink, const GifImageLayout& layout, const DibSource& dib,
                   EncoderState& encoder) {
  const int depthField = layout.bitsPerPixel - 1;
  WriteBytes(sink, GifSignature, sizeof GifSignature);
  PutWord(sink, layout.width);
  PutWord(sink, layout.height);
  // colour resolution in bits 4-6, table size in bits 0-2
  PutByte(sink, static_cast<uint8_t>(GlobalColourTableFlag | (depthField << 4) | depthField));
  PutByte(sink, static_cast<uint8_t>(layout.backgroundIndex));
  PutByte(sink, NoAspectRatio);

  const ColourTable& colours = *layout.colours;
  for (int i = 0; i < (1 << layout.bitsPerPixel); ++i) {
    PutByte(sink, static_cast<uint8_t>(colours.red[i]));
    PutByte(sink, static_cast<uint8_t>(colours.green[i]));
    PutByte(sink, static_cast<uint8_t>(colours.blue[i]));
  }

  if (layout.transparentIndex >= 0) {
    const uint8_t extension[8] = {ExtensionIntroducer, GraphicControlLabel,
                                  GraphicControlBlockSize, TransparentColourFlag,
                                  0x00, 0x00,  // delay time
                                  static_cast<uint8_t>(layout.transparentIndex), BlockTerminator};
    WriteBytes(sink, extension, sizeof extension);
  }

  PutByte(sink, ImageSeparator);
  PutWord(sink, 0);  // left
  PutWord(sink, 0);  // top
  PutWord(sink, layout.width);
  PutWord(sink, layout.height);
  PutByte(sink, layout.interlaced ? InterlaceFlag : 0x00);
  const int minCodeSize = MinCodeSizeFor(layout.bitsPerPixel);
  PutByte(sink, static_cast<uint8_t>(minCodeSize));
  EncodeImageData(encoder, dib, minCodeSize, layout.interlaced, sink);
}

void WriteGifTrailer(OutputSink& sink) {
  PutByte(sink, BlockTerminator);
  PutByte(sink, Trailer);
}
