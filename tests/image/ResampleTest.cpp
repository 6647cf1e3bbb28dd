#include "image/Image.h"
#include "image/ResampleWeights.h"
#include "image/Resampler.h"
#include "image/RowCombine.h"

#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using image::Image;
using image::ResampleOptions;
using image::ResampleWeights;
using testpictures::FillNoise;
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

struct ReferenceTap {
    int index;
    double weight;
};

std::vector<std::vector<ReferenceTap>> ReferenceWeights(int source, int target) {
    std::vector<std::vector<ReferenceTap>> all(target);
    for (int i = 0; i < target; ++i) {
        std::vector<double> raw;
        std::vector<int> index;
        if (target > source) {
            const double centre = static_cast<double>(source) * (i + 0.5) / target;
            const long first = static_cast<long>(std::floor(centre - 2.5));
            for (long e = first; e < first + 6; ++e) {
                raw.push_back(ReferenceKernel(e + 0.5 - centre));
                index.push_back(static_cast<int>(e < 0 ? 0 : (e >= source ? source - 1 : e)));
            }
        } else {
            const long taps = (6L * source + target - 1) / target;
            const long first = static_cast<long>(std::floor((i - 2.5) * source / target + 0.5));
            for (long e = first; e < first + taps; ++e) {
                raw.push_back(ReferenceKernel((e + 0.5) * target / source - (i + 0.5)));
                index.push_back(static_cast<int>(e < 0 ? 0 : (e >= source ? source - 1 : e)));
            }
        }
        double sum = 0;
        for (double r : raw) {
            sum += r;
        }
        for (size_t j = 0; j < raw.size(); ++j) {
            all[i].push_back({index[j], raw[j] / sum});
        }
    }
    return all;
}

std::uint8_t ToByte(double v) {
    const double r = std::floor(v + 0.5);
    return static_cast<std::uint8_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
}

// Reference bytes of the result, 3 per pixel, rows from the top.
std::vector<std::uint8_t> ReferenceResample(const Image& source, int width, int height) {
    const auto horizontal = ReferenceWeights(source.Width, width);
    const auto vertical = ReferenceWeights(source.Height, height);
    std::vector<std::uint8_t> middle(static_cast<size_t>(width) * source.Height * 3);
    for (int y = 0; y < source.Height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (const ReferenceTap& t : horizontal[x]) {
                    v += t.weight * source.PixelAddress(t.index, y)[c];
                }
                middle[(static_cast<size_t>(y) * width + x) * 3 + c] = ToByte(v);
            }
        }
    }
    std::vector<std::uint8_t> out(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (const ReferenceTap& t : vertical[y]) {
                    v += t.weight * middle[(static_cast<size_t>(t.index) * width + x) * 3 + c];
                }
                out[(static_cast<size_t>(y) * width + x) * 3 + c] = ToByte(v);
            }
        }
    }
    return out;
}

// Largest difference between a result and the reference; -1 when the result
// has the wrong shape.
int WorstDifference(const Image& result, const std::vector<std::uint8_t>& expected, int width,
                    int height) {
    if (result.Width != width || result.Height != height || result.BytesPerPixel != 3) {
        return -1;
    }
    int worst = 0;
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < width * 3; ++i) {
            const int d = std::abs(result.PixelAddress(0, y)[i] -
                                   expected[static_cast<size_t>(y) * width * 3 + i]);
            worst = d > worst ? d : worst;
        }
    }
    return worst;
}

// ---- The integer formulas applied pixel by pixel -------------------------
// Uses the library's weight tables, so the result must match to the byte:
// this is what the vector loops, the transposition and the threads must
// reproduce.

std::uint8_t Apply(const ResampleWeights& table, int target, const std::uint8_t* base,
                   std::ptrdiff_t step) {
    std::int32_t sum = 0;
    for (int j = 0; j < table.Taps; ++j) {
        sum += table.WeightsOf(target)[j] * base[table.IndicesOf(target)[j] * step];
    }
    const std::int32_t v = (sum + 32768) >> 16;
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

std::vector<std::uint8_t> IntegerResample(const Image& source, int width, int height) {
    const ResampleWeights h = image::BuildWeights(source.Width, width);
    const ResampleWeights v = image::BuildWeights(source.Height, height);
    std::vector<std::uint8_t> middle(static_cast<size_t>(width) * source.Height * 3);
    for (int y = 0; y < source.Height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                middle[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    Apply(h, x, source.PixelAddress(0, y) + c, source.BytesPerPixel);
            }
        }
    }
    std::vector<std::uint8_t> out(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < width * 3; ++i) {
            out[static_cast<size_t>(y) * width * 3 + i] =
                Apply(v, y, middle.data() + i, static_cast<std::ptrdiff_t>(width) * 3);
        }
    }
    return out;
}

