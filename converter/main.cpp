// ZELCONV: converts one 1-, 4- or 8-bit BMP file into a GIF file per run.
#include <cstdio>

#include "bitmap_loader.h"
#include "command_line.h"
#include "messages.h"

int main(int argumentCount, char** arguments) {
  std::fputs(BannerText, stdout);
  ConverterOptions options;
  ParseCommandLine(argumentCount, arguments, options);
  LoadAndConvert(options);
}
