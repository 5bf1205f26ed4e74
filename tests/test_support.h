// Helpers shared by the tests: bitmaps built in memory, child processes with
// captured standard output, temporary folders and an independent GIF decoder
// (giflib).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct Rgb {
  uint8_t red, green, blue;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

// An image as colour indices, top row first, with its palette.
struct IndexedImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 8;
  std::vector<uint8_t> indices;  // width * height, row by row from the top
  std::vector<Rgb> palette;      // 1 << bitsPerPixel entries
};

// The two halves of a DIB as the library takes them.
struct Dib {
  std::vector<uint8_t> header;  // 40-byte BITMAPINFOHEADER and the colour table
  std::vector<uint8_t> pixels;  // bottom row first, rows padded to 32 bits
};

int RowStride(int width, int bitsPerPixel);
Dib MakeDib(const IndexedImage& image);
// Random indices and a random palette whose components repeat their high
// nibble (0x00, 0x11, ... 0xFF), which the library writes unchanged.
IndexedImage RandomImage(int width, int height, int bitsPerPixel, uint32_t seed);

struct BmpOptions {
  uint32_t infoHeaderSize = 40;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;       // entries stored; 0 stores the full table
  bool topDown = false;       // negative biHeight, rows top first
  uint32_t gapAfterTable = 0; // bytes between the colour table and the rows
};
// A BMP file holding the image.
std::vector<uint8_t> MakeBmpFile(const IndexedImage& image, const BmpOptions& options = {});

struct ProcessResult {
  std::string output;  // standard output, byte for byte
  int exitStatus = -1; // -1 when the process did not exit normally
};

// Runs body in a child process; standard output is captured. The child ends
// with status 0 if body returns.
ProcessResult RunInChild(const std::function<void()>& body);
// Runs command (searched on PATH) in folder workingDirectory, standard input
// empty.
ProcessResult RunCommand(const std::vector<std::string>& command,
                         const std::filesystem::path& workingDirectory);
// Runs the built ZELCONV with these arguments in folder workingDirectory, or
// the build that ZELCONV_PROGRAM names, through ZELCONV_RUNNER when set.
ProcessResult RunConverter(const std::vector<std::string>& arguments,
                           const std::filesystem::path& workingDirectory);
// True when the program run is the Windows build (a ".exe").
bool IsWindowsProgram();

// A fresh folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> HexBytes(const std::string& hex);  // "47 49 46" -> bytes

// What giflib reads back from a GIF file.
struct DecodedGif {
  bool ok = false;
  std::string error;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  int transparentIndex = -1;  // -1: no Graphic Control Extension
  std::vector<Rgb> palette;   // the global colour table
  std::vector<uint8_t> indices;  // top row first, in display order
};
DecodedGif DecodeGif(const std::filesystem::path& path);
