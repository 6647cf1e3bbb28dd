#pragma once

#include <cstdint>

namespace formats {

// One colour sample with opacity alpha (0 to 255, 255 opaque) over the same
// sample of the background, rounded to the nearest: the rule every reader of
// transparent pictures follows, so that a picture looks the same whatever
// format it came in. Opaque samples stay as they are.
inline std::uint8_t BlendSample(unsigned colour, unsigned alpha, unsigned background) {
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

} // namespace formats
