#pragma once

#include <cstdint>
#include <vector>

namespace image {

// The Lanczos filter of one pass, from a source length to a target length:
// for every target index, Taps weights in 16.16 fixed point and the source
// index each applies to (already clamped to the source). Taps is 0 when the
// table could not be built.
struct ResampleWeights {
    int Taps = 0;
    int TargetLength = 0;
    std::vector<std::int32_t> Weights; // TargetLength * Taps
    std::vector<std::int32_t> Indices; // TargetLength * Taps

    const std::int32_t* WeightsOf(int target) const {
        return Weights.data() + static_cast<std::size_t>(target) * Taps;
    }
    const std::int32_t* IndicesOf(int target) const {
        return Indices.data() + static_cast<std::size_t>(target) * Taps;
    }
    // True when every target index takes its own source index at full
    // weight, so applying the table copies the pixels.
    bool IsIdentity() const;
};

// The three-lobe Lanczos window sin(pi x) sin(pi x / 3) / (pi^2 x^2 / 3).
double LanczosKernel(double x);

// Enlarging (target longer than source): 6 taps around each target centre.
ResampleWeights BuildEnlargeWeights(int sourceLength, int targetLength);
// Reducing or keeping the length: the kernel is widened by the reduction
// factor, ceil(6 * source / target) taps.
ResampleWeights BuildReduceWeights(int sourceLength, int targetLength);
// The enlarging table when the target is longer, the reducing one otherwise.
ResampleWeights BuildWeights(int sourceLength, int targetLength);

// Largest number of table entries (Taps * target length) a pass will build;
// beyond it building fails rather than exhausting memory.
constexpr std::int64_t MaxWeightEntries = std::int64_t{1} << 28;

} // namespace image
