#include "command_line.h"

#include <climits>
#include <cstring>

#include "messages.h"
#include "process_exit.h"

namespace {

constexpr char GifExtension[] = ".GIF";
constexpr size_t ExtensionLength = 4;

bool IsScanfSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads what follows "-T:" as scanf's "%d" would: optional white space, an
// optional sign and decimal digits; anything after the digits is ignored.
// False when there are no digits. A number that does not fit 32 bits gives
// -1, which the range test later turns into index 0 with a warning.
bool ReadTransparentIndex(const char* text, int32_t& indexOut) {
  while (IsScanfSpace(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  if (*text < '0' || *text > '9') return false;
  int64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) {
      indexOut = -1;
      return true;
    }
  }
  const int64_t value = negative ? -magnitude : magnitude;
  indexOut = value > INT32_MAX ? -1 : static_cast<int32_t>(value);
  return true;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const size_t length = std::strlen(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

[[noreturn]] void PrintUsageAndEnd() {
  std::fputs(UsageText, stdout);
  EndProcess(0);
}

// Applies one switch; bytes after the selecting one are ignored except after T.
void ApplySwitch(const char* argument, ConverterOptions& options) {
  const char selector = argument[1];
  switch (selector) {
    case '?':
      PrintUsageAndEnd();
    case 'I':
    case 'i':
      options.interlace = 1;
      return;
    case 'T':
    case 't':
      options.transparency = 1;
      options.transparentIndex = 0;
      if (argument[2] == ':' && !ReadTransparentIndex(argument + 3, options.transparentIndex)) {
        std::fputs(BadTransparentIndexText, stdout);
        options.transparentIndex = 0;
      }
      return;
    default:
      std::printf(InvalidSwitchText, selector);  // a lone "-" prints its NUL byte
      EndProcess(1);
  }
}

// The GIF path, given or derived from the bitmap path, ends in ".gif" or ".GIF".
void CompleteGifPath(ConverterOptions& options) {
  std::string& gifPath = options.gifPath;
  if (gifPath.empty()) {
    gifPath = options.bitmapPath;
    // The last four bytes become ".GIF" whatever they are.
    if (gifPath.size() < ExtensionLength) {
      gifPath += GifExtension;
    } else {
      gifPath.replace(gifPath.size() - ExtensionLength, ExtensionLength, GifExtension);
    }
    return;
  }
  const bool hasGifExtension = gifPath.size() > ExtensionLength &&
                               (EndsWith(gifPath, ".gif") || EndsWith(gifPath, ".GIF"));
  if (!hasGifExtension) gifPath += GifExtension;
}

}  // namespace

void ParseCommandLine(int argumentCount, char** arguments, ConverterOptions& options) {
  options = ConverterOptions{};
  if (argumentCount <= 1) PrintUsageAndEnd();

  for (int i = 1; i < argumentCount; ++i) {
    const char* argument = arguments[i];
    if (argument[0] == '-') {
      ApplySwitch(argument, options);
    } else if (options.bitmapPath.empty()) {
      options.bitmapPath = argument;  // an empty argument leaves the target empty
    } else if (options.gifPath.empty()) {
      options.gifPath = argument;
    } else {
      FatalError(BadCommandLineText, nullptr);
    }
  }
  if (options.bitmapPath.empty()) FatalError(NoBitmapGivenText, nullptr);
  CompleteGifPath(options);
}

void FatalError(const char* message, std::FILE* openInput) {
  if (openInput != nullptr) std::fclose(openInput);
  std::printf(ErrorFrameText, message);
  EndProcess(1);
}
