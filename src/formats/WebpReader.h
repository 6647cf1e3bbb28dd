#pragma once

#include "formats/ByteSource.h"
#include "image/Image.h"

#include <cstdint>

namespace formats {

// Loads a WebP file into a new 24-bit Image through libwebp: lossy, lossless,
// with or without an alpha channel, and of an animation its first frame on
// its canvas (what the frame leaves uncovered shows background). The header
// (the canvas of the extended format, or the VP8 or VP8L frame) is checked
// before any pixel memory is taken: pictures larger than an Image may be are
// refused. Transparent and partly transparent pixels are blended over
// background, a COLORREF (0x00BBGGRR), as PNG's are. Opaque pictures are
// decoded straight into the Image's rows. False, with an empty Image, when
// the file is refused, cut short or damaged, or memory runs out.
bool LoadWebp(image::Image& picture, const char* path, std::uint32_t background = 0x00FFFFFF);
// The same from an open source, from its start.
bool LoadWebp(image::Image& picture, ByteSource& source, std::uint32_t background = 0x00FFFFFF);

} // namespace formats
