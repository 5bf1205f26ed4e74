// In the fuzz and replay builds the process does not end: the program's and
// the library's exit points throw this instead, and the harness catches it.
#pragma once

struct ProcessEnded {
  int status;
};
