// The Zel interface: the same bytes as the original exports, every failure a
// status (nothing printed, nothing left behind), sizes checked before any
// read, and calls from many threads at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <thread>

#include "bitmap_to_gif.h"
#include "test_support.h"

namespace {

// A copy of bytes in a heap block of exactly that size, so that a read past
// its end shows under AddressSanitizer.
struct ExactBlock {
  explicit ExactBlock(const std::vector<uint8_t>& bytes, size_t size)
      : data(static_cast<uint8_t*>(std::malloc(size == 0 ? 1 : size))), size(size) {
    std::copy(bytes.begin(), bytes.begin() + static_cast<long>(std::min(size, bytes.size())), data);
  }
  ~ExactBlock() { std::free(data); }
  ExactBlock(const ExactBlock&) = delete;
  ExactBlock& operator=(const ExactBlock&) = delete;
  uint8_t* data;
  size_t size;
};

std::vector<uint8_t> LegacyGif(const Dib& dib, const ZelGifOptions& options) {
  TempFolder folder;
  const std::string path = (folder / "legacy.gif").string();
  ConvertBitmapToGIFEx2(path.c_str(), dib.header.data(), dib.pixels.data(), options.transparency,
                        options.transparentIndex, options.interlaced);
  return ReadFileBytes(path);
}

ZelStatus EncodeInMemory(const Dib& dib, const ZelGifOptions* options, std::vector<uint8_t>& gif) {
  unsigned char* bytes = reinterpret_cast<unsigned char*>(1);
  size_t size = 1;
  const ZelStatus status = ZelEncodeGif(dib.header.data(), dib.header.size(), dib.pixels.data(),
                                        dib.pixels.size(), options, &bytes, &size);
  if (status == ZelOk) {
    gif.assign(bytes, bytes + size);
  } else {
    EXPECT_EQ(bytes, nullptr);
    EXPECT_EQ(size, 0u);
  }
  ZelFreeGif(bytes);
  return status;
}

std::vector<uint8_t> WriteToFile(const Dib& dib, const ZelGifOptions& options) {
  TempFolder folder;
  const std::string path = (folder / "zel.gif").string();
  EXPECT_EQ(ZelWriteGifFile(path.c_str(), dib.header.data(), dib.header.size(), dib.pixels.data(),
                            dib.pixels.size(), &options),
            ZelOk);
  return ReadFileBytes(path);
}

TEST(ReentrantApi, SameBytesAsTheOriginalExport) {
  int compared = 0;
  for (const int bits : {1, 4, 8}) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
      const IndexedImage image = RandomImage(static_cast<int>(7 + 97 * seed), static_cast<int>(3 + 41 * seed), bits, seed + bits);
      const Dib dib = MakeDib(image);
      for (const ZelGifOptions options : {ZelGifOptions{0, 0, 0, 0}, ZelGifOptions{1, 1, 0, 0},
                                          ZelGifOptions{0, 1, 1, 0}, ZelGifOptions{-1, 0, 1, 0}}) {
        const std::vector<uint8_t> legacy = LegacyGif(dib, options);
        std::vector<uint8_t> inMemory;
        ASSERT_EQ(EncodeInMemory(dib, &options, inMemory), ZelOk);
        EXPECT_EQ(inMemory, legacy) << bits << " bits, seed " << seed;
        EXPECT_EQ(WriteToFile(dib, options), legacy) << bits << " bits, seed " << seed;
        ++compared;
      }
    }
  }
  // A null options pointer is all zero.
  const Dib dib = MakeDib(RandomImage(50, 40, 4, 9));
  std::vector<uint8_t> plain;
  ASSERT_EQ(EncodeInMemory(dib, nullptr, plain), ZelOk);
  EXPECT_EQ(plain, LegacyGif(dib, {0, 0, 0, 0}));
  EXPECT_EQ(compared, 36);
}

