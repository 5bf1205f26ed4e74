// Loads the BMP file named on the command line, converts it through ZELLIB
// and ends the process: status 0 after the conversion, 1 on an error.
#pragma once

#include "command_line.h"

[[noreturn]] void LoadAndConvert(const ConverterOptions& options);
