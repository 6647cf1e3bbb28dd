#pragma once

#include <cstdint>

namespace image {

// The settings one paste reads, handed to the join as one plain value taken
// when the paste starts: a paste never sees a change made half-way, even when
// a batch pastes on another thread while the settings window writes. The
// colours are COLORREF values (0x00BBGGRR).
struct PasteParameters {
    // Resized by a percentage of the picture's own size, or else into a
    // fixed box, stretched or (keepAspect) fitted and centred.
    bool byPercent = true;
    bool keepAspect = true;
    std::int32_t boxWidth = 100;
    std::int32_t boxHeight = 100;
    std::int32_t widthPercent = 100;
    std::int32_t heightPercent = 100;
    std::int32_t gapWidth = 0;            // between neighbours; below 0 counts as 0
    std::int32_t background = 0x00FFFFFF; // where the canvas grows beyond the pictures
    std::int32_t gapColour = 0x00FFFFFF;
};

} // namespace image
