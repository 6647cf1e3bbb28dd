#pragma once

#include <cstdint>

namespace formats {

constexpr std::int32_t kNoTransparentColour = -1;

// The colour a GIF's first image marks as transparent, as a PixelValue
// (0x00RRGGBB), found by walking the file's structure up to that image: the
// extensions before it are skipped until a graphic control extension, which
// must be followed directly by the image. kNoTransparentColour when the file
// is not a GIF, has no transparent index there, names an index beyond the
// colour table the file provides, or ends early.
std::int32_t FindGifTransparentColour(const char* path);

} // namespace formats
