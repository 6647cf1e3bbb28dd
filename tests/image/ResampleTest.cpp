#include "image/Image.h"
#include "image/ResampleWeights.h"
#include "image/Resampler.h"
#include "image/RowCombine.h"

#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

using image::Image;
using image::ResampleOptions;
using image::ResampleWeights;
using testpictures::FillPhoto;

namespace {

// ---- An independent reference in double precision ----------------------
// Exact normalised weights (no 16.16 truncation), plain loops, each pass
// rounded to bytes as the two-pass design requires.

double ReferenceKernel(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    if (std::fabs(x) >= 3.0) {
        return 0.0;
    }
    const double px = 3.14159265358979323846 * x;
    return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

// A source index and its weight.
using ReferenceTap = std::pair<int, double>;

std::vector<std::vector<ReferenceTap>> ReferenceWeights(int source, int target) {
    std::vector<std::vector<ReferenceTap>> all(target);
    for (int i = 0; i < target; ++i) {
        const bool enlarge = target > source;
        const double centre = static_cast<double>(source) * (i + 0.5) / target;
        const long first = enlarge
                               ? static_cast<long>(std::floor(centre - 2.5))
                               : static_cast<long>(std::floor((i - 2.5) * source / target + 0.5));
        const long taps = enlarge ? 6 : (6L * source + target - 1) / target;
        double sum = 0;
        for (long e = first; e < first + taps; ++e) {
            const double w = enlarge ? ReferenceKernel(e + 0.5 - centre)
                                     : ReferenceKernel((e + 0.5) * target / source - (i + 0.5));
            all[i].push_back({static_cast<int>(e < 0 ? 0 : (e >= source ? source - 1 : e)), w});
            sum += w;
        }
        for (ReferenceTap& t : all[i]) {
            t.second /= sum;
        }
    }
    return all;
}

std::uint8_t ToByte(double v) {
    const double r = std::floor(v + 0.5);
    return static_cast<std::uint8_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
}

// Result bytes, 3 per pixel, rows from the top, of two passes over the colour
// bytes, each rounded to bytes: pass(vertical, target index, sample) gives a
// byte from the samples at the source indices it asks for.
template <typename Pass>
std::vector<std::uint8_t> TwoPasses(const Image& source, int width, int height, Pass pass) {
    std::vector<std::uint8_t> middle(static_cast<size_t>(width) * source.Height * 3);
    std::vector<std::uint8_t> out(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < middle.size(); ++i) {
        const int x = static_cast<int>(i / 3 % width), y = static_cast<int>(i / 3 / width);
        middle[i] = pass(false, x, [&](int s) { return source.PixelAddress(s, y)[i % 3]; });
    }
    for (size_t i = 0; i < out.size(); ++i) {
        const size_t x = i / 3 % width, c = i % 3;
        out[i] = pass(true, static_cast<int>(i / 3 / width),
                      [&](int s) { return middle[(s * static_cast<size_t>(width) + x) * 3 + c]; });
    }
    return out;
}

// The independent reference: the exact weights.
std::vector<std::uint8_t> ReferenceResample(const Image& source, int width, int height) {
    const std::vector<std::vector<ReferenceTap>> tables[] = {
        ReferenceWeights(source.Width, width), ReferenceWeights(source.Height, height)};
    return TwoPasses(source, width, height, [&](bool vertical, int i, const auto& sample) {
        double v = 0;
        for (const ReferenceTap& t : tables[vertical][i]) {
            v += t.second * sample(t.first);
        }
        return ToByte(v);
    });
}

// The integer formula pixel by pixel with the library's own tables: 16.16
// weights, (sum + 32768) >> 16 clamped to a byte. The plain path must give
// exactly these bytes.
std::vector<std::uint8_t> IntegerResample(const Image& source, int width, int height) {
    const ResampleWeights tables[] = {image::BuildWeights(source.Width, width),
                                      image::BuildWeights(source.Height, height)};
    return TwoPasses(source, width, height, [&](bool vertical, int i, const auto& sample) {
        const ResampleWeights& t = tables[vertical];
        std::int32_t sum = 0;
        for (int j = 0; j < t.Taps; ++j) {
            sum += t.WeightsOf(i)[j] * sample(t.IndicesOf(i)[j]);
        }
        return static_cast<std::uint8_t>(std::min(255, std::max(0, (sum + 32768) >> 16)));
    });
}

// The colour bytes of a 24-bit picture, 3 per pixel, rows from the top.
std::vector<std::uint8_t> Bytes(const Image& img) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < img.Height; ++y) {
        bytes.insert(bytes.end(), img.PixelAddress(0, y), img.PixelAddress(0, y) + img.Width * 3);
    }
    return bytes;
}

// Largest difference between a result and the expected bytes; -1 when the
// result has the wrong shape.
int WorstDifference(const Image& result, const std::vector<std::uint8_t>& expected, int width,
                    int height) {
    if (result.Width != width || result.Height != height || result.BytesPerPixel != 3) {
        return -1;
    }
    const std::vector<std::uint8_t> got = Bytes(result);
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        worst = std::max(worst, std::abs(got[i] - expected[i]));
    }
    return worst;
}

struct Case {
    int sourceWidth, sourceHeight, width, height;
    // Whether to compare with the double reference too: past a few hundred
    // pixels the rounding of the middle pass may add up to more than 1.
    bool reference = true;
};

} // namespace

