#pragma once

#include <cstdint>

namespace image {

// The settings one paste reads, handed to the join as one plain value taken
// when the paste starts: a paste never sees a change made half-way, even when
// a batch pastes on another thread while the settings window writes. Fields
// bear the names of the settings they come from; the colours are COLORREF
// values (0x00BBGGRR).
struct PasteParameters {
    std::uint16_t fSize = 1; // 0 = fixed size, otherwise percentage
    std::uint16_t bRatio = 1;
    std::int32_t SizeW = 100;
    std::int32_t SizeH = 100;
    std::int32_t PerW = 100;
    std::int32_t PerH = 100;
    std::int32_t PadSize = 0;
    std::int32_t BkColor = 0x00FFFFFF;
    std::int32_t PadCol = 0x00FFFFFF;
};

} // namespace image