TEST(ReentrantApi, ExactPaletteChangesOnlyTheColourTable) {
  for (const int bits : {1, 4, 8}) {
    Dib dib = MakeDib(RandomImage(30, 20, bits, 40 + bits));
    const int colourCount = 1 << bits;
    for (int i = 0; i < colourCount; ++i) {  // values the nibble rule would change
      dib.header[40 + 4 * i] = static_cast<uint8_t>(0x3A + (i & 0x7F));
      dib.header[41 + 4 * i] = 0x0E;
      dib.header[42 + 4 * i] = static_cast<uint8_t>(0x80 | (i & 0x7F));
    }
    const std::vector<uint8_t> legacy = LegacyGif(dib, {1, 0, 1, 0});
    std::vector<uint8_t> exact;
    const ZelGifOptions options{1, 0, 1, 1};
    ASSERT_EQ(EncodeInMemory(dib, &options, exact), ZelOk);
    ASSERT_EQ(exact.size(), legacy.size());
    for (int i = 0; i < colourCount; ++i) {
      EXPECT_EQ(exact[13 + 3 * i], dib.header[42 + 4 * i]) << "red " << i;
      EXPECT_EQ(exact[14 + 3 * i], dib.header[41 + 4 * i]) << "green " << i;
      EXPECT_EQ(exact[15 + 3 * i], dib.header[40 + 4 * i]) << "blue " << i;
    }
    EXPECT_NE(legacy[14], 0x0E) << "the original export applies the rule";
    const size_t tableEnd = 13 + 3 * static_cast<size_t>(colourCount);
    EXPECT_TRUE(std::equal(exact.begin(), exact.begin() + 13, legacy.begin()));
    EXPECT_TRUE(std::equal(exact.begin() + static_cast<long>(tableEnd), exact.end(),
                           legacy.begin() + static_cast<long>(tableEnd)));
    EXPECT_EQ(WriteToFile(dib, options), exact);
  }
}

// A DIB with one change, and sizes that may be one short.
struct StatusCase {
  const char* name;
  int bits;
  size_t offset;                   // header field to change, or 0
  std::vector<uint8_t> value;
  ZelGifOptions options;
  long headerSizeChange, pixelSizeChange;
  ZelStatus expected;
};
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

