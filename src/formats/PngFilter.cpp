#include "formats/PngFilter.h"

#include <cstdlib>
#include <cstring>

namespace formats {

std::uint8_t PaethPredictor(std::uint8_t left, std::uint8_t above, std::uint8_t upperLeft) {
    // The distances of left + above - upperLeft to each neighbour, simplified.
    // The choice is made without branches (conditional moves): on photographs
    // it is close to random, and mispredicted jumps made unfiltering several
    // times slower.
    const int pa = std::abs(above - upperLeft);
    const int pb = std::abs(left - upperLeft);
    const int pc = std::abs(left + above - 2 * upperLeft);
    const std::uint8_t aboveOrUpperLeft = pb <= pc ? above : upperLeft;
    return ((pa <= pb) & (pa <= pc)) != 0 ? left : aboveOrUpperLeft;
}

namespace {

// The prediction of byte i from its already known neighbours; unknown
// neighbours (left of the first pixel, above the top row) count as 0.
inline std::uint8_t Predict(std::uint8_t type, const std::uint8_t* row,
                            const std::uint8_t* previous, std::size_t i, std::size_t bpp) {
    const std::uint8_t left = i >= bpp ? row[i - bpp] : 0;
    const std::uint8_t above = previous != nullptr ? previous[i] : 0;
    switch (type) {
    case kFilterSub:
        return left;
    case kFilterUp:
        return above;
    case kFilterAverage:
        return static_cast<std::uint8_t>((left + above) / 2);
    case kFilterPaeth: {
        const std::uint8_t upperLeft = previous != nullptr && i >= bpp ? previous[i - bpp] : 0;
        return PaethPredictor(left, above, upperLeft);
    }
    default:
        return 0;
    }
}

} // namespace

void UnfilterRow(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length, std::size_t bpp) {
    switch (type) {
    case kFilterSub:
        for (std::size_t i = bpp; i < length; ++i) {
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
        }
        return;
    case kFilterUp:
        if (previous != nullptr) {
            for (std::size_t i = 0; i < length; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
            }
        }
        return;
    case kFilterAverage: {
        // Each byte depends on the unfiltered byte to its left, so the row is
        // rebuilt from left to right.
        const std::size_t first = bpp < length ? bpp : length;
        for (std::size_t i = 0; i < first; ++i) {
            const int above = previous != nullptr ? previous[i] : 0;
            row[i] = static_cast<std::uint8_t>(row[i] + above / 2);
        }
        for (std::size_t i = first; i < length; ++i) {
            const int above = previous != nullptr ? previous[i] : 0;
            row[i] = static_cast<std::uint8_t>(row[i] + (row[i - bpp] + above) / 2);
        }
        return;
    }
    case kFilterPaeth: {
        const std::size_t first = bpp < length ? bpp : length;
        if (previous == nullptr) {
            // With a zero row above, the predictor is always the left byte.
            for (std::size_t i = first; i < length; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
            }
            return;
        }
        for (std::size_t i = 0; i < first; ++i) {
            row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
        }
        for (std::size_t i = first; i < length; ++i) {
            row[i] = static_cast<std::uint8_t>(
                row[i] + PaethPredictor(row[i - bpp], previous[i], previous[i - bpp]));
        }
        return;
    }
    default:
        return;
    }
}

} // namespace formats
