// ZELCONV run as a real process: command line, texts, exit status and the
// GIF file it leaves behind.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "bitmap_to_gif.h"
#include "messages.h"
#include "test_support.h"

namespace {

std::string Banner() { return BannerText; }
std::string Error(const char* text) {
  char line[256];
  std::snprintf(line, sizeof line, ErrorFrameText, text);
  return line;
}
std::string Warning() { return BadTransparentIndexText; }
std::string InvalidSwitch(char selector) {
  const std::string text = InvalidSwitchText;
  const size_t at = text.find("%c");
  return text.substr(0, at) + std::string(1, selector) + text.substr(at + 2);
}
std::string Progress(int width, int height, int colourCount, const std::string& gifPath) {
  char line[256];
  std::snprintf(line, sizeof line, BitmapSizeText, width, height, colourCount);
  return line + gifPath + (WritingToText + 2);  // the text after "%s"
}
std::string Finished() { return WritingFinishedText; }

const IndexedImage EightBit = RandomImage(21, 13, 8, 31);
const IndexedImage FourBit = RandomImage(9, 7, 4, 32);
const IndexedImage OneBit = RandomImage(33, 5, 1, 33);
const IndexedImage Large = RandomImage(1201, 803, 8, 34);

// The GIF that the library writes for this image and these options.
std::vector<uint8_t> LibraryGif(const IndexedImage& image, int transparency, int index,
                                int interlaced) {
  TempFolder folder;
  const Dib dib = MakeDib(image);
  const std::string path = (folder / "expected.gif").string();
  ConvertBitmapToGIFEx2(path.c_str(), dib.header.data(), dib.pixels.data(), transparency, index,
                        interlaced);
  return ReadFileBytes(path);
}

class Converter : public testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& arguments) {
    return RunConverter(arguments, folder_.path());
  }
  void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories((folder_ / name).parent_path());
    WriteFileBytes(folder_ / name, bytes);
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }
  std::vector<uint8_t> Read(const std::string& name) const { return ReadFileBytes(folder_ / name); }

  TempFolder folder_;
};

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string expectedOutput;
  int expectedStatus;
  std::string windowsOutput = "";  // when the Windows build prints something else
  bool bytesReachWindows = true;   // Wine passes only UTF-8 arguments on unchanged
};
void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

