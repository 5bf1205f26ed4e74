// Replaces the two points where the program and the library end the process,
// so that a harness can run every path, failures included, many times in one
// process. Standard output is flushed as the real exit would.
#include <cstdio>

#include "conversion_failure.h"
#include "process_ended.h"
#include "process_exit.h"

void EndProcess(int status) {
  std::fflush(stdout);
  throw ProcessEnded{status};
}

void FailConversion(const char* text) {
  std::fputs(text, stdout);
  EndProcess(1);
}
