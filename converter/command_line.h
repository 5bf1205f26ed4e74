// The command line: ZELCONV [-?] [-I] [-T[:n]] [BMP file] [GIF file]
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct ConverterOptions {
  std::string bitmapPath;       // byte string as given; any length
  std::string gifPath;          // given, completed with ".GIF", or derived from bitmapPath
  int32_t interlace = 0;        // 1 after -I
  int32_t transparency = 0;     // 1 after -T
  int32_t transparentIndex = 0; // from -T:n; -1 when n does not fit 32 bits (out of range)
};

// Fills options from the argument vector, or prints the usage text or an
// error and ends the process. Returns only with a bitmap path present.
void ParseCommandLine(int argumentCount, char** arguments, ConverterOptions& options);

// Closes openInput (when given), prints "ERROR: message" and ends the
// process with status 1.
[[noreturn]] void FatalError(const char* message, std::FILE* openInput);
