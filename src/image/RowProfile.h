#pragma once

#include "image/Image.h"

#include <cstdint>
#include <vector>

namespace image {

// What two rows of equally wide pictures are compared by before their
// pixels: a hash for exact equality, and sums of each channel over eight
// stretches of the row. The sum of |a - b| over a row is at least the sum,
// over the stretches and channels, of |sum(a) - sum(b)|, so rows whose sums
// differ by more than a tolerance allows cannot match, and most rows that do
// not match are told apart without reading their pixels again.
class RowProfile {
public:
    static constexpr int Stretches = 8;
    static constexpr int SumCount = Stretches * 3;

    RowProfile() = default;
    // Reads every row of a 24-bit picture. Throws only std::bad_alloc.
    explicit RowProfile(const Image& picture);

    int Rows() const { return static_cast<int>(hashes.size()); }
    std::uint64_t Hash(int row) const { return hashes[row]; }
    const std::int64_t* Sums(int row) const {
        return &sums[static_cast<std::size_t>(row) * SumCount];
    }
    // Every pixel of the row is the same.
    bool Uniform(int row) const { return uniform[row] != 0; }

private:
    std::vector<std::uint64_t> hashes;
    std::vector<std::int64_t> sums;
    std::vector<std::uint8_t> uniform;
};

} // namespace image
