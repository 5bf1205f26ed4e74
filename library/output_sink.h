// Where the GIF's bytes go: a buffer that is either written to an open file
// whenever it is full, or grown in memory to hold the whole GIF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr size_t FileBufferSize = size_t{1} << 18;  // large writes, few system calls
constexpr size_t MemoryStartSize = size_t{1} << 16;

struct OutputSink {
  uint8_t* data;
  size_t size;          // bytes held in data
  size_t capacity;
  std::FILE* file;      // null: data grows and keeps everything
  bool writeFailed;     // a write to the file failed; later bytes are dropped
  bool outOfMemory;     // data could not grow; later bytes are dropped
};

// A sink that writes to file through buffer (FileBufferSize bytes).
OutputSink FileSink(std::FILE* file, uint8_t* buffer);
// A sink that keeps the bytes in memory it allocates; the caller frees data.
OutputSink MemorySink();

void WriteBytes(OutputSink& sink, const void* bytes, size_t count);
inline void PutByte(OutputSink& sink, uint8_t byte) {
  if (sink.size == sink.capacity) {
    WriteBytes(sink, &byte, 1);
    return;
  }
  sink.data[sink.size++] = byte;
}
// Writes what the buffer holds to the file and flushes the file; true when
// every byte so far reached it (or memory).
bool FlushSink(OutputSink& sink);
