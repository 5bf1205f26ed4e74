// Whole GIF files written through the three exports: every block around the
// image data, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "bitmap_to_gif.h"
#include "gif_writer.h"
#include "test_support.h"

namespace {

class GifFile : public testing::Test {
 protected:
  std::vector<uint8_t> Convert(const IndexedImage& image, int transparency = 0,
                               int transparentIndex = 0, int interlaced = 0) {
    const Dib dib = MakeDib(image);
    const std::string path = (folder_ / "out.gif").string();
    EXPECT_EQ(ConvertBitmapToGIFEx2(path.c_str(), dib.header.data(), dib.pixels.data(),
                                    transparency, transparentIndex, interlaced),
              1);
    return ReadFileBytes(path);
  }

  static IndexedImage Uniform(int width, int height, int bitsPerPixel) {
    IndexedImage image{width, height, bitsPerPixel, {}, {}};
    for (int i = 0; i < (1 << bitsPerPixel); ++i) {
      const uint8_t value = static_cast<uint8_t>(i * 0x11);
      image.palette.push_back({value, static_cast<uint8_t>(255 - value), 0x80});
    }
    image.indices.assign(static_cast<size_t>(width) * height, 0);
    return image;
  }

  TempFolder folder_;
};

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
  return {bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + count)};
}

TEST_F(GifFile, TwoByTwoOneBitImageByteForByte) {
  IndexedImage image{2, 2, 1, {0, 0, 0, 0}, {{0, 0, 0}, {0xFF, 0xFF, 0xFF}}};
  EXPECT_EQ(Convert(image), HexBytes("47 49 46 38 37 61 02 00 02 00 80 00 00"
                                     " 00 00 00 FF FF FF"
                                     " 2C 00 00 00 00 02 00 02 00 00 02"
                                     " 02 84 51 00 3B"));
}

TEST_F(GifFile, TransparentEightBitWorkedExample) {
  const IndexedImage image = RandomImage(320, 200, 8, 11);
  const std::vector<uint8_t> file = Convert(image, 1, 5);
  EXPECT_EQ(Slice(file, 0, 13), HexBytes("47 49 46 38 37 61 40 01 C8 00 F7 05 00"));
  for (int i = 0; i < 256; ++i) {
    const Rgb& colour = image.palette[static_cast<size_t>(i)];
    ASSERT_EQ(Slice(file, 13 + 3 * i, 3), (std::vector<uint8_t>{colour.red, colour.green, colour.blue}));
  }
  EXPECT_EQ(Slice(file, 781, 8), HexBytes("21 F9 04 01 00 00 05 00"));
  EXPECT_EQ(Slice(file, 789, 11), HexBytes("2C 00 00 00 00 40 01 C8 00 00 08"));
  EXPECT_EQ(Slice(file, file.size() - 2, 2), HexBytes("00 3B"));

  // The plain file differs in the background byte and lacks the extension.
  const std::vector<uint8_t> plain = Convert(image);
  EXPECT_EQ(Slice(plain, 0, 13), HexBytes("47 49 46 38 37 61 40 01 C8 00 F7 00 00"));
  EXPECT_EQ(Slice(plain, 13, 768), Slice(file, 13, 768));
  EXPECT_EQ(Slice(plain, 781, plain.size() - 781), Slice(file, 789, file.size() - 789));
}

struct DepthCase {
  int bitsPerPixel;
  uint8_t packedByte;
  int colourCount;
  uint8_t minCodeSize;
};

void PrintTo(const DepthCase& c, std::ostream* os) { *os << c.bitsPerPixel << " bits"; }

class GifDepth : public GifFile, public testing::WithParamInterface<DepthCase> {};

TEST_P(GifDepth, SetsScreenFieldsTableSizeAndMinimumCodeSize) {
  const DepthCase& c = GetParam();
  const std::vector<uint8_t> file = Convert(Uniform(3, 2, c.bitsPerPixel));
  ASSERT_GT(file.size(), 26u + 3 * c.colourCount);
  EXPECT_EQ(file[10], c.packedByte);
  const size_t separator = 13 + 3 * static_cast<size_t>(c.colourCount);
  EXPECT_EQ(file[separator], 0x2C);
  EXPECT_EQ(file[separator + 10], c.minCodeSize);
  // Data sub-blocks fill the rest up to the terminator and trailer.
  size_t at = separator + 11;
  while (file.at(at) != 0) at += 1 + file[at];
  EXPECT_EQ(at + 2, file.size());
  EXPECT_EQ(file.back(), 0x3B);
}

INSTANTIATE_TEST_SUITE_P(Depths, GifDepth,
                         testing::Values(DepthCase{1, 0x80, 2, 2}, DepthCase{4, 0xB3, 16, 4},
                                         DepthCase{8, 0xF7, 256, 8}));

TEST_F(GifFile, TransparentIndexZeroExtensionAndSignature) {
  const std::vector<uint8_t> file = Convert(Uniform(2, 2, 1), 1, 0);
  EXPECT_EQ(Slice(file, 0, 6), HexBytes("47 49 46 38 37 61"));
  EXPECT_EQ(Slice(file, 19, 8), HexBytes("21 F9 04 01 00 00 00 00"));
}

