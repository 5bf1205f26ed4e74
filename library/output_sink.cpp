#include "output_sink.h"

#include <cstdlib>
#include <cstring>

namespace {

void WriteOut(OutputSink& sink, const void* bytes, size_t count) {
  if (!sink.writeFailed && count > 0 && std::fwrite(bytes, 1, count, sink.file) != count) {
    sink.writeFailed = true;
  }
}

bool Grow(OutputSink& sink, size_t needed) {
  size_t capacity = sink.capacity;
  while (capacity - sink.size < needed) {
    if (capacity > SIZE_MAX / 2) return false;
    capacity *= 2;
  }
  auto* grown = static_cast<uint8_t*>(std::realloc(sink.data, capacity));
  if (grown == nullptr) return false;
  sink.data = grown;
  sink.capacity = capacity;
  return true;
}

}  // namespace

OutputSink FileSink(std::FILE* file, uint8_t* buffer) {
  return OutputSink{buffer, 0, FileBufferSize, file, false, false};
}

OutputSink MemorySink() {
  auto* data = static_cast<uint8_t*>(std::malloc(MemoryStartSize));
  return OutputSink{data, 0, data != nullptr ? MemoryStartSize : 0, nullptr, false, data == nullptr};
}

void WriteBytes(OutputSink& sink, const void* bytes, size_t count) {
  if (sink.writeFailed || sink.outOfMemory) return;
  if (sink.capacity - sink.size < count) {
    if (sink.file != nullptr) {
      WriteOut(sink, sink.data, sink.size);
      sink.size = 0;
      if (count > sink.capacity) {
        WriteOut(sink, bytes, count);
        return;
      }
    } else if (!Grow(sink, count)) {
      sink.outOfMemory = true;
      return;
    }
  }
  std::memcpy(sink.data + sink.size, bytes, count);
  sink.size += count;
}

bool FlushSink(OutputSink& sink) {
  if (sink.file == nullptr) return !sink.outOfMemory;
  WriteOut(sink, sink.data, sink.size);
  sink.size = 0;
  // The stream's error indicator stays set once any write failed.
  if (std::fflush(sink.file) != 0 || std::ferror(sink.file)) sink.writeFailed = true;
  return !sink.writeFailed;
}
