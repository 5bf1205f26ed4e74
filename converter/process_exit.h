// The one point where ZELCONV ends its process; standard output is flushed.
#pragma once

[[noreturn]] void EndProcess(int status);