struct Case {
    int sourceWidth, sourceHeight, width, height;
};

} // namespace

TEST(LanczosKernel, ShapeOfTheWindow) {
    EXPECT_EQ(image::LanczosKernel(0.0), 1.0);
    EXPECT_EQ(image::LanczosKernel(1e-17), 1.0);
    EXPECT_EQ(image::LanczosKernel(3.0), 0.0);
    EXPECT_EQ(image::LanczosKernel(-3.5), 0.0);
    for (double x : {0.25, 0.5, 1.0, 1.5, 2.2, 2.999, -0.7, -2.5}) {
        EXPECT_NEAR(image::LanczosKernel(x), ReferenceKernel(x), 1e-12) << x;
        EXPECT_DOUBLE_EQ(image::LanczosKernel(x), image::LanczosKernel(-x)) << x;
    }
    // Zero crossings at the integers, the negative lobe between 1 and 2.
    EXPECT_NEAR(image::LanczosKernel(1.0), 0.0, 1e-15);
    EXPECT_NEAR(image::LanczosKernel(2.0), 0.0, 1e-15);
    EXPECT_LT(image::LanczosKernel(1.5), 0.0);
    EXPECT_GT(image::LanczosKernel(2.5), 0.0);
}

TEST(ResampleWeights, TapsIndicesAndNormalisation) {
    EXPECT_EQ(image::BuildEnlargeWeights(10, 25).Taps, 6);
    EXPECT_EQ(image::BuildReduceWeights(1000, 10).Taps, 600);
    EXPECT_EQ(image::BuildReduceWeights(4000, 1000).Taps, 24);
    EXPECT_EQ(image::BuildReduceWeights(7, 3).Taps, 14); // ceil(42 / 3)
    EXPECT_EQ(image::BuildReduceWeights(8, 3).Taps, 16); // ceil(48 / 3)

    for (const auto& lengths : {std::pair<int, int>{13, 40}, {40, 13}, {1, 9}, {9, 1}, {50, 49}}) {
        const ResampleWeights table = image::BuildWeights(lengths.first, lengths.second);
        ASSERT_GT(table.Taps, 0);
        for (int i = 0; i < lengths.second; ++i) {
            long sum = 0;
            for (int j = 0; j < table.Taps; ++j) {
                const int index = table.IndicesOf(i)[j];
                ASSERT_GE(index, 0);
                ASSERT_LT(index, lengths.first);
                sum += table.WeightsOf(i)[j];
            }
            // Truncation loses less than one unit per tap.
            EXPECT_LE(std::labs(sum - 65536), table.Taps) << lengths.first << "->" << i;
        }
    }
    // The first target of an enlargement starts two pixels left of the
    // source: the clamped indices repeat the edge.
    const ResampleWeights enlarge = image::BuildEnlargeWeights(10, 20);
    EXPECT_EQ(enlarge.IndicesOf(0)[0], 0);
    EXPECT_EQ(enlarge.IndicesOf(0)[3], 0);
    EXPECT_EQ(enlarge.IndicesOf(0)[4], 1);
    EXPECT_EQ(enlarge.IndicesOf(19)[5], 9);
}

TEST(ResampleWeights, EqualLengthsCopy) {
    for (int n : {1, 2, 3, 7, 64, 333, 1000}) {
        const ResampleWeights table = image::BuildReduceWeights(n, n);
        ASSERT_EQ(table.Taps, 6) << n;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < 6; ++j) {
                const int expected = j == 2 ? 65536 : 0;
                ASSERT_EQ(table.WeightsOf(i)[j], expected) << n << " " << i << " " << j;
            }
            ASSERT_EQ(table.IndicesOf(i)[2], i);
        }
        EXPECT_TRUE(table.IsIdentity());
    }
    EXPECT_FALSE(image::BuildReduceWeights(10, 9).IsIdentity());
}

