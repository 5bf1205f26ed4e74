// Reading colour indices in place from bottom-up DIB rows, and the palette's
// nibble replication.
#include <gtest/gtest.h>

#include "dib_reader.h"
#include "test_support.h"

namespace {

int ReadPixel(const DibSource& dib, int x, int y) {
  uint8_t rowBuffer[RowBufferSize];
  return ReadDibRow(dib, y, rowBuffer)[x];
}

struct AddressCase {
  const char* name;
  int bitsPerPixel, width, height;
  int expectedStride;
  int x, y;
  size_t byteOffset;  // from the start of the pixel rows
  uint8_t byteValue;  // stored there; every other byte is 0
  int expectedIndex;
};

void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

class PixelAddressing : public testing::TestWithParam<AddressCase> {};

TEST_P(PixelAddressing, ReadsTheRightBitsOfTheRightByte) {
  const AddressCase& c = GetParam();
  IndexedImage image{c.width, c.height, c.bitsPerPixel, {}, {}};
  image.palette.resize(size_t{1} << c.bitsPerPixel);
  image.indices.assign(static_cast<size_t>(c.width) * c.height, 0);
  Dib dib = MakeDib(image);
  dib.pixels.at(c.byteOffset) = c.byteValue;
  ColourTable colours;
  const DibSource source = PrepareDibSource(dib.header.data(), dib.pixels.data(), colours);
  EXPECT_EQ(source.width, c.width);
  EXPECT_EQ(source.height, c.height);
  EXPECT_EQ(source.bitsPerPixel, c.bitsPerPixel);
  EXPECT_EQ(source.rowStride, c.expectedStride);
  EXPECT_EQ(ReadPixel(source, c.x, c.y), c.expectedIndex);
  // Every other pixel of the image reads 0.
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      if (x == c.x && y == c.y) continue;
      EXPECT_EQ(ReadPixel(source, x, y), 0) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PixelAddressing,
    testing::Values(
        // 1 bit, 10 wide: stride 4; pixel 8 is bit 7 of byte 1, pixel 9 bit 6.
        AddressCase{"OneBitPixel8", 1, 10, 1, 4, 8, 0, 1, 0x80, 1},
        AddressCase{"OneBitPixel9", 1, 10, 1, 4, 9, 0, 1, 0x40, 1},
        AddressCase{"OneBitPixel0", 1, 10, 1, 4, 0, 0, 0, 0x80, 1},
        AddressCase{"OneBitWidth33", 1, 33, 1, 8, 32, 0, 4, 0x80, 1},
        // 4 bits: pixel 0 high nibble of byte 0, 1 low nibble, 2 high nibble of byte 1.
        AddressCase{"FourBitPixel0", 4, 3, 1, 4, 0, 0, 0, 0xA0, 0xA},
        AddressCase{"FourBitPixel1", 4, 3, 1, 4, 1, 0, 0, 0x0B, 0xB},
        AddressCase{"FourBitPixel2", 4, 3, 1, 4, 2, 0, 1, 0xC0, 0xC},
        AddressCase{"FourBitWidth9", 4, 9, 1, 8, 8, 0, 4, 0xF0, 0xF},
        // 8 bits, 5 high: row 0 is the last in memory, row 4 the first.
        AddressCase{"EightBitTopRow", 8, 5, 5, 8, 2, 0, 4 * 8 + 2, 0xC8, 0xC8},
        AddressCase{"EightBitBottomRow", 8, 5, 5, 8, 3, 4, 3, 0x7F, 0x7F},
        AddressCase{"EightBitWidth4", 8, 4, 2, 4, 3, 1, 3, 0xFF, 0xFF}),
    [](const testing::TestParamInfo<AddressCase>& info) { return info.param.name; });

struct NibbleCase {
  const char* name;
  int bitsPerPixel;
  std::vector<int> components;  // red, green, blue of entry 0, then entry 1, ...
  std::vector<int> expected;
};

void PrintTo(const NibbleCase& c, std::ostream* os) { *os << c.name; }

class NibbleReplication : public testing::TestWithParam<NibbleCase> {};

TEST_P(NibbleReplication, IsAllOrNothing) {
  const NibbleCase& c = GetParam();
  const size_t entries = c.components.size() / 3;
  ColourTable colourTable;
  for (size_t i = 0; i < entries; ++i) {
    colourTable.red[i] = c.components[3 * i];
    colourTable.green[i] = c.components[3 * i + 1];
    colourTable.blue[i] = c.components[3 * i + 2];
  }
  ReplicateHighNibbles(colourTable, c.bitsPerPixel);
  for (size_t i = 0; i < entries; ++i) {
    EXPECT_EQ(colourTable.red[i], c.expected[3 * i]) << "entry " << i;
    EXPECT_EQ(colourTable.green[i], c.expected[3 * i + 1]) << "entry " << i;
    EXPECT_EQ(colourTable.blue[i], c.expected[3 * i + 2]) << "entry " << i;
  }
}

std::vector<int> Repeat(std::vector<int> pattern, size_t entries) {
  std::vector<int> all;
  while (all.size() < entries * 3) all.insert(all.end(), pattern.begin(), pattern.end());
  all.resize(entries * 3);
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, NibbleReplication,
    testing::Values(
        NibbleCase{"SixteenColours", 4, Repeat({0x00, 0x80, 0xC0, 0xFF}, 16),
                   Repeat({0x00, 0x88, 0xCC, 0xFF}, 16)},
        NibbleCase{"LowNibbleDropped", 1, {0x3A, 0x0E, 0xF0, 0x14, 0xFE, 0x01},
                   {0x33, 0x00, 0xFF, 0x11, 0xFF, 0x00}},
        NibbleCase{"FifteenKeepsAll", 4,
                   [] {
                     std::vector<int> v = Repeat({0x80, 0xC0, 0x3A}, 16);
                     v[46] = 0x0F;  // blue of entry 15
                     return v;
                   }(),
                   [] {
                     std::vector<int> v = Repeat({0x80, 0xC0, 0x3A}, 16);
                     v[46] = 0x0F;
                     return v;
                   }()},
        NibbleCase{"FifteenBeyondTheDepthIsNotRead", 1,
                   {0x80, 0xC0, 0x00, 0x12, 0x34, 0x56, 0x0F, 0x0F, 0x0F},
                   {0x88, 0xCC, 0x00, 0x11, 0x33, 0x55, 0x0F, 0x0F, 0x0F}},
        NibbleCase{"FourteenAndF0DoNotStopIt", 1, {0x0E, 0xF0, 0xFF, 0x0E, 0xF0, 0xFF},
                   {0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}}),
    [](const testing::TestParamInfo<NibbleCase>& info) { return info.param.name; });

}  // namespace
