// How the exports end the process when they cannot do their job: one line on
// standard output, exit status 1, and no file where none should be.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "bitmap_to_gif.h"
#include "test_support.h"

namespace {

const IndexedImage SmallImage = RandomImage(5, 4, 8, 21);

TEST(LibraryFailure, OutputInAMissingFolderCreatesNothing) {
  TempFolder folder;
  const std::string path = (folder / "missing" / "out.gif").string();
  const Dib dib = MakeDib(SmallImage);
  const ProcessResult result = RunInChild([&] {
    ConvertBitmapToGIF(path.c_str(), dib.header.data(), dib.pixels.data());
  });
  EXPECT_EQ(result.output, "error: could not open output file\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST(LibraryFailure, FullDeviceIsAWriteError) {
  TempFolder folder;
  const std::filesystem::path link = folder / "x.gif";
  std::filesystem::create_symlink("/dev/full", link);
  for (const IndexedImage& image : {SmallImage, RandomImage(600, 500, 8, 22)}) {
    const Dib dib = MakeDib(image);
    const ProcessResult result = RunInChild([&] {
      ConvertBitmapToGIFEx2(link.c_str(), dib.header.data(), dib.pixels.data(), 1, 2, 1);
    });
    EXPECT_EQ(result.output, "error writing output file\n");
    EXPECT_EQ(result.exitStatus, 1);
  }
}

TEST(LibraryFailure, OutputPathThatIsAFolder) {
  TempFolder folder;
  const Dib dib = MakeDib(SmallImage);
  const ProcessResult result = RunInChild([&] {
    ConvertBitmapToGIF(folder.path().c_str(), dib.header.data(), dib.pixels.data());
  });
  EXPECT_EQ(result.output, "error: could not open output file\n");
  EXPECT_EQ(result.exitStatus, 1);
}

struct UnsupportedCase {
  const char* name;
  size_t offset;  // of the header field to change
  std::vector<uint8_t> bytes;
};

void PrintTo(const UnsupportedCase& c, std::ostream* os) { *os << c.name; }

class UnsupportedDib : public testing::TestWithParam<UnsupportedCase> {};

TEST_P(UnsupportedDib, IsRefusedBeforeAnyFileIsCreated) {
  Dib dib = MakeDib(SmallImage);
  std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), dib.header.begin() + static_cast<long>(GetParam().offset));
  TempFolder folder;
  const std::string path = (folder / "out.gif").string();
  const ProcessResult result = RunInChild([&] {
    ConvertBitmapToGIFEx2(path.c_str(), dib.header.data(), dib.pixels.data(), 0, 0, 0);
  });
  EXPECT_EQ(result.output, "error: unsupported bitmap\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_FALSE(std::filesystem::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, UnsupportedDib,
    testing::Values(UnsupportedCase{"TwoBits", 14, {2, 0}},
                    UnsupportedCase{"TwentyFourBits", 14, {24, 0}},
                    UnsupportedCase{"ZeroBits", 14, {0, 0}},
                    UnsupportedCase{"WidthZero", 4, {0, 0, 0, 0}},
                    UnsupportedCase{"WidthNegative", 4, {0xFF, 0xFF, 0xFF, 0xFF}},
                    UnsupportedCase{"Width65536", 4, {0, 0, 1, 0}},
                    UnsupportedCase{"HeightZero", 8, {0, 0, 0, 0}},
                    UnsupportedCase{"TopDownHeight", 8, {0xFC, 0xFF, 0xFF, 0xFF}},
                    UnsupportedCase{"Height65536", 8, {0, 0, 1, 0}}),
    [](const testing::TestParamInfo<UnsupportedCase>& info) { return info.param.name; });

TEST(LibraryFailure, NullPointersAreRefused) {
  const Dib dib = MakeDib(SmallImage);
  TempFolder folder;
  const std::string path = (folder / "out.gif").string();
  const auto* header = dib.header.data();
  const auto* pixels = dib.pixels.data();
  for (const auto& call : std::vector<std::function<void()>>{
           [&] { ConvertBitmapToGIF(nullptr, header, pixels); },
           [&] { ConvertBitmapToGIFEx(path.c_str(), nullptr, pixels, 0, 0); },
           [&] { ConvertBitmapToGIFEx2(path.c_str(), header, nullptr, 0, 0, 0); }}) {
    const ProcessResult result = RunInChild(call);
    EXPECT_EQ(result.output, "error: unsupported bitmap\n");
    EXPECT_EQ(result.exitStatus, 1);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
