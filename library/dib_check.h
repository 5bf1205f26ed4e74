// What both interfaces check of a DIB before anything is written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dib_reader.h"

// The bit count is 1, 4 or 8 and the width and height are within 1..65535.
bool IsSupportedDib(const uint8_t* dibHeader);
// 40 + 4 * 2^bits bytes.
size_t DibHeaderBytesNeeded(const uint8_t* dibHeader);
// stride * height bytes, or SIZE_MAX when that does not fit a size_t.
size_t DibPixelBytesNeeded(const uint8_t* dibHeader);
