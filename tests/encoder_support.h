// Both image-data encoders over the same indices: the library's, and the
// reference that follows the definition literally.
#pragma once

#include <cstdint>
#include <vector>

#include "literal_encoder.h"

// indices: width * height colour indices, top row first, each below 1 << minCodeSize.
std::vector<uint8_t> EncodeWithLibrary(int minCodeSize, int width, int height, bool interlaced,
                                       const std::vector<int>& indices);
std::vector<uint8_t> EncodeLiterally(int minCodeSize, int width, int height, bool interlaced,
                                     const std::vector<int>& indices,
                                     literal::EncodingCounts* counts = nullptr);

// Uniformly random indices below colourCount.
std::vector<int> Noise(size_t count, int colourCount, uint32_t seed);
