#pragma once

#include <cstdint>

namespace image {

// One pixel's bytes as the pixel operations read and write them: the lowest
// byte is the first byte in memory. For 24-bit pictures that is 0x00RRGGBB.
using PixelValue = std::uint32_t;

// A COLORREF (0x00BBGGRR) as the PixelValue that shows the same colour.
constexpr PixelValue ColourToPixel(std::uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

} // namespace image