std::vector<uint8_t> Le32(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

class StatusOfBitmap : public testing::TestWithParam<StatusCase> {};

TEST_P(StatusOfBitmap, IsReportedWithoutOutputOrFile) {
  const StatusCase& c = GetParam();
  Dib dib = MakeDib(RandomImage(13, 11, c.bits, 5));
  std::copy(c.value.begin(), c.value.end(), dib.header.begin() + static_cast<long>(c.offset));
  const ExactBlock header(dib.header, dib.header.size() + c.headerSizeChange);
  const ExactBlock pixels(dib.pixels, dib.pixels.size() + c.pixelSizeChange);
  TempFolder folder;
  const std::string path = (folder / "out.gif").string();
  const ProcessResult result = RunInChild([&] {
    dup2(STDOUT_FILENO, STDERR_FILENO);
    unsigned char* bytes = nullptr;
    size_t size = 0;
    const ZelStatus inMemory =
        ZelEncodeGif(header.data, header.size, pixels.data, pixels.size, &c.options, &bytes, &size);
    const ZelStatus toFile =
        ZelWriteGifFile(path.c_str(), header.data, header.size, pixels.data, pixels.size, &c.options);
    const bool cleared = bytes == nullptr && size == 0;
    ZelFreeGif(bytes);
    _exit(inMemory == toFile && (cleared || inMemory == ZelOk) ? inMemory : 100);
  });
  EXPECT_EQ(result.exitStatus, c.expected) << ZelStatusText(c.expected);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(std::filesystem::exists(path), c.expected == ZelOk);
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, StatusOfBitmap,
    testing::Values(
        StatusCase{"Accepted", 8, 0, {}, {1, 255, 0, 0}, 0, 0, ZelOk},
        StatusCase{"LargerSizesAreFine", 4, 0, {}, {1, 15, 1, 1}, 100, 7, ZelOk},
        StatusCase{"TwentyFourBits", 8, 14, {24, 0}, {}, 0, 0, ZelUnsupportedBitmap},
        StatusCase{"WidthZero", 8, 4, Le32(0), {}, 0, 0, ZelUnsupportedBitmap},
        StatusCase{"Height70000", 1, 8, Le32(70000), {}, 0, 0, ZelUnsupportedBitmap},
        StatusCase{"TopDown", 4, 8, Le32(-11), {}, 0, 0, ZelUnsupportedBitmap},
        StatusCase{"IndexSixteenOnFourBits", 4, 0, {}, {1, 16, 0, 0}, 0, 0, ZelBadTransparentIndex},
        StatusCase{"IndexMinusOne", 8, 0, {}, {1, -1, 0, 0}, 0, 0, ZelBadTransparentIndex},
        StatusCase{"IndexNotReadWithoutTransparency", 1, 0, {}, {0, 99, 0, 0}, 0, 0, ZelOk},
        StatusCase{"HeaderOneByteShort", 8, 0, {}, {}, -1, 0, ZelTruncatedBitmap},
        StatusCase{"HeaderWithoutTable", 1, 0, {}, {}, -8, 0, ZelTruncatedBitmap},
        StatusCase{"HeaderUnder40Bytes", 4, 0, {}, {}, -64 - 1, 0, ZelTruncatedBitmap},
        StatusCase{"PixelsOneByteShort", 1, 0, {}, {}, 0, -1, ZelTruncatedBitmap},
        StatusCase{"RowsOfAnotherHeight", 8, 8, Le32(12), {}, 0, 0, ZelTruncatedBitmap}),
    [](const testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

TEST(ReentrantApi, NullPointersAreUnsupported) {
  const Dib dib = MakeDib(RandomImage(4, 4, 8, 6));
  unsigned char* bytes = nullptr;
  size_t size = 0;
  const auto h = dib.header.data();
  const auto p = dib.pixels.data();
  const size_t hs = dib.header.size(), ps = dib.pixels.size();
  EXPECT_EQ(ZelEncodeGif(nullptr, hs, p, ps, nullptr, &bytes, &size), ZelUnsupportedBitmap);
  EXPECT_EQ(ZelEncodeGif(h, hs, nullptr, ps, nullptr, &bytes, &size), ZelUnsupportedBitmap);
  EXPECT_EQ(ZelEncodeGif(h, hs, p, ps, nullptr, nullptr, &size), ZelUnsupportedBitmap);
  EXPECT_EQ(ZelEncodeGif(h, hs, p, ps, nullptr, &bytes, nullptr), ZelUnsupportedBitmap);
  EXPECT_EQ(ZelWriteGifFile(nullptr, h, hs, p, ps, nullptr), ZelUnsupportedBitmap);
  EXPECT_EQ(ZelWriteGifFile("x.gif", nullptr, hs, p, ps, nullptr), ZelUnsupportedBitmap);
  EXPECT_FALSE(std::filesystem::exists("x.gif"));
}

TEST(ReentrantApi, EveryStatusHasItsOwnText) {
  std::set<std::string> texts;
  for (int status = ZelOk; status <= ZelTruncatedBitmap; ++status) {
    texts.insert(ZelStatusText(static_cast<ZelStatus>(status)));
  }
  texts.insert(ZelStatusText(static_cast<ZelStatus>(99)));
  EXPECT_EQ(texts.size(), 8u);
}

class OutputFailure : public testing::Test {
 protected:
  ZelStatus Write(const std::filesystem::path& path) {
    return ZelWriteGifFile(path.c_str(), dib_.header.data(), dib_.header.size(), dib_.pixels.data(),
                           dib_.pixels.size(), nullptr);
  }
  std::vector<std::string> FolderListing() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  const Dib dib_ = MakeDib(RandomImage(400, 300, 8, 7));
  TempFolder folder_;
};

TEST_F(OutputFailure, MissingFolderOrAFolderCannotBeOpened) {
  EXPECT_EQ(Write(folder_ / "missing" / "out.gif"), ZelCannotOpenOutput);
  EXPECT_EQ(Write(folder_.path()), ZelCannotOpenOutput);
  EXPECT_TRUE(FolderListing().empty());
}

TEST_F(OutputFailure, FullDeviceIsWrittenInPlaceAndFails) {
  std::filesystem::create_symlink("/dev/full", folder_ / "full.gif");
  EXPECT_EQ(Write(folder_ / "full.gif"), ZelWriteFailed);
  EXPECT_EQ(FolderListing(), std::vector<std::string>{"full.gif"});
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "full.gif"));
}

TEST_F(OutputFailure, FileSizeLimitLeavesTheOldFileAndNothingNew) {
  const std::vector<uint8_t> old(1000, 0x5A);
  WriteFileBytes(folder_ / "out.gif", old);
  const ProcessResult result = RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8192, 8192};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(Write(folder_ / "out.gif"));
  });
  EXPECT_EQ(result.exitStatus, ZelWriteFailed);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(ReadFileBytes(folder_ / "out.gif"), old);
  EXPECT_EQ(FolderListing(), std::vector<std::string>{"out.gif"});
}

