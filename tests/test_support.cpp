#include "test_support.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace {

void PutUint16(std::vector<uint8_t>& bytes, uint32_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutUint32(std::vector<uint8_t>& bytes, uint32_t value) {
  PutUint16(bytes, value & 0xFFFF);
  PutUint16(bytes, value >> 16);
}

// BITMAPINFOHEADER fields after biSize; biHeight as given.
void PutInfoHeader(std::vector<uint8_t>& bytes, uint32_t size, int width, int height, int bits,
                   uint32_t compression, uint32_t clrUsed) {
  PutUint32(bytes, size);
  PutUint32(bytes, static_cast<uint32_t>(width));
  PutUint32(bytes, static_cast<uint32_t>(height));
  PutUint16(bytes, 1);
  PutUint16(bytes, static_cast<uint32_t>(bits));
  PutUint32(bytes, compression);
  for (int i = 0; i < 3; ++i) PutUint32(bytes, 0);  // image size, resolution
  PutUint32(bytes, clrUsed);
  PutUint32(bytes, 0);
  bytes.resize(bytes.size() + size - 40, 0);  // the rest of a later header version
}

void PutPalette(std::vector<uint8_t>& bytes, const std::vector<Rgb>& palette, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Rgb colour = i < palette.size() ? palette[i] : Rgb{0, 0, 0};
    bytes.insert(bytes.end(), {colour.blue, colour.green, colour.red, 0});
  }
}

// Rows packed from the most significant end of each byte; topDown gives the
// top row first.
std::vector<uint8_t> PackRows(const IndexedImage& image, bool topDown) {
  const int stride = RowStride(image.width, image.bitsPerPixel);
  std::vector<uint8_t> rows(static_cast<size_t>(stride) * image.height, 0);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* row = rows.data() + static_cast<size_t>(topDown ? y : image.height - 1 - y) * stride;
    for (int x = 0; x < image.width; ++x) {
      const int index = image.indices[static_cast<size_t>(y) * image.width + x];
      const int bitOffset = x * image.bitsPerPixel;
      row[bitOffset / 8] |= index << (8 - image.bitsPerPixel - bitOffset % 8);
    }
  }
  return rows;
}

}  // namespace

