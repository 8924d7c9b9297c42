#pragma once

// Reads back the PNGs the gallery commits: 8-bit RGB or RGBA (alpha is
// dropped), not interlaced, any of the five scanline filters. zlib inflates.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/rgb_image.h"

namespace e2e {

// Throws std::runtime_error on anything it does not read: a broken file, a
// bad checksum, another colour type or bit depth, interlacing.
RgbImage decodePng(const std::vector<std::uint8_t>& png);
// Throws std::runtime_error when the file cannot be read or decoded.
RgbImage readPng(const std::string& path);

}  // namespace e2e
