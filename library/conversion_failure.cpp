#include "conversion_failure.h"

#include <cstdio>
#include <cstdlib>

void FailConversion(const char* text) {
  std::fputs(text, stdout);
  std::exit(1);  // the normal exit flushes standard output
}