TEST(ResampleWeights, TapsIndicesAndNormalisation) {
    // Source and target lengths and the taps expected; 0 where the table
    // would be too large (6 taps for 300 million targets, 6 * INT_MAX for
    // one) or there is no source.
    const int taps[][3] = {{10, 25, 6},       {1000, 10, 600},    {7, 3, 14},
                           {40, 13, 19},      {9, 1, 54},         {50, 49, 7},
                           {3, 300000000, 0}, {2147483647, 1, 0}, {0, 10, 0}};
    for (const auto& row : taps) {
        const ResampleWeights table = image::BuildWeights(row[0], row[1]);
        ASSERT_EQ(table.Taps, row[2]) << row[0] << " -> " << row[1];
        for (int i = 0; i < (table.Taps > 0 ? row[1] : 0); ++i) {
            long sum = 0;
            for (int j = 0; j < table.Taps; ++j) {
                ASSERT_GE(table.IndicesOf(i)[j], 0);
                ASSERT_LT(table.IndicesOf(i)[j], row[0]);
                sum += table.WeightsOf(i)[j];
            }
            // Truncation loses less than one unit per tap.
            EXPECT_LE(std::labs(sum - 65536), table.Taps) << row[0] << " -> " << row[1];
        }
    }
}

TEST(Resample, WithinOneOfTheReferenceAndTheSameOnEveryPath) {
    // Enlarging, reducing and mixed; single pixels and lines; one side kept
    // (that pass copies) and the same size (a copy, also from 32 bits to 24);
    // sizes not multiples of the 32-row blocks or the 32-byte vector steps,
    // large enough that the passes run on several threads. The pictures have
    // black and white edges whose overshoot must be clamped, not wrapped.
    const Case cases[] = {{37, 23, 101, 59},
                          {101, 67, 23, 17},
                          {40, 30, 97, 11},
                          {40, 30, 40, 55},
                          {1, 1, 5, 7},
                          {40, 1, 13, 1},
                          {19, 11, 19, 11},
                          {95, 77, 33, 130},
                          {301, 203, 703, 497, false},
                          {703, 497, 301, 203, false},
                          {5, 300, 600, 3, false}};
    // Each path must give the bytes of the plain one: one thread, no vectors.
    const ResampleOptions variants[] = {{0, true}, {1, true}, {3, true}, {2, false}};
    for (int bits : {24, 32}) {
        for (const Case& c : cases) {
            Image source;
            ASSERT_TRUE(source.Create(c.sourceWidth, c.sourceHeight, bits));
            FillPhoto(source, c.width * 31 + c.height);
            Image result;
            ASSERT_TRUE(image::Resample(source, result, c.width, c.height));
            if (c.reference) {
                EXPECT_LE(WorstDifference(result, ReferenceResample(source, c.width, c.height),
                                          c.width, c.height),
                          1)
                    << bits << " bits, case " << &c - cases;
            }
            Image plain;
            ASSERT_TRUE(image::Resample(source, plain, c.width, c.height, {1, false}));
            if (c.reference && (c.width != c.sourceWidth || c.height != c.sourceHeight)) {
                EXPECT_EQ(WorstDifference(plain, IntegerResample(source, c.width, c.height),
                                          c.width, c.height),
                          0)
                    << bits << " bits, case " << &c - cases;
            }
            for (const ResampleOptions& options : variants) {
                ASSERT_TRUE(image::Resample(source, result, c.width, c.height, options));
                ASSERT_EQ(WorstDifference(result, Bytes(plain), c.width, c.height), 0)
                    << bits << " bits, case " << &c - cases << ", threads " << options.threads;
            }
        }
    }
}

TEST(Resample, FlatColourStaysFlat) {
    const auto colour = [](int, int) { return 0x7F01FEu; };
    Image flat, result, expected;
    ASSERT_TRUE(testpictures::MakeImage(flat, 23, 17, colour));
    for (const Case& c : {Case{23, 17, 80, 61}, Case{23, 17, 4, 3}, Case{23, 17, 1, 60}}) {
        ASSERT_TRUE(image::Resample(flat, result, c.width, c.height));
        ASSERT_TRUE(testpictures::MakeImage(expected, c.width, c.height, colour));
        EXPECT_TRUE(testpictures::SamePixels(result, expected)) << c.width << "x" << c.height;
    }
}

TEST(Resample, RefusalsAndFailures) {
    Image target;
    ASSERT_TRUE(target.Create(3, 3, 24));
    const HBITMAP kept = target.Bitmap;

    Image indexed;
    ASSERT_TRUE(indexed.Create(4, 4, 8));
    EXPECT_FALSE(image::Resample(indexed, target, 8, 8));
    Image source;
    ASSERT_TRUE(source.Create(4, 4, 24));
    EXPECT_FALSE(image::Resample(source, target, 0, 8));
    Image empty;
    EXPECT_FALSE(image::Resample(empty, target, 8, 8));
    EXPECT_EQ(target.Bitmap, kept) << "refused resamples leave the target as it was";

    // A weight table too large to build, and a target too large to create,
    // leave the target empty.
    EXPECT_FALSE(image::Resample(source, target, 300000000, 1));
    EXPECT_TRUE(target.IsEmpty());
    ASSERT_TRUE(target.Create(3, 3, 24));
    EXPECT_FALSE(image::Resample(source, target, 40000, 40000));
    EXPECT_TRUE(target.IsEmpty());

    // Resampling an Image into itself.
    FillPhoto(source, 5);
    Image separate;
    ASSERT_TRUE(image::Resample(source, separate, 9, 2));
    ASSERT_TRUE(image::Resample(source, source, 9, 2));
    EXPECT_EQ(WorstDifference(source, Bytes(separate), 9, 2), 0);
}