TEST(ResampleWeights, OversizedTablesFail) {
    // 6 taps for each of 300 million targets, and 6 * INT_MAX taps for one.
    EXPECT_EQ(image::BuildEnlargeWeights(3, 300000000).Taps, 0);
    EXPECT_EQ(image::BuildReduceWeights(2147483647, 1).Taps, 0);
    EXPECT_EQ(image::BuildEnlargeWeights(0, 10).Taps, 0);
}

TEST(CombineRows, VectorLoopMatchesScalarIncludingClamping) {
    if (!image::CpuHasAvx2()) {
        GTEST_SKIP() << "no AVX2 on this processor";
    }
    testpictures::Noise noise(7);
    for (int taps : {1, 2, 5, 6, 24, 61}) {
        std::vector<std::vector<std::uint8_t>> rows(taps, std::vector<std::uint8_t>(300));
        std::vector<const std::uint8_t*> pointers;
        for (auto& row : rows) {
            for (auto& b : row) {
                b = static_cast<std::uint8_t>(noise.Next());
            }
            pointers.push_back(row.data());
        }
        // Weights far beyond a normalised table drive sums past the 16-bit
        // range both ways, where the saturating packs must still give 0 or 255.
        std::vector<std::int32_t> weights(taps);
        for (auto& w : weights) {
            w = static_cast<std::int32_t>(noise.Next() % 400001) - 200000;
        }
        for (int bytes : {0, 1, 7, 8, 31, 32, 33, 95, 96, 97, 130, 300}) {
            std::vector<std::uint8_t> a(bytes + 1, 0xAB);
            std::vector<std::uint8_t> b(bytes + 1, 0xAB);
            image::CombineRowsScalar(pointers.data(), weights.data(), taps, a.data(), bytes);
            image::CombineRowsAvx2(pointers.data(), weights.data(), taps, b.data(), bytes);
            ASSERT_EQ(a, b) << taps << " taps, " << bytes << " bytes";
            EXPECT_EQ(b[bytes], 0xAB) << "wrote past the end";
        }
    }
}

TEST(Resample, WithinOneOfTheDoubleReference) {
    const Case cases[] = {
        {37, 23, 101, 59}, // enlarge both
        {101, 67, 23, 17}, // reduce both
        {40, 30, 97, 11},  // enlarge one, reduce the other
        {40, 30, 40, 55},  // only the height changes
        {40, 30, 13, 30},  // only the width changes
        {1, 1, 5, 7},      // one pixel enlarged
        {31, 17, 1, 1},    // reduced to one pixel
        {40, 1, 13, 1},    {1, 30, 1, 7}, {1, 9, 6, 4},
    };
    for (int bits : {24, 32}) {
        for (const Case& c : cases) {
            Image source;
            ASSERT_TRUE(source.Create(c.sourceWidth, c.sourceHeight, bits));
            FillPhoto(source, c.width * 31 + c.height);
            Image result;
            ASSERT_TRUE(image::Resample(source, result, c.width, c.height));
            const auto expected = ReferenceResample(source, c.width, c.height);
            const int worst = WorstDifference(result, expected, c.width, c.height);
            EXPECT_GE(worst, 0);
            EXPECT_LE(worst, 1) << bits << " bits " << c.sourceWidth << "x" << c.sourceHeight
                                << " -> " << c.width << "x" << c.height;
        }
    }
}

TEST(Resample, ExactToTheIntegerFormulasOnEveryPath) {
    // Sizes not multiples of the 32-row blocks or the 32-byte vector steps,
    // large enough that the passes run on several threads.
    const Case cases[] = {
        {301, 203, 703, 497}, {703, 497, 301, 203}, {95, 77, 33, 130}, {5, 300, 600, 3}};
    const ResampleOptions variants[] = {{0, true}, {1, true}, {2, false}, {3, true}};
    for (int bits : {24, 32}) {
        for (const Case& c : cases) {
            Image source;
            ASSERT_TRUE(source.Create(c.sourceWidth, c.sourceHeight, bits));
            FillNoise(source, c.sourceWidth + bits);
            const auto expected = IntegerResample(source, c.width, c.height);
            for (const ResampleOptions& options : variants) {
                Image result;
                ASSERT_TRUE(image::Resample(source, result, c.width, c.height, options));
                ASSERT_EQ(WorstDifference(result, expected, c.width, c.height), 0)
                    << bits << " bits " << c.sourceWidth << "x" << c.sourceHeight << " -> "
                    << c.width << "x" << c.height << " threads " << options.threads
                    << (options.vector ? " vector" : " scalar");
            }
        }
    }
}