TEST_F(OutputFailure, ReplacesAnExistingFileOnlyWhenComplete) {
  WriteFileBytes(folder_ / "out.gif", std::vector<uint8_t>(200000, 1));
  EXPECT_EQ(Write(folder_ / "out.gif"), ZelOk);
  EXPECT_EQ(ReadFileBytes(folder_ / "out.gif"), LegacyGif(dib_, {0, 0, 0, 0}));
  EXPECT_EQ(FolderListing(), std::vector<std::string>{"out.gif"});
}

TEST(ReentrantApi, ThreadsConvertingAtOnceGiveTheSerialResults) {
  constexpr int ThreadCount = 6;
  // Three inputs, each converted by two threads with their own options.
  const std::vector<Dib> dibs = {MakeDib(RandomImage(300, 200, 8, 60)),
                                 MakeDib(RandomImage(350, 120, 4, 61)),
                                 MakeDib(RandomImage(500, 90, 1, 62))};
  const auto optionsOf = [](int thread) { return ZelGifOptions{thread % 2, 1, thread % 3 == 0, 0}; };
  std::vector<std::vector<uint8_t>> serial;
  for (int i = 0; i < ThreadCount; ++i) serial.push_back(LegacyGif(dibs[i / 2], optionsOf(i)));

  TempFolder folder;
  std::vector<int> mismatches(ThreadCount, 0);
  std::vector<std::thread> threads;
  for (int i = 0; i < ThreadCount; ++i) {
    threads.emplace_back([&, i] {
      const Dib& dib = dibs[static_cast<size_t>(i / 2)];
      const ZelGifOptions options = optionsOf(i);
      const std::string path = (folder / ("t" + std::to_string(i) + ".gif")).string();
      for (int round = 0; round < 5; ++round) {
        unsigned char* bytes = nullptr;
        size_t size = 0;
        if (ZelEncodeGif(dib.header.data(), dib.header.size(), dib.pixels.data(), dib.pixels.size(),
                         &options, &bytes, &size) != ZelOk ||
            std::vector<uint8_t>(bytes, bytes + size) != serial[static_cast<size_t>(i)]) {
          ++mismatches[static_cast<size_t>(i)];
        }
        ZelFreeGif(bytes);
        if (ZelWriteGifFile(path.c_str(), dib.header.data(), dib.header.size(), dib.pixels.data(),
                            dib.pixels.size(), &options) != ZelOk) {
          ++mismatches[static_cast<size_t>(i)];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < ThreadCount; ++i) {
    EXPECT_EQ(mismatches[static_cast<size_t>(i)], 0) << "thread " << i;
    EXPECT_EQ(ReadFileBytes(folder / ("t" + std::to_string(i) + ".gif")), serial[static_cast<size_t>(i)]);
  }
}

}  // namespace