int RowStride(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

Dib MakeDib(const IndexedImage& image) {
  Dib dib;
  PutInfoHeader(dib.header, 40, image.width, image.height, image.bitsPerPixel, 0, 0);
  PutPalette(dib.header, image.palette, size_t{1} << image.bitsPerPixel);
  dib.pixels = PackRows(image, false);
  return dib;
}

IndexedImage RandomImage(int width, int height, int bitsPerPixel, uint32_t seed) {
  std::mt19937 random(seed);
  IndexedImage image{width, height, bitsPerPixel, {}, {}};
  const int colourCount = 1 << bitsPerPixel;
  for (int i = 0; i < colourCount; ++i) {
    const auto component = [&] { return static_cast<uint8_t>((random() % 16) * 0x11); };
    image.palette.push_back({component(), component(), component()});
  }
  // Runs of repeated colours give the encoder strings of every length.
  image.indices.resize(static_cast<size_t>(width) * height);
  uint8_t current = 0;
  for (auto& index : image.indices) {
    if (random() % 3 == 0) current = static_cast<uint8_t>(random() % colourCount);
    index = current;
  }
  return image;
}

std::vector<uint8_t> MakeBmpFile(const IndexedImage& image, const BmpOptions& options) {
  const size_t colourCount = size_t{1} << image.bitsPerPixel;
  const size_t storedEntries = options.clrUsed != 0 ? options.clrUsed : colourCount;
  const std::vector<uint8_t> rows = PackRows(image, options.topDown);
  const uint32_t pixelOffset = static_cast<uint32_t>(14 + options.infoHeaderSize +
                                                     4 * storedEntries + options.gapAfterTable);
  std::vector<uint8_t> file = {'B', 'M'};
  PutUint32(file, pixelOffset + static_cast<uint32_t>(rows.size()));
  PutUint32(file, 0);
  PutUint32(file, pixelOffset);
  PutInfoHeader(file, options.infoHeaderSize, image.width,
                options.topDown ? -image.height : image.height, image.bitsPerPixel,
                options.compression, options.clrUsed);
  PutPalette(file, image.palette, storedEntries);
  file.resize(file.size() + options.gapAfterTable, 0);
  file.insert(file.end(), rows.begin(), rows.end());
  return file;
}

namespace {

ProcessResult CollectChild(pid_t child, int readEnd) {
  ProcessResult result;
  char buffer[4096];
  for (ssize_t got; (got = read(readEnd, buffer, sizeof buffer)) > 0;) {
    result.output.append(buffer, static_cast<size_t>(got));
  }
  close(readEnd);
  int status = 0;
  waitpid(child, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

ProcessResult RunInChild(const std::function<void()>& body) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[1]);
    body();
    std::fflush(stdout);
    _exit(0);
  }
  close(pipeEnds[1]);
  return CollectChild(child, pipeEnds[0]);
}

namespace {

// A Windows console program writes "\r\n" for each "\n" of its texts. Read
// back as "\n"; a bare line feed is marked so that no comparison passes.
std::string FromTextMode(const std::string& output) {
  std::string text;
  for (size_t i = 0; i < output.size(); ++i) {
    if (output[i] == '\r' && i + 1 < output.size() && output[i + 1] == '\n') continue;
    if (output[i] == '\n' && (i == 0 || output[i - 1] != '\r')) text += "[bare line feed]";
    text += output[i];
  }
  return text;
}

}  // namespace

ProcessResult RunCommand(const std::vector<std::string>& command,
                         const std::filesystem::path& workingDirectory) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  return RunInChild([&] {
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    if (chdir(workingDirectory.c_str()) != 0) _exit(126);
    execvp(argv[0], argv.data());
    _exit(127);
  });
}

ProcessResult RunConverter(const std::vector<std::string>& arguments,
                           const std::filesystem::path& workingDirectory) {
  // ZELCONV_PROGRAM names another build to run, ZELCONV_RUNNER the command,
  // words separated by spaces, that runs it (the Windows builds under Wine).
  const char* program = std::getenv("ZELCONV_PROGRAM");
  const char* runner = std::getenv("ZELCONV_RUNNER");
  std::vector<std::string> command;
  std::istringstream runnerWords(runner != nullptr ? runner : "");
  for (std::string word; runnerWords >> word;) command.push_back(word);
  command.emplace_back(program != nullptr ? program : ZELCONV_PATH);
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessResult result = RunCommand(command, workingDirectory);
  if (IsWindowsProgram()) result.output = FromTextMode(result.output);
  return result;
}

bool IsWindowsProgram() {
  const char* program = std::getenv("ZELCONV_PROGRAM");
  const std::string name = program != nullptr ? program : "";
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0;
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zellib-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> HexBytes(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

DecodedGif DecodeGif(const std::filesystem::path& path) {
  DecodedGif decoded;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) {
    decoded.error = GifErrorString(error);
    return decoded;
  }
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1 || gif->SColorMap == nullptr) {
    decoded.error = gif->Error != 0 ? GifErrorString(gif->Error) : "not one image with a global table";
    DGifCloseFile(gif, &error);
    return decoded;
  }
  const SavedImage& image = gif->SavedImages[0];
  decoded.width = image.ImageDesc.Width;
  decoded.height = image.ImageDesc.Height;
  decoded.interlaced = image.ImageDesc.Interlace;
  for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
    const GifColorType& colour = gif->SColorMap->Colors[i];
    decoded.palette.push_back({colour.Red, colour.Green, colour.Blue});
  }
  // giflib hands interlaced rows back in display order.
  decoded.indices.assign(image.RasterBits,
                         image.RasterBits + static_cast<size_t>(decoded.width) * decoded.height);
  GraphicsControlBlock control;
  if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK) {
    decoded.transparentIndex = control.TransparentColor;
  }
  DGifCloseFile(gif, &error);
  decoded.ok = true;
  return decoded;
}