TEST(Resample, FlatColourAndUnchangedSizes) {
    Image flat;
    ASSERT_TRUE(testpictures::MakeFlat(flat, 23, 17, 0x7F01FE));
    for (const Case& c : {Case{23, 17, 80, 61}, Case{23, 17, 4, 3}, Case{23, 17, 1, 60}}) {
        Image result;
        ASSERT_TRUE(image::Resample(flat, result, c.width, c.height));
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                ASSERT_EQ(result.ReadPixel(x, y), 0x7F01FEu) << c.width << "x" << c.height;
            }
        }
    }

    // The same size is a copy, also from 32 bits to 24.
    for (int bits : {24, 32}) {
        Image source;
        ASSERT_TRUE(source.Create(19, 11, bits));
        FillNoise(source, 3);
        Image copy;
        ASSERT_TRUE(image::Resample(source, copy, 19, 11));
        ASSERT_EQ(copy.BytesPerPixel, 3);
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 19; ++x) {
                ASSERT_EQ(copy.ReadPixel(x, y), source.ReadPixel(x, y)) << bits;
            }
        }
    }

    // Only the height changes: every column is resampled on its own, the
    // horizontal pass copies. Only the width changes: rows likewise.
    Image source;
    ASSERT_TRUE(source.Create(9, 20, 24));
    FillNoise(source, 11);
    Image taller;
    ASSERT_TRUE(image::Resample(source, taller, 9, 33));
    Image wider;
    ASSERT_TRUE(image::Resample(source, wider, 14, 20));
    for (int x = 0; x < 9; ++x) {
        Image column;
        ASSERT_TRUE(column.Create(1, 20, 24));
        column.BlitFrom(0, 0, source, x, 0, 1, 20);
        Image tallColumn;
        ASSERT_TRUE(image::Resample(column, tallColumn, 1, 33));
        for (int y = 0; y < 33; ++y) {
            ASSERT_EQ(taller.ReadPixel(x, y), tallColumn.ReadPixel(0, y)) << x << "," << y;
        }
    }
    for (int y = 0; y < 20; ++y) {
        Image row;
        ASSERT_TRUE(row.Create(9, 1, 24));
        row.BlitFrom(0, 0, source, 0, y, 9, 1);
        Image wideRow;
        ASSERT_TRUE(image::Resample(row, wideRow, 14, 1));
        for (int x = 0; x < 14; ++x) {
            ASSERT_EQ(wider.ReadPixel(x, y), wideRow.ReadPixel(x, 0)) << x << "," << y;
        }
    }
}

TEST(Resample, OvershootIsClamped) {
    // A black-white step enlarged rings below 0 and above 255 before the
    // clamp; the result keeps pure black and white next to the step.
    Image step;
    ASSERT_TRUE(step.Create(8, 1, 24));
    step.FillArea(0, 0, 4, 1, 0x000000, false);
    step.FillArea(4, 0, 4, 1, 0xFFFFFF, false);
    Image wide;
    ASSERT_TRUE(image::Resample(step, wide, 32, 1));
    const auto expected = ReferenceResample(step, 32, 1);
    EXPECT_LE(WorstDifference(wide, expected, 32, 1), 1);
    EXPECT_EQ(wide.ReadPixel(13, 0), 0u);
    EXPECT_EQ(wide.ReadPixel(18, 0), 0xFFFFFFu);
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
    EXPECT_FALSE(image::Resample(source, target, 8, 0));
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
    FillNoise(source, 5);
    const auto expected = IntegerResample(source, 9, 2);
    ASSERT_TRUE(image::Resample(source, source, 9, 2));
    EXPECT_EQ(WorstDifference(source, expected, 9, 2), 0);
}
