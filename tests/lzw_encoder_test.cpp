// The LZW code stream and the scan order, checked below the exports with
// images of any minimum code size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>

#include "encoder_support.h"
#include "literal_encoder.h"
#include "test_support.h"

namespace {

// The library's encoder over an 8-bit DIB holding the indices.
std::vector<uint8_t> Encode(int minCodeSize, int width, int height, int interlaced,
                            const std::vector<int>& indices) {
  return EncodeWithLibrary(minCodeSize, width, height, interlaced != 0, indices);
}

struct CodeStreamCase {
  const char* name;
  int width, height, minCodeSize, interlaced;
  std::vector<int> indices;
  const char* bytes;
};

void PrintTo(const CodeStreamCase& c, std::ostream* os) { *os << c.name; }

class CodeStreamBytes : public testing::TestWithParam<CodeStreamCase> {};

TEST_P(CodeStreamBytes, MatchExactly) {
  const CodeStreamCase& c = GetParam();
  EXPECT_EQ(Encode(c.minCodeSize, c.width, c.height, c.interlaced, c.indices), HexBytes(c.bytes));
  EXPECT_EQ(EncodeLiterally(c.minCodeSize, c.width, c.height, c.interlaced != 0, c.indices),
            HexBytes(c.bytes))
      << "the reference encoder";
}

INSTANTIATE_TEST_SUITE_P(
    SmallImages, CodeStreamBytes,
    testing::Values(
        CodeStreamCase{"OnePixel", 1, 1, 2, 0, {0}, "02 44 01"},
        CodeStreamCase{"TwoByTwoZeros", 2, 2, 2, 0, {0, 0, 0, 0}, "02 84 51"},
        CodeStreamCase{"Alternating", 4, 1, 2, 0, {0, 1, 0, 1}, "02 44 5C"},
        CodeStreamCase{"EightZeros", 8, 1, 2, 0, {0, 0, 0, 0, 0, 0, 0, 0}, "03 84 6F 05"},
        CodeStreamCase{"SixOnes", 3, 2, 2, 0, {1, 1, 1, 1, 1, 1}, "02 8C 5F"},
        CodeStreamCase{"TwoEqualRows", 4, 2, 4, 0, {0, 1, 2, 3, 0, 1, 2, 3}, "05 10 04 31 24 8D"},
        CodeStreamCase{"ColumnInRowOrder", 1, 10, 2, 0, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1},
                       "04 44 34 86 56"},
        CodeStreamCase{"ColumnInterlaced", 1, 10, 2, 1, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1},
                       "05 84 25 31 1A 05"}),
    [](const testing::TestParamInfo<CodeStreamCase>& info) { return info.param.name; });

struct InterlaceCase {
  int height;
  std::vector<int> rows;
};

void PrintTo(const InterlaceCase& c, std::ostream* os) { *os << "height " << c.height; }

class InterlacedRowOrder : public testing::TestWithParam<InterlaceCase> {};

// The reference encoder's scan; the library's row order is compared with it
// image by image in the encoder comparison tests.
TEST_P(InterlacedRowOrder, VisitsEveryRowOnceInPassOrder) {
  const InterlaceCase& c = GetParam();
  const int width = 3;
  std::vector<std::pair<int, int>> fetched;
  literal::EncodeImageData(width, c.height, true, 8, [&](int x, int y) {
    fetched.emplace_back(x, y);
    return 7;
  });
  std::vector<std::pair<int, int>> expected;
  for (int row : c.rows) {
    for (int x = 0; x < width; ++x) expected.emplace_back(x, row);
  }
  EXPECT_EQ(fetched, expected);
}

