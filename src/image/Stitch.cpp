#include "image/Stitch.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace image {

namespace {

constexpr int MinOverlap = 16;
constexpr int MinVaryingRows = 4;

// Compares rows of two equally wide pictures under one tolerance.
class RowMatcher {
public:
    RowMatcher(const Image& a, const RowProfile& profileA, const Image& b,
               const RowProfile& profileB, int tolerance)
        : a(a), b(b), profileA(profileA), profileB(profileB), exact(tolerance == 0),
          limit(static_cast<std::int64_t>(tolerance) * 3 * a.Width) {}

    bool Match(int rowA, int rowB) const {
        const std::uint8_t* pixelsA = a.PixelAddress(0, rowA);
        const std::uint8_t* pixelsB = b.PixelAddress(0, rowB);
        const std::size_t bytes = static_cast<std::size_t>(a.Width) * 3;
        if (exact) {
            return profileA.Hash(rowA) == profileB.Hash(rowB) &&
                   std::memcmp(pixelsA, pixelsB, bytes) == 0;
        }
        const std::int64_t* sumsA = profileA.Sums(rowA);
        const std::int64_t* sumsB = profileB.Sums(rowB);
        std::int64_t bound = 0;
        for (int i = 0; i < RowProfile::SumCount; ++i) {
            bound += std::llabs(sumsA[i] - sumsB[i]);
        }
        if (bound > limit) {
            return false;
        }
        std::int64_t total = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            total += std::abs(static_cast<int>(pixelsA[i]) - static_cast<int>(pixelsB[i]));
            if (total > limit) {
                return false;
            }
        }
        return true;
    }

private:
    const Image& a;
    const Image& b;
    const RowProfile& profileA;
    const RowProfile& profileB;
    const bool exact;
    const std::int64_t limit;
};

// The largest band of at most limit rows whose last row matches and of whose
// rows at most one in eight differ; rowA and rowB give the band's i-th row
// in each picture.
template <typename RowOfA, typename RowOfB>
int FixedBand(const RowMatcher& matcher, int limit, RowOfA rowA, RowOfB rowB) {
    int band = 0;
    int differing = 0;
    for (int i = 0; i < limit; ++i) {
        const bool matches = matcher.Match(rowA(i), rowB(i));
        if (!matches) {
            ++differing;
        }
        if (matches && differing <= (i + 1) / 8) {
            band = i + 1;
        }
    }
    return band;
}

} // namespace

StitchCut FindStitch(const Image& a, const RowProfile& profileA, const Image& b,
                     const RowProfile& profileB, int tolerance) {
    StitchCut cut;
    if (a.Width != b.Width || a.Width < 1 || a.BytesPerPixel != 3 || b.BytesPerPixel != 3) {
        return cut;
    }
    const RowMatcher matcher(a, profileA, b, profileB, tolerance);
    const int hA = a.Height;
    const int hB = b.Height;
    const int bandLimit = std::min(hA, hB) / 3;
    const int top = FixedBand(
        matcher, bandLimit, [](int i) { return i; }, [](int i) { return i; });
    const int bottom = FixedBand(
        matcher, bandLimit, [hA](int i) { return hA - 1 - i; }, [hB](int i) { return hB - 1 - i; });
    const int middleEndA = hA - bottom;
    const int largest = std::min(middleEndA - top, hB - bottom - top);

    // b's rows that are not of one colour come first in every check: a
    // candidate fails on them at once, where blank rows match everywhere.
    std::vector<int> order;
    std::vector<int> blank;
    order.reserve(std::max(largest, 0));
    for (int i = 0; i < largest; ++i) {
        (profileB.Uniform(top + i) ? blank : order).push_back(i);
    }
    const std::size_t varying = order.size();
    order.insert(order.end(), blank.begin(), blank.end());

    for (int k = largest; k >= MinOverlap; --k) {
        const std::size_t varyingInside = static_cast<std::size_t>(
            std::lower_bound(order.begin(), order.begin() + varying, k) - order.begin());
        if (varyingInside < static_cast<std::size_t>(MinVaryingRows)) {
            continue;
        }
        const int startA = middleEndA - k;
        const bool matches = std::all_of(order.begin(), order.end(), [&](int i) {
            return i >= k || matcher.Match(startA + i, top + i);
        });
        if (matches) {
            cut.topBand = top;
            cut.bottomBand = bottom;
            cut.overlap = k;
            return cut;
        }
    }
    return cut;
}

} // namespace image
