#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int NameAttempts = 64;
constexpr char TemporarySuffix[] = ".zel-XXXXXXXX.tmp";  // the Xs become hex digits

bool IsExistingNonRegularFile(const char* path) {
#ifdef _WIN32
  struct _stat64 status;
  return _stat64(path, &status) == 0 && (status.st_mode & _S_IFMT) != _S_IFREG;
#else
  struct stat status;
  return stat(path, &status) == 0 && !S_ISREG(status.st_mode);
#endif
}

// A name no other call is likely to pick: the process, this call's stack,
// the clock and the attempt mixed into 32 bits.
uint32_t NameNumber(const void* callFrame, int attempt) {
#ifdef _WIN32
  const uint64_t process = static_cast<uint64_t>(_getpid());
#else
  const uint64_t process = static_cast<uint64_t>(getpid());
#endif
  uint64_t mixed = process * 0x9E3779B97F4A7C15u ^ reinterpret_cast<uintptr_t>(callFrame) ^
                   static_cast<uint64_t>(std::time(nullptr)) << 20 ^
                   static_cast<uint64_t>(std::clock()) ^ static_cast<uint64_t>(attempt) << 40;
  mixed ^= mixed >> 33;
  mixed *= 0xFF51AFD7ED558CCDu;
  mixed ^= mixed >> 33;
  return static_cast<uint32_t>(mixed);
}

int CreateNewFile(const char* path) {
#ifdef _WIN32
  return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

std::FILE* OpenDescriptor(int descriptor) {
#ifdef _WIN32
  return _fdopen(descriptor, "wb");
#else
  return fdopen(descriptor, "wb");
#endif
}

void CloseDescriptor(int descriptor) {
#ifdef _WIN32
  _close(descriptor);
#else
  close(descriptor);
#endif
}

bool ReplaceFile(const char* from, const char* to) {
#ifdef _WIN32
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from, to) == 0;
#endif
}

}  // namespace

ZelStatus OpenOutputFile(const char* path, OutputFile& output) {
  output = OutputFile{nullptr, nullptr};
  if (IsExistingNonRegularFile(path)) {
    output.file = std::fopen(path, "wb");
    return output.file != nullptr ? ZelOk : ZelCannotOpenOutput;
  }

  const size_t pathLength = std::strlen(path);
  char* temporaryPath = static_cast<char*>(std::malloc(pathLength + sizeof TemporarySuffix));
  if (temporaryPath == nullptr) return ZelOutOfMemory;
  std::memcpy(temporaryPath, path, pathLength);
  for (int attempt = 0; attempt < NameAttempts; ++attempt) {
    std::memcpy(temporaryPath + pathLength, TemporarySuffix, sizeof TemporarySuffix);
    const uint32_t number = NameNumber(&output, attempt);
    for (int digit = 0; digit < 8; ++digit) {
      temporaryPath[pathLength + 5 + digit] = "0123456789abcdef"[(number >> (4 * digit)) & 0xF];
    }
    const int descriptor = CreateNewFile(temporaryPath);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      break;
    }
    output.file = OpenDescriptor(descriptor);
    if (output.file == nullptr) {
      CloseDescriptor(descriptor);
      std::remove(temporaryPath);
      break;
    }
    output.temporaryPath = temporaryPath;
    return ZelOk;
  }
  std::free(temporaryPath);
  return ZelCannotOpenOutput;
}

ZelStatus CloseOutputFile(OutputFile& output, const char* path, bool complete) {
  const bool closed = std::fclose(output.file) == 0;
  output.file = nullptr;
  ZelStatus status = closed ? ZelOk : ZelWriteFailed;
  if (output.temporaryPath != nullptr) {
    if (status == ZelOk && complete && !ReplaceFile(output.temporaryPath, path)) {
      status = ZelWriteFailed;
    }
    if (status != ZelOk || !complete) std::remove(output.temporaryPath);
    std::free(output.temporaryPath);
    output.temporaryPath = nullptr;
  }
  return status;
}