TEST_F(GifFile, AnyNonZeroInterlacedSetsTheFlag) {
  const size_t packedAt = 13 + 3 * 16 + 9;
  EXPECT_EQ(Convert(Uniform(3, 3, 4), 0, 0, 0)[packedAt], 0x00);
  for (int interlaced : {1, 2, -1}) {
    EXPECT_EQ(Convert(Uniform(3, 3, 4), 0, 0, interlaced)[packedAt], 0x40) << interlaced;
  }
}

TEST_F(GifFile, DimensionsAreLittleEndianWords) {
  const std::vector<uint8_t> wide = Convert(Uniform(256, 1, 1));
  EXPECT_EQ(Slice(wide, 6, 4), HexBytes("00 01 01 00"));
  EXPECT_EQ(Slice(wide, 19 + 5, 4), HexBytes("00 01 01 00"));
  const std::vector<uint8_t> widest = Convert(Uniform(65535, 1, 1));
  EXPECT_EQ(Slice(widest, 6, 4), HexBytes("FF FF 01 00"));
  const std::vector<uint8_t> tallest = Convert(Uniform(1, 65535, 1));
  EXPECT_EQ(Slice(tallest, 6, 4), HexBytes("01 00 FF FF"));
}

TEST_F(GifFile, TransparentIndexIsWrittenAsItsLowByte) {
  const std::vector<uint8_t> file = Convert(Uniform(2, 2, 8), 1, 300);
  EXPECT_EQ(file[11], 300 & 0xFF);
  EXPECT_EQ(Slice(file, 781, 8), HexBytes("21 F9 04 01 00 00 2C 00"));
}

TEST_F(GifFile, ExportsAgreeOnTheOptionsTheyShare) {
  const IndexedImage image = RandomImage(37, 23, 4, 12);
  const Dib dib = MakeDib(image);
  const auto write = [&](const auto& call) {
    const std::string path = (folder_ / "x.gif").string();
    EXPECT_EQ(call(path.c_str()), 1);
    return ReadFileBytes(path);
  };
  const auto* header = dib.header.data();
  const auto* pixels = dib.pixels.data();
  const auto plain = write([&](const char* p) { return ConvertBitmapToGIF(p, header, pixels); });
  EXPECT_EQ(plain, write([&](const char* p) { return ConvertBitmapToGIFEx(p, header, pixels, 0, 9); }));
  EXPECT_EQ(plain, write([&](const char* p) { return ConvertBitmapToGIFEx2(p, header, pixels, 0, -4, 0); }));
  const auto transparent =
      write([&](const char* p) { return ConvertBitmapToGIFEx(p, header, pixels, 1, 3); });
  EXPECT_NE(transparent, plain);
  for (int transparency : {1, 2, -1}) {
    EXPECT_EQ(transparent, write([&](const char* p) {
                return ConvertBitmapToGIFEx2(p, header, pixels, transparency, 3, 0);
              })) << transparency;
  }
}

TEST_F(GifFile, ReplacesAnExistingFile) {
  WriteFileBytes(folder_ / "out.gif", std::vector<uint8_t>(100000, 0xAA));
  EXPECT_EQ(Convert(Uniform(2, 2, 1)).size(), 35u);
}

TEST_F(GifFile, PaletteIsReplicatedUnlessAComponentIs15) {
  IndexedImage image = Uniform(2, 2, 1);
  image.palette = {{0x80, 0xC0, 0x3A}, {0x00, 0xFF, 0x0E}};
  EXPECT_EQ(Slice(Convert(image), 13, 6), HexBytes("88 CC 33 00 FF 00"));
  image.palette = {{0x80, 0xC0, 0x3A}, {0x00, 0x0F, 0x0E}};
  EXPECT_EQ(Slice(Convert(image), 13, 6), HexBytes("80 C0 3A 00 0F 0E"));
}

TEST_F(GifFile, NothingOfOneConversionLeaksIntoTheNext) {
  const IndexedImage large = RandomImage(300, 200, 8, 13);
  const IndexedImage small{3, 1, 1, {1, 0, 1}, {{0x11, 0x22, 0x33}, {0x44, 0x55, 0x66}}};
  const std::vector<uint8_t> smallAlone = Convert(small);
  const std::vector<uint8_t> largeFirst = Convert(large, 1, 7, 1);
  EXPECT_EQ(Convert(small), smallAlone);
  EXPECT_EQ(Slice(smallAlone, 10, 9), HexBytes("80 00 00 11 22 33 44 55 66"));
  EXPECT_EQ(Convert(large, 1, 7, 1), largeFirst);
}

TEST(GifWriter, WritesTheLowByteOfEachColourComponent) {
  ColourTable colours{};
  colours.red[0] = 0x1FF, colours.red[1] = 0x100;
  colours.green[0] = 0x12, colours.green[1] = 0x34;
  colours.blue[0] = 0x56, colours.blue[1] = 0x2FE;
  const uint8_t row[4] = {};
  const DibSource dib{1, 1, 1, 4, row};
  auto encoder = std::make_unique<EncoderState>();
  OutputSink sink = MemorySink();
  WriteGifImage(sink, PlainGifLayout(dib, false, 0x101, colours), dib, *encoder);
  const std::vector<uint8_t> file(sink.data, sink.data + sink.size);
  std::free(sink.data);
  EXPECT_EQ(file[11], 0x01);
  EXPECT_EQ(Slice(file, 13, 6), HexBytes("FF 12 56 00 34 FE"));
}

}  // namespace
