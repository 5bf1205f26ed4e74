// The library's one failure path: print a text to standard output and end
// the process with exit status 1.
#pragma once

constexpr const char UnsupportedBitmapText[] = "error: unsupported bitmap\n";
constexpr const char CouldNotOpenOutputText[] = "error: could not open output file\n";
constexpr const char ErrorWritingOutputText[] = "error writing output file\n";

[[noreturn]] void FailConversion(const char* text);