class CommandLine : public Converter, public testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLine, PrintsAndEndsAsExpected) {
  const CommandLineCase& c = GetParam();
  if (IsWindowsProgram() && !c.bytesReachWindows) GTEST_SKIP() << "argument bytes change on the way to Wine";
  const ProcessResult result = Run(c.arguments);
  const bool windowsText = IsWindowsProgram() && !c.windowsOutput.empty();
  EXPECT_EQ(result.output, windowsText ? c.windowsOutput : c.expectedOutput);
  EXPECT_EQ(result.exitStatus, GetParam().expectedStatus);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    testing::Values(
        CommandLineCase{"NoArguments", {}, Banner() + UsageText, 0},
        CommandLineCase{"HelpAlone", {"-?"}, Banner() + UsageText, 0},
        CommandLineCase{"HelpAfterPaths", {"a.bmp", "b.gif", "-?"}, Banner() + UsageText, 0},
        CommandLineCase{"HelpWithTrailingBytes", {"-?x"}, Banner() + UsageText, 0},
        CommandLineCase{"HelpBeforeAnError", {"-?", "-x"}, Banner() + UsageText, 0},
        CommandLineCase{"ThirdPathBeforeHelp", {"a", "b", "c", "-?"}, Banner() + Error(BadCommandLineText), 1},
        CommandLineCase{"UnknownSwitch", {"-x", "a.bmp"}, Banner() + InvalidSwitch('x'), 1},
        CommandLineCase{"LoneDashPrintsNul", {"-"}, Banner() + InvalidSwitch('\0'), 1},
        CommandLineCase{"NonAsciiSwitch", {"-\xE9"}, Banner() + InvalidSwitch('\xE9'), 1, "", false},
        CommandLineCase{"OnlySwitches", {"-I", "-T:3"}, Banner() + Error(NoBitmapGivenText), 1},
        CommandLineCase{"OnlyEmptyPaths", {"", ""}, Banner() + Error(NoBitmapGivenText), 1},
        CommandLineCase{"MissingBitmap", {"missing.bmp"}, Banner() + Error(CannotOpenFileText), 1},
        CommandLineCase{"SlashIsNoSwitch", {"/I"}, Banner() + Error(CannotOpenFileText), 1},
        CommandLineCase{"UnreadableIndexWarnsWhileParsing", {"-T:abc", "missing.bmp"},
                        Banner() + Warning() + Error(CannotOpenFileText), 1},
        CommandLineCase{"EmptyIndexWarnsWhileParsing", {"missing.bmp", "-T:"},
                        Banner() + Warning() + Error(CannotOpenFileText), 1},
        CommandLineCase{"SignWithoutDigits", {"-T:+", "missing.bmp"},
                        Banner() + Warning() + Error(CannotOpenFileText), 1},
        CommandLineCase{"TAloneDoesNotWarn", {"-T", "-Tx", "missing.bmp"},
                        Banner() + Error(CannotOpenFileText), 1},
        CommandLineCase{"HugeIndexDoesNotWarnWhileParsing", {"-T:99999999999999999999", "missing.bmp"},
                        Banner() + Error(CannotOpenFileText), 1},
        // Linux opens a folder and reads nothing from it; Windows cannot open it.
        CommandLineCase{"InputIsAFolder", {"."}, Banner() + Error(NotABitmapText), 1,
                        Banner() + Error(CannotOpenFileText)}),
    [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

TEST(Messages, ErrorFrameWrapsEachFatalText) {
  // The fatal texts carry no line break of their own.
  for (const char* text : {NoBitmapGivenText, BadCommandLineText, CannotOpenFileText, NotABitmapText,
                           FileDamagedText, CompressedNotSupportedText, UnsupportedDepthText,
                           TooLargeForGifText, OutOfMemoryText}) {
    EXPECT_EQ(std::string(text).find('\n'), std::string::npos) << text;
  }
}

// 3 x 101 bytes of folders: a path longer than 259 bytes.
const std::string LongFolder = std::string(100, 'a') + "/" + std::string(100, 'b') + "/" +
                               std::string(100, 'c') + "/";

struct PathCase {
  const char* name;
  std::vector<std::string> arguments;  // "in.bmp" is created before the run
  std::string bitmapName;
  std::string expectedGifPath;
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class GifPath : public Converter, public testing::WithParamInterface<PathCase> {};

TEST_P(GifPath, IsDerivedOrCompleted) {
  const PathCase& c = GetParam();
  Put(c.bitmapName, MakeBmpFile(OneBit));
  const ProcessResult result = Run(c.arguments);
  EXPECT_EQ(result.output, Banner() + Progress(33, 5, 2, c.expectedGifPath) + Finished());
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(Read(c.expectedGifPath), LibraryGif(OneBit, 0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, GifPath,
    testing::Values(
        PathCase{"UpperCaseExtensionReplaced", {"PICTURE.BMP"}, "PICTURE.BMP", "PICTURE.GIF"},
        PathCase{"LowerCaseExtensionReplaced", {"logo.bmp"}, "logo.bmp", "logo.GIF"},
        PathCase{"LastFourBytesReplaced", {"image"}, "image", "i.GIF"},
        PathCase{"LongExtension", {"pic.jpeg"}, "pic.jpeg", "pic..GIF"},
        PathCase{"ShortNameGetsExtensionAppended", {"ab"}, "ab", "ab.GIF"},
        PathCase{"GivenWithoutExtension", {"a.bmp", "b"}, "a.bmp", "b.GIF"},
        PathCase{"GivenLowerGif", {"a.bmp", "b.gif"}, "a.bmp", "b.gif"},
        PathCase{"GivenUpperGif", {"a.bmp", "b.GIF"}, "a.bmp", "b.GIF"},
        PathCase{"GivenMixedCaseGif", {"a.bmp", "out.Gif"}, "a.bmp", "out.Gif.GIF"},
        PathCase{"GivenOtherExtension", {"a.bmp", "out.bmp"}, "a.bmp", "out.bmp.GIF"},
        PathCase{"GivenOnlyExtension", {"a.bmp", ".gif"}, "a.bmp", ".gif.GIF"},
        PathCase{"EmptyArgumentsSkipped", {"", "a.bmp", "", "b.gif"}, "a.bmp", "b.gif"},
        PathCase{"LongerThan259Bytes", {LongFolder + "pic.bmp"}, LongFolder + "pic.bmp",
                 LongFolder + "pic.GIF"}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

struct OptionCase {
  const char* name;
  const IndexedImage* image;
  std::vector<std::string> switches;
  bool warns;          // at the range test, after the writing line
  int transparency, transparentIndex, interlaced;  // what reaches the library
};
void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }

class Options : public Converter, public testing::WithParamInterface<OptionCase> {};

TEST_P(Options, ReachTheLibrary) {
  const OptionCase& c = GetParam();
  Put("in.bmp", MakeBmpFile(*c.image));
  std::vector<std::string> arguments = c.switches;
  arguments.insert(arguments.end(), {"in.bmp", "out.gif"});
  const ProcessResult result = Run(arguments);
  const std::string progress = Progress(c.image->width, c.image->height, 1 << c.image->bitsPerPixel, "out.gif");
  EXPECT_EQ(result.output, Banner() + progress + (c.warns ? Warning() : "") + Finished());
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(Read("out.gif"), LibraryGif(*c.image, c.transparency, c.transparentIndex, c.interlaced));
}

INSTANTIATE_TEST_SUITE_P(
    Switches, Options,
    testing::Values(
        OptionCase{"None", &EightBit, {}, false, 0, 0, 0},
        OptionCase{"Interlace", &EightBit, {"-I"}, false, 0, 0, 1},
        OptionCase{"InterlaceLowerCaseLong", &FourBit, {"-interlaced"}, false, 0, 0, 1},
        OptionCase{"TransparentAlone", &EightBit, {"-T"}, false, 1, 0, 0},
        OptionCase{"TransparentSeven", &EightBit, {"-T:7"}, false, 1, 7, 0},
        OptionCase{"TrailingBytesIgnored", &EightBit, {"-t:12abc"}, false, 1, 12, 0},
        OptionCase{"BlankAfterColon", &EightBit, {"-T: 7"}, false, 1, 7, 0},
        OptionCase{"PlusSign", &EightBit, {"-T:+9"}, false, 1, 9, 0},
        OptionCase{"LaterTReplacesIndex", &EightBit, {"-T:5", "-T"}, false, 1, 0, 0},
        OptionCase{"LaterIndexReplacesT", &EightBit, {"-T", "-T:9"}, false, 1, 9, 0},
        OptionCase{"LastEightBitIndex", &EightBit, {"-T:255"}, false, 1, 255, 0},
        OptionCase{"IndexEqualToColourCount256", &EightBit, {"-T:256"}, true, 1, 0, 0},
        OptionCase{"Index300", &EightBit, {"-T:300"}, true, 1, 0, 0},
        OptionCase{"NegativeIndex", &EightBit, {"-T:-1"}, true, 1, 0, 0},
        OptionCase{"IndexBeyond32Bits", &EightBit, {"-T:4294967296"}, true, 1, 0, 0},
        OptionCase{"IndexBelow32Bits", &EightBit, {"-T:-2147483649"}, true, 1, 0, 0},
        OptionCase{"OneBitIndexOne", &OneBit, {"-T:1", "-I"}, false, 1, 1, 1},
        OptionCase{"OneBitIndexTwo", &OneBit, {"-T:2"}, true, 1, 0, 0},
        OptionCase{"FourBitIndex15", &FourBit, {"-T:15"}, false, 1, 15, 0},
        OptionCase{"FourBitIndex16", &FourBit, {"-T:16"}, true, 1, 0, 0},
        OptionCase{"FourBitIndex17", &FourBit, {"-T:17"}, true, 1, 0, 0}),
    [](const testing::TestParamInfo<OptionCase>& info) { return info.param.name; });

// A BMP file of the 8-bit test image with some header bytes replaced.
std::vector<uint8_t> Patched(std::vector<uint8_t> file, size_t offset, std::vector<uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(offset));
  return file;
}

std::vector<uint8_t> Int32Bytes(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

struct BadFileCase {
  const char* name;
  std::vector<uint8_t> file;
  std::string expectedOutput;  // after the banner
};
void PrintTo(const BadFileCase& c, std::ostream* os) { *os << c.name; }

class BadFile : public Converter, public testing::WithParamInterface<BadFileCase> {};

TEST_P(BadFile, EndsWithTheFirstFailingTest) {
  Put("in.bmp", GetParam().file);
  const ProcessResult result = Run({"in.bmp"});
  EXPECT_EQ(result.output, Banner() + GetParam().expectedOutput);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_FALSE(Exists("in.GIF"));
}

const std::vector<uint8_t> GoodFile = MakeBmpFile(EightBit);

INSTANTIATE_TEST_SUITE_P(
    Headers, BadFile,
    testing::Values(
        BadFileCase{"Empty", {}, Error(NotABitmapText)},
        BadFileCase{"OneByte", {'B'}, Error(NotABitmapText)},
        BadFileCase{"WrongSignature", Patched(GoodFile, 0, {'M', 'B'}), Error(NotABitmapText)},
        BadFileCase{"SignatureOnly", {'B', 'M'}, Error(FileDamagedText)},
        BadFileCase{"HeadersCutShort", std::vector<uint8_t>(GoodFile.begin(), GoodFile.begin() + 53),
                    Error(FileDamagedText)},
        BadFileCase{"CoreHeader12", Patched(GoodFile, 14, Int32Bytes(12)), Error(FileDamagedText)},
        BadFileCase{"Os2Header64", Patched(GoodFile, 14, Int32Bytes(64)), Error(FileDamagedText)},
        BadFileCase{"Header56", Patched(GoodFile, 14, Int32Bytes(56)), Error(FileDamagedText)},
        BadFileCase{"RunLength8", Patched(GoodFile, 30, Int32Bytes(1)), Error(CompressedNotSupportedText)},
        BadFileCase{"CompressedBeatsBitCount",
                    Patched(Patched(GoodFile, 30, Int32Bytes(4)), 28, {24, 0}),
                    Error(CompressedNotSupportedText)},
        BadFileCase{"TwentyFourBits", Patched(GoodFile, 28, {24, 0}), Error(UnsupportedDepthText)},
        BadFileCase{"TwoBits", Patched(GoodFile, 28, {2, 0}), Error(UnsupportedDepthText)},
        BadFileCase{"BitCountBeatsWidth", Patched(Patched(GoodFile, 28, {16, 0}), 18, Int32Bytes(0)),
                    Error(UnsupportedDepthText)},
        BadFileCase{"WidthZero", Patched(GoodFile, 18, Int32Bytes(0)), Error(FileDamagedText)},
        BadFileCase{"WidthNegative", Patched(GoodFile, 18, Int32Bytes(-5)), Error(FileDamagedText)},
        BadFileCase{"HeightZero", Patched(GoodFile, 22, Int32Bytes(0)), Error(FileDamagedText)},
        BadFileCase{"Width65536", Patched(GoodFile, 18, Int32Bytes(65536)), Error(TooLargeForGifText)},
        BadFileCase{"Height65536", Patched(GoodFile, 22, Int32Bytes(65536)), Error(TooLargeForGifText)},
        BadFileCase{"TopDown65536", Patched(GoodFile, 22, Int32Bytes(-65536)), Error(TooLargeForGifText)},
        BadFileCase{"HeightMinimum", Patched(GoodFile, 22, Int32Bytes(INT32_MIN)), Error(TooLargeForGifText)},
        BadFileCase{"DamagedBeatsTooLarge",
                    Patched(Patched(GoodFile, 18, Int32Bytes(-1)), 22, Int32Bytes(70000)),
                    Error(FileDamagedText)}),
    [](const testing::TestParamInfo<BadFileCase>& info) { return info.param.name; });

TEST_F(Converter, OneBitFileByteForByte) {
  // 2 x 2, black and white, rows stored bottom first: top row 0 1, bottom 1 0.
  Put("bw.bmp", HexBytes("42 4D 46 00 00 00 00 00 00 00 3E 00 00 00"
                         " 28 00 00 00 02 00 00 00 02 00 00 00 01 00 01 00 00 00 00 00"
                         " 08 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                         " 00 00 00 00 FF FF FF 00"
                         " 80 00 00 00 40 00 00 00"));
  const ProcessResult result = Run({"bw.bmp"});
  EXPECT_EQ(result.exitStatus, 0);
  // Scan order 0 1 1 0: codes 4 0 1 1 at 3 bits, then 0 and 5 at 4 bits.
  EXPECT_EQ(Read("bw.GIF"), HexBytes("47 49 46 38 37 61 02 00 02 00 80 00 00"
                                     " 00 00 00 FF FF FF"
                                     " 2C 00 00 00 00 02 00 02 00 00 02"
                                     " 03 44 02 05 00 3B"));
}

TEST_F(Converter, FourBitTransparentInterlacedWithShortTable) {
  // 4 x 2, biClrUsed 2: entries 2 to 15 stay black.
  Put("p.bmp", HexBytes("42 4D 4E 00 00 00 00 00 00 00 3E 00 00 00"
                        " 28 00 00 00 04 00 00 00 02 00 00 00 01 00 04 00 00 00 00 00"
                        " 08 00 00 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00"
                        " 10 20 30 00 40 50 60 00"
                        " 01 01 00 00 10 10 00 00"));
  const ProcessResult result = Run({"-T:1", "-I", "p.bmp", "q"});
  EXPECT_EQ(result.output, Banner() + Progress(4, 2, 16, "q.GIF") + Finished());
  std::vector<uint8_t> expected = HexBytes("47 49 46 38 37 61 04 00 02 00 B3 01 00 33 22 11 66 55 44");
  expected.resize(expected.size() + 14 * 3, 0);
  const std::vector<uint8_t> tail = HexBytes("21 F9 04 01 00 00 01 00"
                                             " 2C 00 00 00 00 04 00 02 00 40 04");
  expected.insert(expected.end(), tail.begin(), tail.end());
  const std::vector<uint8_t> file = Read("q.GIF");
  ASSERT_GT(file.size(), expected.size());
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(expected.size())), expected);
  const DecodedGif gif = DecodeGif(folder_ / "q.GIF");
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.indices, (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1}));
}

struct LayoutCase {
  const char* name;
  const IndexedImage* image;
  BmpOptions options;
};
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class FileLayout : public Converter, public testing::WithParamInterface<LayoutCase> {};

TEST_P(FileLayout, ConvertsToTheSameGif) {
  const LayoutCase& c = GetParam();
  Put("in.bmp", MakeBmpFile(*c.image, c.options));
  const ProcessResult result = Run({"in.bmp", "out.gif"});
  const int storedHeight = c.options.topDown ? -c.image->height : c.image->height;
  EXPECT_EQ(result.output, Banner() + Progress(c.image->width, storedHeight,
                                               1 << c.image->bitsPerPixel, "out.gif") + Finished());
  EXPECT_EQ(result.exitStatus, 0);
  const DecodedGif gif = DecodeGif(folder_ / "out.gif");
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.indices, c.image->indices);
  EXPECT_EQ(gif.palette, c.image->palette);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, FileLayout,
    testing::Values(LayoutCase{"Plain8", &EightBit, {}},
                    LayoutCase{"Plain4", &FourBit, {}},
                    LayoutCase{"Plain1", &OneBit, {}},
                    LayoutCase{"InfoHeader108", &EightBit, {108}},
                    LayoutCase{"InfoHeader124", &FourBit, {124}},
                    LayoutCase{"TopDown", &EightBit, {40, 0, 0, true}},
                    LayoutCase{"TopDownOneBit", &OneBit, {124, 0, 0, true}},
                    LayoutCase{"FullTableCountedInClrUsed", &FourBit, {40, 0, 16}},
                    LayoutCase{"Large", &Large, {}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST_F(Converter, ShortColourTableLeavesTheRestBlack) {
  IndexedImage image = RandomImage(12, 10, 8, 35);
  for (auto& index : image.indices) index %= 16;
  Put("in.bmp", MakeBmpFile(image, {40, 0, 16}));
  EXPECT_EQ(Run({"in.bmp"}).output, Banner() + Progress(12, 10, 256, "in.GIF") + Finished());
  const DecodedGif gif = DecodeGif(folder_ / "in.GIF");
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.indices, image.indices);
  for (size_t i = 0; i < 256; ++i) {
    const Rgb expected = i < 16 ? image.palette[i] : Rgb{0, 0, 0};
    EXPECT_EQ(gif.palette[i], expected) << i;
  }
}

TEST_F(Converter, OversizedColourTableUsesItsFirstEntries) {
  // biClrUsed 300 on an 8-bit file: 256 entries used, rows after all 300.
  const IndexedImage image = RandomImage(7, 6, 8, 36);
  std::vector<uint8_t> file = MakeBmpFile(image, {40, 0, 300});
  Put("in.bmp", file);
  EXPECT_EQ(Run({"in.bmp"}).exitStatus, 0);
  EXPECT_EQ(Read("in.GIF"), LibraryGif(image, 0, 0, 0));
  // A count far beyond the file leaves every pixel 0 and the table intact.
  Put("huge.bmp", Patched(file, 46, Int32Bytes(-1)));
  EXPECT_EQ(Run({"huge.bmp"}).exitStatus, 0);
  IndexedImage blank = image;
  std::fill(blank.indices.begin(), blank.indices.end(), 0);
  EXPECT_EQ(Read("huge.GIF"), LibraryGif(blank, 0, 0, 0));
}

struct PixelOffsetCase {
  const char* name;
  int32_t bfOffBits;                 // -1: as MakeBmpFile writes it
  uint32_t gapAfterTable;
  std::vector<uint8_t> expectedIndices;
};
void PrintTo(const PixelOffsetCase& c, std::ostream* os) { *os << c.name; }

class PixelOffset : public Converter, public testing::WithParamInterface<PixelOffsetCase> {};

// Rows start at bfOffBits unless it points into the headers or the colour
// table; then they follow the stored table.
TEST_P(PixelOffset, DecidesWhereTheRowsStart) {
  const PixelOffsetCase& c = GetParam();
  IndexedImage image{4, 2, 8, {1, 2, 3, 4, 5, 6, 7, 8}, {}};
  image.palette.resize(256);
  std::vector<uint8_t> file = MakeBmpFile(image, {40, 0, 0, false, c.gapAfterTable});
  std::fill(file.begin() + 54 + 1024, file.begin() + 54 + 1024 + c.gapAfterTable, 9);
  if (c.bfOffBits >= 0) file = Patched(file, 10, Int32Bytes(c.bfOffBits));
  Put("in.bmp", file);
  EXPECT_EQ(Run({"in.bmp"}).exitStatus, 0);
  IndexedImage expected = image;
  expected.indices = c.expectedIndices;
  EXPECT_EQ(Read("in.GIF"), LibraryGif(expected, 0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, PixelOffset,
    testing::Values(
        PixelOffsetCase{"RightAfterTheTable", -1, 0, {1, 2, 3, 4, 5, 6, 7, 8}},
        PixelOffsetCase{"GapIsSkipped", -1, 4, {1, 2, 3, 4, 5, 6, 7, 8}},
        PixelOffsetCase{"LongGapIsSkipped", -1, 5000, {1, 2, 3, 4, 5, 6, 7, 8}},
        // Four gap bytes (9) read as the bottom row; the real bottom row moves up.
        PixelOffsetCase{"IntoTheTableFollowsTheTable", 54 + 100, 4, {5, 6, 7, 8, 9, 9, 9, 9}},
        PixelOffsetCase{"ZeroFollowsTheTable", 0, 4, {5, 6, 7, 8, 9, 9, 9, 9}},
        // Past the end of the file: every row is missing and reads as index 0.
        PixelOffsetCase{"PastTheEndLeavesIndexZero", 100000, 4, {0, 0, 0, 0, 0, 0, 0, 0}}),
    [](const testing::TestParamInfo<PixelOffsetCase>& info) { return info.param.name; });

TEST_F(Converter, TruncatedPixelRowsBecomeIndexZero) {
  const IndexedImage image = RandomImage(8, 4, 8, 37);
  std::vector<uint8_t> file = MakeBmpFile(image);
  file.resize(file.size() - 8 * 3);  // only the bottom row remains
  Put("in.bmp", file);
  EXPECT_EQ(Run({"in.bmp"}).output, Banner() + Progress(8, 4, 256, "in.GIF") + Finished());
  IndexedImage expected = image;
  std::fill(expected.indices.begin(), expected.indices.begin() + 24, 0);
  EXPECT_EQ(Read("in.GIF"), LibraryGif(expected, 0, 0, 0));
}

TEST_F(Converter, PlanesAndUnreadFieldsAreIgnored) {
  std::vector<uint8_t> file = MakeBmpFile(FourBit);
  file = Patched(file, 2, Int32Bytes(12345));    // bfSize
  file = Patched(file, 26, {7, 0});              // biPlanes
  file = Patched(file, 34, Int32Bytes(-1));      // biSizeImage
  file = Patched(file, 38, Int32Bytes(99));      // resolution
  file = Patched(file, 50, Int32Bytes(3));       // biClrImportant
  Put("in.bmp", file);
  EXPECT_EQ(Run({"in.bmp"}).exitStatus, 0);
  EXPECT_EQ(Read("in.GIF"), LibraryGif(FourBit, 0, 0, 0));
}

TEST_F(Converter, LibraryFailureEndsTheRunWithoutTheFinishLine) {
  Put("in.bmp", MakeBmpFile(OneBit));
  const ProcessResult result = Run({"in.bmp", "no/such/folder/out.gif"});
  EXPECT_EQ(result.output, Banner() + Progress(33, 5, 2, "no/such/folder/out.gif") +
                               "error: could not open output file\n");
  EXPECT_EQ(result.exitStatus, 1);
  std::filesystem::create_symlink("/dev/full", folder_ / "full.gif");
  const ProcessResult full = Run({"in.bmp", "full.gif"});
  EXPECT_EQ(full.output, Banner() + Progress(33, 5, 2, "full.gif") + "error writing output file\n");
  EXPECT_EQ(full.exitStatus, 1);
}

TEST_F(Converter, ExistingOutputIsReplaced) {
  Put("in.bmp", MakeBmpFile(OneBit));
  Put("in.GIF", std::vector<uint8_t>(50000, 0x55));
  EXPECT_EQ(Run({"in.bmp"}).exitStatus, 0);
  EXPECT_EQ(Read("in.GIF"), LibraryGif(OneBit, 0, 0, 0));
}

}  // namespace
