// Every file of a public BMP test suite made by others: ZELCONV either writes
// a GIF that shows the picture Pillow reads from the bitmap, or prints the
// expected error and ends with status 1. Nothing else is left in the folder.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "messages.h"
#include "test_support.h"

namespace {

const std::filesystem::path CorpusFolder = BMPSUITE_DIR;
constexpr size_t CorpusFileCount = 90;
constexpr char SystemPython[] = "/usr/bin/python3";  // Debian's Pillow lives there

// Files that convert but that Pillow refuses; the test's own reader gives
// their expected picture.
const std::set<std::string> PillowRefuses = {"b/badpalettesize.bmp", "b/shortfile.bmp",
                                             "q/pal8oversizepal.bmp"};

// Files that end in an error, by the text it carries; all others convert.
const std::map<std::string, const char*> ExpectedErrors = {
    {"b/badbitcount.bmp", UnsupportedDepthText},     {"b/badheadersize.bmp", FileDamagedText},
    {"b/badrle.bmp", CompressedNotSupportedText},    {"b/badrle4.bmp", CompressedNotSupportedText},
    {"b/badrle4bis.bmp", CompressedNotSupportedText}, {"b/badrle4ter.bmp", CompressedNotSupportedText},
    {"b/badrlebis.bmp", CompressedNotSupportedText}, {"b/badrleter.bmp", CompressedNotSupportedText},
    {"b/badwidth.bmp", FileDamagedText},             {"b/reallybig.bmp", UnsupportedDepthText},
    {"b/rgb16-880.bmp", CompressedNotSupportedText}, {"b/rletopdown.bmp", CompressedNotSupportedText},
    {"g/pal4rle.bmp", CompressedNotSupportedText},   {"g/pal8os2.bmp", FileDamagedText},
    {"g/pal8rle.bmp", CompressedNotSupportedText},   {"g/rgb16-565.bmp", CompressedNotSupportedText},
    {"g/rgb16-565pal.bmp", CompressedNotSupportedText}, {"g/rgb16.bmp", UnsupportedDepthText},
    {"g/rgb16bfdef.bmp", CompressedNotSupportedText}, {"g/rgb24.bmp", UnsupportedDepthText},
    {"g/rgb24pal.bmp", UnsupportedDepthText},        {"g/rgb32.bmp", UnsupportedDepthText},
    {"g/rgb32bf.bmp", CompressedNotSupportedText},   {"g/rgb32bfdef.bmp", CompressedNotSupportedText},
    {"q/pal1huffmsb.bmp", FileDamagedText},          {"q/pal2.bmp", UnsupportedDepthText},
    {"q/pal2color.bmp", UnsupportedDepthText},       {"q/pal4rlecut.bmp", CompressedNotSupportedText},
    {"q/pal4rletrns.bmp", CompressedNotSupportedText}, {"q/pal8os2-hs.bmp", FileDamagedText},
    {"q/pal8os2-sz.bmp", FileDamagedText},           {"q/pal8os2sp.bmp", FileDamagedText},
    {"q/pal8os2v2-16.bmp", FileDamagedText},         {"q/pal8os2v2-sz.bmp", FileDamagedText},
    {"q/pal8os2v2.bmp", FileDamagedText},            {"q/pal8rlecut.bmp", CompressedNotSupportedText},
    {"q/pal8rletrns.bmp", CompressedNotSupportedText}, {"q/rgb16-231.bmp", CompressedNotSupportedText},
    {"q/rgb16-3103.bmp", CompressedNotSupportedText}, {"q/rgb16faketrns.bmp", UnsupportedDepthText},
    {"q/rgb24jpeg.bmp", CompressedNotSupportedText}, {"q/rgb24largepal.bmp", UnsupportedDepthText},
    {"q/rgb24lprof.bmp", UnsupportedDepthText},      {"q/rgb24png.bmp", CompressedNotSupportedText},
    {"q/rgb24prof.bmp", UnsupportedDepthText},       {"q/rgb24prof2.bmp", UnsupportedDepthText},
    {"q/rgb24rle24.bmp", FileDamagedText},           {"q/rgb32-111110.bmp", CompressedNotSupportedText},
    {"q/rgb32-7187.bmp", CompressedNotSupportedText}, {"q/rgb32-xbgr.bmp", CompressedNotSupportedText},
    {"q/rgb32fakealpha.bmp", UnsupportedDepthText},  {"q/rgb32h52.bmp", FileDamagedText},
    {"q/rgba16-1924.bmp", CompressedNotSupportedText}, {"q/rgba16-4444.bmp", CompressedNotSupportedText},
    {"q/rgba16-5551.bmp", CompressedNotSupportedText}, {"q/rgba32-1.bmp", CompressedNotSupportedText},
    {"q/rgba32-1010102.bmp", CompressedNotSupportedText}, {"q/rgba32-2.bmp", CompressedNotSupportedText},
    {"q/rgba32-61754.bmp", CompressedNotSupportedText}, {"q/rgba32-81284.bmp", CompressedNotSupportedText},
    {"q/rgba32abf.bmp", CompressedNotSupportedText}, {"q/rgba32h56.bmp", FileDamagedText},
    {"q/rgba64.bmp", UnsupportedDepthText},
};

uint32_t Uint32At(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | (at + i < bytes.size() ? bytes[at + i] : 0);
  return value;
}

uint8_t ByteAt(const std::vector<uint8_t>& bytes, uint64_t at) {
  return at < bytes.size() ? bytes[at] : 0;
}

// The image the GIF must hold, read the test's own way for the files Pillow
// refuses: the colour table after the info header, the pixel rows at
// bfOffBits unless it points into the table, bytes past the end of the file
// read as 0, and the palette's high nibbles copied into the low ones unless a
// component of the table is exactly 15.
IndexedImage ReadReferenceBmp(const std::vector<uint8_t>& file) {
  const uint32_t infoSize = Uint32At(file, 14);
  const int width = static_cast<int32_t>(Uint32At(file, 18));
  const int storedHeight = static_cast<int32_t>(Uint32At(file, 22));
  const int bits = static_cast<int>(Uint32At(file, 28) & 0xFFFF);
  const uint32_t clrUsed = Uint32At(file, 46);
  const int height = std::abs(storedHeight);
  IndexedImage image{width, height, bits, {}, {}};

  const size_t colourCount = size_t{1} << bits;
  const uint64_t tableAt = 14 + uint64_t{infoSize};
  bool hasFifteen = false;
  for (size_t i = 0; i < colourCount; ++i) {
    Rgb colour{0, 0, 0};
    if (clrUsed == 0 || i < clrUsed) {
      colour = {ByteAt(file, tableAt + 4 * i + 2), ByteAt(file, tableAt + 4 * i + 1),
                ByteAt(file, tableAt + 4 * i)};
    }
    hasFifteen |= colour.red == 15 || colour.green == 15 || colour.blue == 15;
    image.palette.push_back(colour);
  }
  if (!hasFifteen) {
    for (Rgb& colour : image.palette) {
      for (uint8_t* c : {&colour.red, &colour.green, &colour.blue}) *c = (*c & 0xF0) | (*c >> 4);
    }
  }

  const uint64_t tableEnd = tableAt + 4 * uint64_t{clrUsed != 0 ? clrUsed : colourCount};
  const uint64_t pixelsAt = std::max<uint64_t>(tableEnd, Uint32At(file, 10));
  const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
  for (int y = 0; y < height; ++y) {
    const uint64_t row = pixelsAt + stride * uint64_t(storedHeight < 0 ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint64_t bit = uint64_t(x) * bits;
      const int byte = ByteAt(file, row + bit / 8);
      image.indices.push_back(static_cast<uint8_t>((byte >> (8 - bits - bit % 8)) & ((1 << bits) - 1)));
    }
  }
  return image;
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  if (!std::filesystem::is_directory(CorpusFolder)) return files;  // IsPresent fails
  for (const char* group : {"g", "q", "b"}) {
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder / group)) {
      if (entry.path().extension() == ".bmp") {
        files.push_back(std::string(group) + "/" + entry.path().filename().string());
      }
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Decoders made by others that read a GIF and print its pixels as RGB bytes.
struct ExternalDecoder {
  const char* name;
  std::vector<std::string> probe;    // succeeds when the decoder is installed
  std::vector<std::string> command;  // GifPathMark stands for the GIF's path
};

constexpr char GifPathMark[] = "<gif>";

const std::vector<ExternalDecoder> ExternalDecoders = {
    {"Pillow",
     {"/usr/bin/python3", "-c", "import PIL"},
     {"/usr/bin/python3", "-c",
      "import sys; from PIL import Image; "
      "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert('RGB').tobytes())",
      GifPathMark}},
    {"ImageMagick",
     {"convert-im6.q16", "-version"},
     {"convert-im6.q16", GifPathMark, "-depth", "8", "rgb:-"}},
};

bool IsInstalled(const ExternalDecoder& decoder) {
  static std::map<std::string, bool> installed;
  const auto known = installed.find(decoder.name);
  if (known != installed.end()) return known->second;
  return installed[decoder.name] = RunCommand(decoder.probe, "/").exitStatus == 0;
}

// The picture as Pillow reads it, with the library's palette rule applied;
// false when Pillow refuses the file.
bool ReadWithPillow(const std::filesystem::path& bmp, int& width, int& height, std::string& rgb) {
  const ProcessResult result = RunCommand(
      {SystemPython, std::string(TESTS_DIR) + "/pillow_bmp_rgb.py", bmp.string()}, "/");
  if (result.exitStatus == 3) return false;
  EXPECT_EQ(result.exitStatus, 0) << "Pillow failed on " << bmp;
  const size_t lineEnd = result.output.find('\n');
  if (lineEnd == std::string::npos || std::sscanf(result.output.c_str(), "%d %d", &width, &height) != 2) {
    ADD_FAILURE() << "no size from Pillow for " << bmp;
    return false;
  }
  rgb = result.output.substr(lineEnd + 1);
  return true;
}

std::string GifRgb(const DecodedGif& gif) {
  std::string rgb;
  for (uint8_t index : gif.indices) {
    const Rgb& colour = gif.palette.at(index);
    rgb += {static_cast<char>(colour.red), static_cast<char>(colour.green), static_cast<char>(colour.blue)};
  }
  return rgb;
}

size_t DifferentPixels(const std::string& a, const std::string& b) {
  size_t count = 0;
  for (size_t i = 0; i + 2 < std::min(a.size(), b.size()); i += 3) count += a.compare(i, 3, b, i, 3) != 0;
  return count + (std::max(a.size(), b.size()) - std::min(a.size(), b.size())) / 3;
}

std::string ExpectedRgb(const IndexedImage& image) {
  std::string rgb;
  for (uint8_t index : image.indices) {
    const Rgb& colour = image.palette[index];
    rgb += {static_cast<char>(colour.red), static_cast<char>(colour.green), static_cast<char>(colour.blue)};
  }
  return rgb;
}

class Corpus : public testing::TestWithParam<std::string> {};

TEST_P(Corpus, ConvertsOrFailsCleanly) {
  const std::string& name = GetParam();
  const std::filesystem::path input = CorpusFolder / name;
  TempFolder folder;
  const ProcessResult result = RunConverter({input.string(), "out.gif"}, folder.path());
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    left.push_back(entry.path().filename().string());
  }

  const auto error = ExpectedErrors.find(name);
  if (error != ExpectedErrors.end()) {
    char line[256];
    std::snprintf(line, sizeof line, ErrorFrameText, error->second);
    EXPECT_EQ(result.output, BannerText + std::string(line));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(left.empty());
    return;
  }
  EXPECT_EQ(result.exitStatus, 0) << result.output;
  EXPECT_EQ(left, std::vector<std::string>{"out.gif"});
  const DecodedGif gif = DecodeGif(folder / "out.gif");
  ASSERT_TRUE(gif.ok) << gif.error;
  int width = 0, height = 0;
  std::string rgb;
  const bool pillowReads = ReadWithPillow(input, width, height, rgb);
  EXPECT_EQ(pillowReads, PillowRefuses.count(name) == 0) << "Pillow reads or refuses " << name;
  if (!pillowReads) {
    const IndexedImage expected = ReadReferenceBmp(ReadFileBytes(input));
    EXPECT_EQ(gif.palette, expected.palette);
    EXPECT_EQ(gif.indices, expected.indices);
    width = expected.width, height = expected.height;
    rgb = ExpectedRgb(expected);
  }
  EXPECT_EQ(gif.width, width);
  EXPECT_EQ(gif.height, height);
  const std::string gifRgb = GifRgb(gif);
  EXPECT_TRUE(gifRgb == rgb) << name << ": " << DifferentPixels(gifRgb, rgb) << " of "
                             << width * height << " pixels differ from "
                             << (pillowReads ? "Pillow's reading" : "the test's reading");

  for (const ExternalDecoder& decoder : ExternalDecoders) {
    if (!IsInstalled(decoder)) continue;
    std::vector<std::string> command = decoder.command;
    std::replace(command.begin(), command.end(), std::string(GifPathMark), (folder / "out.gif").string());
    const ProcessResult decoded = RunCommand(command, folder.path());
    EXPECT_EQ(decoded.exitStatus, 0) << decoder.name;
    EXPECT_TRUE(decoded.output == rgb) << decoder.name << " reads other colours";
  }
}

INSTANTIATE_TEST_SUITE_P(BmpSuite, Corpus, testing::ValuesIn(CorpusFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Corpus);

TEST(Corpus, ExternalDecodersAreInstalled) {
  for (const ExternalDecoder& decoder : ExternalDecoders) {
    if (!IsInstalled(decoder)) GTEST_SKIP() << decoder.name << " is not installed; its check is skipped";
  }
}

TEST(Corpus, IsPresent) {
  EXPECT_EQ(CorpusFiles().size(), CorpusFileCount) << "BMP files in " << CorpusFolder;
  // Every file named in the error table exists, so the table cannot go stale.
  for (const auto& [name, text] : ExpectedErrors) {
    EXPECT_TRUE(std::filesystem::exists(CorpusFolder / name)) << name;
  }
}

}  // namespace
