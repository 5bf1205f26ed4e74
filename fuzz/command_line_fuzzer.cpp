// The command line: the input bytes, split at NUL bytes, are the arguments.
// Parsing either ends the run (usage or an error) or gives a bitmap path and
// a GIF path ending in ".gif" or ".GIF".
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "process_ended.h"

namespace {

bool EndsWithGif(const std::string& path) {
  return path.size() >= 4 && (path.compare(path.size() - 4, 4, ".gif") == 0 ||
                              path.compare(path.size() - 4, 4, ".GIF") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::freopen("/dev/null", "w", stdout);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments = {"ZELCONV"};
  std::string current;
  for (size_t i = 0; i < size && arguments.size() < 16; ++i) {
    if (data[i] == 0) {
      arguments.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  if (!current.empty()) arguments.push_back(current);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  ConverterOptions options;
  try {
    ParseCommandLine(static_cast<int>(arguments.size()), argv.data(), options);
  } catch (const ProcessEnded& ended) {
    if (ended.status != 0 && ended.status != 1) __builtin_trap();
    return 0;
  }
  if (options.bitmapPath.empty() || !EndsWithGif(options.gifPath)) __builtin_trap();
  if (options.transparency != 0 && options.transparency != 1) __builtin_trap();
  return 0;
}
