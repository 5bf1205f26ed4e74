// ZELCONV: converts one 1-, 4- or 8-bit BMP file into a GIF file per run.
#include <cstdio>

#include "bitmap_loader.h"
#include "command_line.h"
#include "messages.h"

namespace {

// The banner names the project's version: 2.0.0 is "Ver2.00".
constexpr bool BannerNamesVersion(int major, int minor) {
  const char* at = BannerText;
  while (*at != '\0' && !(at[0] == 'V' && at[1] == 'e' && at[2] == 'r')) ++at;
  return at[0] != '\0' && at[3] == '0' + major && at[4] == '.' && at[5] == '0' + minor / 10 &&
         at[6] == '0' + minor % 10;
}
static_assert(BannerNamesVersion(ZELLIB_VERSION_MAJOR, ZELLIB_VERSION_MINOR),
              "the banner text and the project version disagree");

}  // namespace

int main(int argumentCount, char** arguments) {
  std::fputs(BannerText, stdout);
  ConverterOptions options;
  ParseCommandLine(argumentCount, arguments, options);
  LoadAndConvert(options);
}
