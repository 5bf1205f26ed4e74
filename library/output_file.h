// The file a GIF is written to: a new temporary file beside the path, renamed
// over it once complete, or the path itself when it names an existing file
// that is not a regular file (a device, a FIFO).
#pragma once

#include <cstdio>

#include "bitmap_to_gif.h"

struct OutputFile {
  std::FILE* file;
  char* temporaryPath;  // null when writing in place
};

// ZelOk with an open file, or ZelCannotOpenOutput / ZelOutOfMemory.
ZelStatus OpenOutputFile(const char* path, OutputFile& output);
// Closes the file. Complete: the temporary file takes the path's place;
// otherwise it is removed. ZelOk, or ZelWriteFailed when the close or the
// rename failed.
ZelStatus CloseOutputFile(OutputFile& output, const char* path, bool complete);
