// Every file the library writes, decoded by giflib: the pixels and the colour
// table must be the bitmap's own.
#include <gtest/gtest.h>

#include "bitmap_to_gif.h"
#include "test_support.h"

namespace {

struct RoundTripCase {
  const char* name;
  int width, height, bitsPerPixel;
  int transparency, transparentIndex, interlaced;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, GiflibReadsBackTheBitmap) {
  const RoundTripCase& c = GetParam();
  const IndexedImage image = RandomImage(c.width, c.height, c.bitsPerPixel,
                                         static_cast<uint32_t>(c.width * 131 + c.height));
  const Dib dib = MakeDib(image);
  TempFolder folder;
  const std::string path = (folder / "round.gif").string();
  ConvertBitmapToGIFEx2(path.c_str(), dib.header.data(), dib.pixels.data(), c.transparency,
                        c.transparentIndex, c.interlaced);
  const DecodedGif gif = DecodeGif(path);
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.width, c.width);
  EXPECT_EQ(gif.height, c.height);
  EXPECT_EQ(gif.interlaced, c.interlaced != 0);
  EXPECT_EQ(gif.transparentIndex, c.transparency ? c.transparentIndex : -1);
  EXPECT_EQ(gif.palette, image.palette);
  ASSERT_EQ(gif.indices.size(), image.indices.size());
  for (size_t i = 0; i < image.indices.size(); ++i) {
    ASSERT_EQ(gif.indices[i], image.indices[i]) << "pixel " << i % c.width << "," << i / c.width;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Images, RoundTrip,
    testing::Values(RoundTripCase{"OnePixel1Bit", 1, 1, 1, 0, 0, 0},
                    RoundTripCase{"OnePixel8Bit", 1, 1, 8, 1, 200, 1},
                    RoundTripCase{"OddWidth1Bit", 13, 7, 1, 0, 0, 0},
                    RoundTripCase{"OddWidth1BitInterlaced", 33, 19, 1, 0, 0, 1},
                    RoundTripCase{"OddWidth1BitTransparent", 9, 12, 1, 1, 1, 0},
                    RoundTripCase{"OddWidth4Bit", 3, 5, 4, 0, 0, 0},
                    RoundTripCase{"OddWidth4BitInterlaced", 71, 43, 4, 0, 0, 1},
                    RoundTripCase{"OddWidth4BitTransparent", 17, 9, 4, 1, 15, 1},
                    RoundTripCase{"OddWidth8Bit", 5, 3, 8, 0, 0, 0},
                    RoundTripCase{"OddWidth8BitInterlaced", 99, 61, 8, 0, 0, 1},
                    RoundTripCase{"OddWidth8BitTransparent", 65, 2, 8, 1, 255, 0},
                    RoundTripCase{"TallColumn8BitInterlaced", 1, 300, 8, 0, 0, 1},
                    // Large enough for the string table to fill and clear many times.
                    RoundTripCase{"Large8Bit", 1023, 769, 8, 0, 0, 0},
                    RoundTripCase{"Large8BitInterlaced", 777, 555, 8, 1, 3, 1},
                    RoundTripCase{"Large1Bit", 2001, 1003, 1, 0, 0, 0},
                    RoundTripCase{"Large4BitInterlaced", 1001, 601, 4, 0, 0, 1}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

}  // namespace
