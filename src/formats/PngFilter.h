#pragma once

#include <cstddef>
#include <cstdint>

// The five PNG row filters. Rows here are the data bytes of one raw row without
// the leading filter-type byte; "previous" is the row above (already
// unfiltered), or null for the top row, which then sees an all-zero row above.
// bpp is the distance in bytes to the same byte of the pixel on the left
// (1 for pictures of 8 or fewer bits per pixel).

namespace formats {

enum PngFilterType : std::uint8_t {
    kFilterNone = 0,
    kFilterSub = 1,
    kFilterUp = 2,
    kFilterAverage = 3,
    kFilterPaeth = 4,
};

// The Paeth predictor with the standard's tie order: left, then above, then
// upper-left.
std::uint8_t PaethPredictor(std::uint8_t left, std::uint8_t above, std::uint8_t upperLeft);

// Undoes a filter in place. An unknown filter type leaves the row as it is.
void UnfilterRow(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length, std::size_t bpp);

} // namespace formats
