// Runs a fuzz target over saved inputs without libFuzzer: every file named on
// the command line, or every file in a folder named there.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  int inputCount = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files;
    if (!std::filesystem::exists(argv[i])) continue;
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.emplace_back(argv[i]);
    }
    for (const auto& file : files) {
      std::ifstream stream(file, std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                       std::istreambuf_iterator<char>()};
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++inputCount;
    }
  }
  std::fprintf(stderr, "replayed %d inputs\n", inputCount);
  return inputCount > 0 ? 0 : 1;
}