INSTANTIATE_TEST_SUITE_P(ByHeight, InterlacedRowOrder,
                         testing::Values(InterlaceCase{10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
                                         InterlaceCase{5, {0, 4, 2, 1, 3}},
                                         InterlaceCase{4, {0, 2, 1, 3}},
                                         InterlaceCase{3, {0, 2, 1}},
                                         InterlaceCase{2, {0, 1}}, InterlaceCase{1, {0}}));

std::vector<std::vector<uint8_t>> SplitSubBlocks(const std::vector<uint8_t>& bytes) {
  std::vector<std::vector<uint8_t>> blocks;
  for (size_t at = 0; at < bytes.size();) {
    const size_t count = bytes[at];
    blocks.emplace_back(bytes.begin() + static_cast<long>(at) + 1,
                        bytes.begin() + static_cast<long>(std::min(bytes.size(), at + 1 + count)));
    at += 1 + count;
  }
  return blocks;
}

TEST(SubBlocks, AreFullExceptTheLastAndNeverEmpty) {
  const std::vector<uint8_t> encoded = Encode(8, 200, 50, 0, Noise(200 * 50, 256, 1));
  const auto blocks = SplitSubBlocks(encoded);
  ASSERT_GT(blocks.size(), 2u);
  for (size_t i = 0; i + 1 < blocks.size(); ++i) EXPECT_EQ(blocks[i].size(), 254u) << "block " << i;
  EXPECT_GE(blocks.back().size(), 1u);
  EXPECT_LE(blocks.back().size(), 254u);
}

TEST(SubBlocks, CodeStreamOf254BytesIsOneBlockAnd255AreTwo) {
  // Find row widths whose code streams are exactly 254 and 255 bytes long.
  const std::vector<int> noise = Noise(400, 256, 2);
  bool saw254 = false, saw255 = false;
  for (int width = 150; width < 400 && !(saw254 && saw255); ++width) {
    const std::vector<uint8_t> bytes = Encode(8, width, 1, 0, noise);
    const auto blocks = SplitSubBlocks(bytes);
    size_t codeBytes = 0;
    for (const auto& block : blocks) codeBytes += block.size();
    if (codeBytes == 254) {
      saw254 = true;
      EXPECT_EQ(bytes.size(), 255u);
      EXPECT_EQ(bytes[0], 0xFE);
    }
    if (codeBytes == 255) {
      saw255 = true;
      ASSERT_EQ(blocks.size(), 2u);
      EXPECT_EQ(blocks[0].size(), 254u);
      EXPECT_EQ(blocks[1].size(), 1u);
    }
  }
  EXPECT_TRUE(saw254 && saw255);
}

// Reads the code stream back with the width schedule stated per data code:
// boundaries[k] is the last data code after a clear that has width
// initialWidth + k; the last boundary is followed by the table-full clear.
struct CodeStreamSummary {
  int tableFullClears = 0;
  bool endedWithEndCode = false;
  bool paddingBitsZero = false;
  std::vector<int> codes;
};

CodeStreamSummary ReadCodeStream(const std::vector<uint8_t>& bytes, int minCodeSize,
                                 const std::vector<int>& boundaries) {
  std::vector<uint8_t> stream;
  for (const auto& block : SplitSubBlocks(bytes)) stream.insert(stream.end(), block.begin(), block.end());
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  CodeStreamSummary summary;
  size_t bitPosition = 0;
  int dataCodes = 0;  // since the last clear
  bool first = true;
  const auto widthAfter = [&](int dataCodeCount) {
    int width = minCodeSize + 1;
    for (int boundary : boundaries) {
      if (dataCodeCount >= boundary) ++width;
    }
    return std::min(width, 12);
  };
  while (bitPosition + widthAfter(dataCodes) <= stream.size() * 8) {
    const int width = first ? minCodeSize + 1 : widthAfter(dataCodes);
    int code = 0;
    for (int k = 0; k < width; ++k, ++bitPosition) {
      code |= ((stream[bitPosition / 8] >> (bitPosition % 8)) & 1) << k;
    }
    summary.codes.push_back(code);
    if (first) {
      EXPECT_EQ(code, clearCode) << "the stream starts with a clear code";
      first = false;
    } else if (code == clearCode) {
      EXPECT_EQ(dataCodes, boundaries.back()) << "a clear code only when the table is full";
      EXPECT_EQ(width, 12);
      ++summary.tableFullClears;
      dataCodes = 0;
    } else if (code == endCode) {
      summary.endedWithEndCode = true;
      summary.paddingBitsZero = bitPosition % 8 == 0 || (stream[bitPosition / 8] >> (bitPosition % 8)) == 0;
      EXPECT_EQ(bitPosition / 8 + (bitPosition % 8 != 0), stream.size()) << "nothing after the end code";
      break;
    } else {
      ++dataCodes;
    }
  }
  return summary;
}

TEST(WidthSchedule, MinimumCodeSize8ClearsAfterDataCode3839) {
  const std::vector<int> indices = Noise(400 * 300, 256, 3);
  const std::vector<uint8_t> encoded = Encode(8, 400, 300, 0, indices);
  const CodeStreamSummary summary = ReadCodeStream(encoded, 8, {255, 767, 1791, 3839});
  EXPECT_GE(summary.tableFullClears, 3);
  EXPECT_TRUE(summary.endedWithEndCode);
  EXPECT_TRUE(summary.paddingBitsZero);
}

TEST(WidthSchedule, MinimumCodeSize2ClearsAfterDataCode4091) {
  const std::vector<int> indices = Noise(300 * 300, 4, 4);
  const std::vector<uint8_t> encoded = Encode(2, 300, 300, 0, indices);
  const CodeStreamSummary summary =
      ReadCodeStream(encoded, 2, {3, 11, 27, 59, 123, 251, 507, 1019, 2043, 4091});
  EXPECT_GE(summary.tableFullClears, 2);
  EXPECT_TRUE(summary.endedWithEndCode);
  EXPECT_TRUE(summary.paddingBitsZero);
}

TEST(Encoder, StoredKeyZeroEndsTheProbeAndIsOverwritten) {
  // 16 1 puts a string in slot 0, so 0 0 (key 0) probes on to slot 5002.
  // 5 156 fills slot 2501; 21 157 has the same primary slot, probes to 5002,
  // stops at the key 0 there and overwrites it. The string 0 0 is then
  // stored anew, and the last three zeros find that new code (266).
  const std::vector<int> pixels = {16, 1, 0, 0, 5, 156, 21, 157, 0, 0, 0};
  const std::vector<uint8_t> encoded = Encode(8, static_cast<int>(pixels.size()), 1, 0, pixels);
  const CodeStreamSummary summary = ReadCodeStream(encoded, 8, {255, 767, 1791, 3839});
  EXPECT_EQ(summary.codes, (std::vector<int>{256, 16, 1, 0, 0, 5, 156, 21, 157, 0, 266, 257}));
}

TEST(Encoder, SameImageTwiceGivesTheSameBytes) {
  // 7 pixels at minimum code size 2 end away from a byte boundary.
  const std::vector<int> odd = {0, 1, 1, 0, 1, 0, 0};
  EXPECT_EQ(Encode(2, 7, 1, 0, odd), Encode(2, 7, 1, 0, odd));
  const std::vector<int> noise = Noise(300 * 200, 256, 5);
  const std::vector<uint8_t> first = Encode(8, 300, 200, 1, noise);
  Encode(2, 7, 1, 0, odd);
  EXPECT_EQ(Encode(8, 300, 200, 1, noise), first);
}

}  // namespace
