#include "image/ResampleWeights.h"

#include <cmath>
#include <new>

namespace image {

namespace {

constexpr double Epsilon = 2.220446049250313e-16;
constexpr double Pi = 3.141592653589793;
constexpr double PiOver3 = 1.0471975511965976;
constexpr double PiSquaredOver3 = 3.2898681336964524;

int ClampIndex(std::int64_t e, int length) {
    if (e < 0) {
        return 0;
    }
    if (e >= length) {
        return length - 1;
    }
    return static_cast<int>(e);
}

bool Allocate(ResampleWeights& table, std::int64_t taps, int targetLength) {
    if (taps < 1 || targetLength < 1 || taps > MaxWeightEntries / targetLength) {
        return false;
    }
    try {
        const auto entries = static_cast<std::size_t>(taps * targetLength);
        table.Weights.resize(entries);
        table.Indices.resize(entries);
    } catch (const std::bad_alloc&) {
        table = ResampleWeights();
        return false;
    }
    table.Taps = static_cast<int>(taps);
    table.TargetLength = targetLength;
    return true;
}

// Turns one target index's raw kernel values into 16.16 weights that sum to
// about 65536: raw / sum * 65536, truncated toward zero.
void Normalise(const double* raw, int taps, std::int32_t* weights) {
    double sum = 0.0;
    for (int j = 0; j < taps; ++j) {
        sum += raw[j];
    }
    if (sum == 0.0 || !std::isfinite(sum)) {
        // Cannot happen for Lanczos samples; the largest raw value then
        // carries everything rather than dividing by zero.
        int best = 0;
        for (int j = 1; j < taps; ++j) {
            if (raw[j] > raw[best]) {
                best = j;
            }
        }
        for (int j = 0; j < taps; ++j) {
            weights[j] = j == best ? 65536 : 0;
        }
        return;
    }
    for (int j = 0; j < taps; ++j) {
        weights[j] = static_cast<std::int32_t>(raw[j] / sum * 65536.0);
    }
}

} // namespace

bool ResampleWeights::IsIdentity() const {
    if (Taps < 1) {
        return false;
    }
    for (int i = 0; i < TargetLength; ++i) {
        const std::int32_t* w = WeightsOf(i);
        const std::int32_t* index = IndicesOf(i);
        bool found = false;
        for (int j = 0; j < Taps; ++j) {
            if (w[j] == 0) {
                continue;
            }
            if (w[j] != 65536 || index[j] != i || found) {
                return false;
            }
            found = true;
        }
        if (!found) {
            return false;
        }
    }
    return true;
}

double LanczosKernel(double x) {
    const double a = std::fabs(x);
    if (a < Epsilon) {
        return 1.0;
    }
    if (a >= 3.0) {
        return 0.0;
    }
    return std::sin(Pi * x) * std::sin(PiOver3 * x) / (x * x * PiSquaredOver3);
}

ResampleWeights BuildEnlargeWeights(int sourceLength, int targetLength) {
    ResampleWeights table;
    if (sourceLength < 1 || !Allocate(table, 6, targetLength)) {
        return table;
    }
    double raw[6];
    for (int i = 0; i < targetLength; ++i) {
        const double centre = static_cast<double>(sourceLength) * (i + 0.5) / targetLength;
        const auto first = static_cast<std::int64_t>(std::floor(centre - 2.5));
        std::int32_t* index = table.Indices.data() + static_cast<std::size_t>(i) * 6;
        for (int j = 0; j < 6; ++j) {
            const std::int64_t e = first + j;
            index[j] = ClampIndex(e, sourceLength);
            raw[j] = LanczosKernel(static_cast<double>(e) + 0.5 - centre);
        }
        Normalise(raw, 6, table.Weights.data() + static_cast<std::size_t>(i) * 6);
    }
    return table;
}

ResampleWeights BuildReduceWeights(int sourceLength, int targetLength) {
    ResampleWeights table;
    if (sourceLength < 1 || targetLength < 1) {
        return table;
    }
    const std::int64_t taps = (static_cast<std::int64_t>(targetLength) +
                               6 * static_cast<std::int64_t>(sourceLength) - 1) /
                              targetLength;
    if (!Allocate(table, taps, targetLength)) {
        return table;
    }
    std::vector<double> raw;
    try {
        raw.resize(static_cast<std::size_t>(taps));
    } catch (const std::bad_alloc&) {
        return ResampleWeights();
    }
    const double source = sourceLength;
    const double target = targetLength;
    for (int i = 0; i < targetLength; ++i) {
        const auto first = static_cast<std::int64_t>(std::floor((i - 2.5) * source / target + 0.5));
        std::int32_t* index = table.Indices.data() + static_cast<std::size_t>(i) * taps;
        for (std::int64_t j = 0; j < taps; ++j) {
            const std::int64_t e = first + j;
            index[j] = ClampIndex(e, sourceLength);
            raw[static_cast<std::size_t>(j)] =
                LanczosKernel((static_cast<double>(e) + 0.5) * target / source - (i + 0.5));
        }
        Normalise(raw.data(), static_cast<int>(taps),
                  table.Weights.data() + static_cast<std::size_t>(i) * taps);
    }
    return table;
}

ResampleWeights BuildWeights(int sourceLength, int targetLength) {
    return targetLength > sourceLength ? BuildEnlargeWeights(sourceLength, targetLength)
                                       : BuildReduceWeights(sourceLength, targetLength);
}

} // namespace image
