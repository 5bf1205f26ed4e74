// ZELCONV against hostile surroundings and damaged files: every run ends in a
// defined outcome, and only the output path is ever written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "bitmap_to_gif.h"
#include "messages.h"
#include "test_support.h"

namespace {

std::string ErrorLine(const char* text) {
  char line[256];
  std::snprintf(line, sizeof line, ErrorFrameText, text);
  return line;
}

// An 8-bit BMP whose header claims 65535 x 65535 pixels but holds one.
std::vector<uint8_t> HugeHeaderFile() {
  IndexedImage image{1, 1, 8, {0}, {}};
  image.palette.resize(256);
  std::vector<uint8_t> file = MakeBmpFile(image);
  for (size_t at : {size_t{18}, size_t{22}}) {  // biWidth, biHeight
    file[at] = 0xFF;
    file[at + 1] = 0xFF;
  }
  return file;
}

class Faults : public testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& arguments) {
    return RunConverter(arguments, folder_.path());
  }
  TempFolder folder_;
};

TEST_F(Faults, OutputPathThatIsAFolder) {
  WriteFileBytes(folder_ / "in.bmp", MakeBmpFile(RandomImage(5, 5, 8, 41)));
  std::filesystem::create_directory(folder_ / "out.gif");
  const ProcessResult result = Run({"in.bmp", "out.gif"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.output.find("error: could not open output file\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(folder_ / "out.gif"));
}

TEST_F(Faults, EmptyDeviceAsInput) {
  const ProcessResult result = Run({"/dev/null", "out.gif"});
  EXPECT_EQ(result.output, BannerText + ErrorLine(NotABitmapText));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "out.gif"));
}

TEST_F(Faults, PipeAsInputIsReadInSequence) {
  const IndexedImage image = RandomImage(31, 17, 4, 42);
  const std::vector<uint8_t> file = MakeBmpFile(image, {124, 0, 3});
  const std::filesystem::path fifo = folder_ / "pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { WriteFileBytes(fifo, file); });
  const ProcessResult result = Run({"pipe.bmp", "out.gif"});
  writer.join();
  EXPECT_EQ(result.exitStatus, 0) << result.output;
  const DecodedGif gif = DecodeGif(folder_ / "out.gif");
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.indices, image.indices);
}

TEST_F(Faults, EveryPrefixOfAFileEndsInADefinedOutcome) {
  const IndexedImage image = RandomImage(7, 6, 4, 43);
  const std::vector<uint8_t> file = MakeBmpFile(image);
  for (size_t length = 0; length <= file.size(); ++length) {
    SCOPED_TRACE(length);
    WriteFileBytes(folder_ / "cut.bmp", std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(length)));
    std::filesystem::remove(folder_ / "cut.GIF");
    const ProcessResult result = Run({"cut.bmp"});
    if (length < 54) {
      EXPECT_EQ(result.output, BannerText + ErrorLine(length < 2 ? NotABitmapText : FileDamagedText));
      EXPECT_EQ(result.exitStatus, 1);
      EXPECT_FALSE(std::filesystem::exists(folder_ / "cut.GIF"));
      continue;
    }
    EXPECT_EQ(result.exitStatus, 0);
    const DecodedGif gif = DecodeGif(folder_ / "cut.GIF");
    ASSERT_TRUE(gif.ok) << gif.error;
    EXPECT_EQ(gif.width, 7);
    EXPECT_EQ(gif.height, 6);
    if (length == file.size()) {
      EXPECT_EQ(gif.indices, image.indices);
    }
  }
}

TEST_F(Faults, HugeHeaderOnATinyFileConvertsWithoutTouchingTheMemory) {
  // 65535 x 65535 pixels claimed, 1 KiB stored: a 4 GiB block that is never
  // written, so it costs no memory; every pixel is index 0.
  std::vector<uint8_t> file = HugeHeaderFile();
  file.resize(1024, 0);
  WriteFileBytes(folder_ / "huge.bmp", file);
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult result = Run({"huge.bmp"});
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(result.exitStatus, 0) << result.output;
  std::printf("65535 x 65535 from 1 KiB: %.1f s\n", seconds);
  const std::vector<uint8_t> gif = ReadFileBytes(folder_ / "huge.GIF");
  ASSERT_GT(gif.size(), 800u);
  EXPECT_EQ(std::vector<uint8_t>(gif.begin() + 6, gif.begin() + 10), HexBytes("FF FF FF FF"));
  EXPECT_EQ(gif.back(), 0x3B);
}

TEST_F(Faults, BlockThatCannotBeAllocated) {
#ifdef ZELLIB_SANITIZED
  GTEST_SKIP() << "the sanitizers need more address space than this test allows";
#endif
  // 65535 x 65535 pixels need a 4 GiB block; the process may have 256 MiB.
  const std::vector<uint8_t> file = HugeHeaderFile();
  WriteFileBytes(folder_ / "huge.bmp", file);
  const ProcessResult result =
      RunCommand({"prlimit", "--as=268435456", ZELCONV_PATH, "huge.bmp"}, folder_.path());
  char sizeLine[256];
  std::snprintf(sizeLine, sizeof sizeLine, BitmapSizeText, 65535, 65535, 256);
  EXPECT_EQ(result.output, BannerText + std::string(sizeLine) + "huge.GIF" + (WritingToText + 2) +
                               ErrorLine(OutOfMemoryText));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "huge.GIF"));
}

TEST_F(Faults, TwoRunsWriteTheSameBytes) {
  WriteFileBytes(folder_ / "in.bmp", MakeBmpFile(RandomImage(301, 203, 8, 44)));
  ASSERT_EQ(Run({"-I", "-T:9", "in.bmp", "a.gif"}).exitStatus, 0);
  ASSERT_EQ(Run({"-I", "-T:9", "in.bmp", "b.gif"}).exitStatus, 0);
  EXPECT_EQ(ReadFileBytes(folder_ / "a.gif"), ReadFileBytes(folder_ / "b.gif"));
}

}  // namespace
