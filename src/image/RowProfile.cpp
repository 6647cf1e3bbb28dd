#include "image/RowProfile.h"

#include <cstring>

namespace image {

namespace {

// FNV-1a over the row's bytes, eight at a time: only equality matters, and
// every hash match is confirmed on the pixels.
std::uint64_t HashRow(const std::uint8_t* row, std::size_t bytes) {
    std::uint64_t hash = 1469598103934665603ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; i < bytes; ++i) {
        hash = (hash ^ row[i]) * 1099511628211ull;
    }
    return hash;
}

bool RowIsUniform(const std::uint8_t* row, int width) {
    for (int x = 1; x < width; ++x) {
        if (std::memcmp(row + 3 * x, row, 3) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

RowProfile::RowProfile(const Image& picture) {
    const int width = picture.Width;
    const int height = picture.Height;
    hashes.resize(height);
    sums.assign(static_cast<std::size_t>(height) * SumCount, 0);
    uniform.resize(height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = picture.PixelAddress(0, y);
        hashes[y] = HashRow(row, static_cast<std::size_t>(width) * 3);
        uniform[y] = RowIsUniform(row, width) ? 1 : 0;
        std::int64_t* rowSums = &sums[static_cast<std::size_t>(y) * SumCount];
        for (int s = 0; s < Stretches; ++s) {
            const int end =
                static_cast<int>(static_cast<std::int64_t>(width) * (s + 1) / Stretches);
            for (int x = static_cast<int>(static_cast<std::int64_t>(width) * s / Stretches);
                 x < end; ++x) {
                for (int c = 0; c < 3; ++c) {
                    rowSums[s * 3 + c] += row[3 * x + c];
                }
            }
        }
    }
}

} // namespace image
