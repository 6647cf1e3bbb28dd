#pragma once

#include "image/Image.h"

namespace formats {

// The longest side a WebP picture can have: its headers keep each side less
// one in 14 bits.
constexpr int kWebpMaxSide = 16383;

// Saves a 24-bit Image as a WebP file through libwebp with the library's
// default effort (method 4): lossy at quality (1 to 100), or lossless, which
// keeps every pixel. The file is written beside the target and replaces it
// only once complete. False, with no file left behind and an existing file
// untouched, when the Image is not 24-bit, a side is over kWebpMaxSide, the
// file cannot be written or the library fails.
bool SaveWebp(const image::Image& picture, const char* path, int quality, bool lossless);

} // namespace formats
