#include "FormatsTestSupport.h"

#include "formats/PngFilter.h"
#include "formats/PngImageInfo.h"
#include "formats/PngReader.h"
#include "formats/PngWriter.h"

#include <gtest/gtest.h>

#include <random>

using namespace formats;
using formats_test::MakeImage;
using image::Image;
using image::PixelValue;

TEST(PngRowBytes, WholeBytesPlusFilterByte) {
    const struct {
        std::uint32_t width;
        unsigned bits;
        std::uint32_t bytes;
    } rows[] = {{1, 1, 2},           {8, 1, 2},           {9, 1, 3},   {1, 2, 2},
                {5, 2, 3},           {1, 4, 2},           {3, 4, 3},   {4, 4, 3},
                {7, 8, 8},           {5, 24, 16},         {5, 32, 21}, {0xFFFFFFFF, 1, 0x20000001},
                {0x7FFFFFFF, 24, 0}, {0xFFFFFFFF, 32, 0}, {4, 16, 0},  {4, 3, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(PngRowBytes(row.width, row.bits), row.bytes) << row.width << " x " << row.bits;
    }
}

TEST(PngFilter, EveryTypeUndoesItselfAtEveryPixelSize) {
    std::mt19937 random(7);
    for (std::size_t bpp : {1, 3, 4}) {
        for (std::uint8_t type = 0; type <= 4; ++type) {
            // A width of one pixel exercises the rule for the first pixel alone.
            for (std::size_t length : {bpp, bpp * 9}) {
                std::vector<std::uint8_t> above(length), row(length), out(length);
                for (std::size_t i = 0; i < length; ++i) {
                    above[i] = static_cast<std::uint8_t>(random());
                    row[i] = static_cast<std::uint8_t>(random());
                }
                for (const std::uint8_t* previous :
                     {static_cast<const std::uint8_t*>(nullptr),
                      static_cast<const std::uint8_t*>(above.data())}) {
                    FilterRow(type, row.data(), previous, out.data(), length, bpp);
                    UnfilterRow(type, out.data(), previous, length, bpp);
                    EXPECT_EQ(out, row) << "type " << int(type) << " bpp " << bpp;
                }
            }
        }
    }
    std::uint8_t stored[3] = {1, 2, 3};
    UnfilterRow(9, stored, nullptr, 3, 1);
    EXPECT_EQ(stored[2], 3) << "an unknown filter type leaves the row as it is";
}

TEST(PngFilter, PaethPrefersLeftThenAboveThenUpperLeft) {
    // Arguments: left, above, upper-left; pa = |above - upper-left|,
    // pb = |left - upper-left|, pc = |left + above - 2 upper-left|.
    EXPECT_EQ(PaethPredictor(1, 2, 3), 1);     // pa 1, pb 2, pc 3
    EXPECT_EQ(PaethPredictor(10, 20, 12), 20); // pa 8, pb 2, pc 6
    EXPECT_EQ(PaethPredictor(3, 7, 5), 5);     // pa 2, pb 2, pc 0
    EXPECT_EQ(PaethPredictor(10, 25, 20), 10); // pa 5 = pc 5 < pb 10: left wins the tie
    EXPECT_EQ(PaethPredictor(25, 10, 20), 10); // pb 5 = pc 5 < pa 10: above wins the tie
}

namespace {

// The 2 x 2 picture: bottom row red, green; top row blue, red.
void SmallExample(Image& picture) {
    ASSERT_TRUE(MakeImage(picture, 2, 2, [](int x, int y) {
        return y == 1 ? (x == 0 ? 0xFF0000 : 0x00FF00) : (x == 0 ? 0x0000FF : 0xFF0000);
    }));
}

} // namespace

TEST(PngPalette, ColoursCountInOrderOfFirstAppearanceFromBottomLeft) {
    Image picture;
    SmallExample(picture);
    PixelValue table[256];
    ASSERT_EQ(CountColours(picture, table), 3);
    EXPECT_EQ(table[0], 0xFF0000u);
    EXPECT_EQ(table[1], 0x00FF00u);
    EXPECT_EQ(table[2], 0x0000FFu);

    PngImageInfo info;
    ASSERT_TRUE(BuildPngInfo(picture, info, 8, table, 3));
    EXPECT_EQ(info.RowBytes, 3u);
    const std::vector<std::uint8_t> rows(info.Pixels.Data(), info.Pixels.Data() + 6);
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{0, 2, 0, 0, 0, 1}));
    ASSERT_EQ(info.PaletteCount, 3);
    const std::vector<std::uint8_t> palette(info.Palette.Data(), info.Palette.Data() + 9);
    EXPECT_EQ(palette, (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));

    ASSERT_TRUE(BuildPngInfo(picture, info, 24, nullptr, 0));
    EXPECT_EQ(info.RowBytes, 7u);
    const std::vector<std::uint8_t> top(info.Pixels.Data(), info.Pixels.Data() + 7);
    EXPECT_EQ(top, (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 0, 0}));
    EXPECT_FALSE(BuildPngInfo(picture, info, 8, table, 0));
    EXPECT_FALSE(BuildPngInfo(picture, info, 16, table, 3));
}

TEST(PngPalette, MoreThan256ColoursCountAsZero) {
    for (int colours : {1, 255, 256, 257, 5000}) {
        Image picture;
        ASSERT_TRUE(MakeImage(picture, 100, 60,
                              [&](int x, int y) { return ((y * 100 + x) % colours) * 0x010307; }));
        PixelValue table[256];
        EXPECT_EQ(CountColours(picture, table), colours <= 256 ? colours : 0) << colours;
    }
    Image wide;
    ASSERT_TRUE(wide.Create(4, 4, 32));
    PixelValue table[256];
    EXPECT_EQ(CountColours(wide, table), 0);
}

TEST(PngWriter, RefusesRowsThatDoNotMatchTheHeader) {
    PngImageInfo info;
    const std::string path = "png_writer_refused.png";
    EXPECT_FALSE(PngWriter().Write(path.c_str(), info, 6, 0, kNoTransparency));
    info.Width = 4;
    info.Height = 2;
    info.BitsPerPixel = 24;
    info.RowBytes = 12; // one short of 4 pixels plus the filter byte
    info.Pixels.Allocate(24, true);
    EXPECT_FALSE(PngWriter().Write(path.c_str(), info, 6, 0, kNoTransparency));
    info.RowBytes = 13;
    info.BitsPerPixel = 16;
    EXPECT_FALSE(PngWriter().Write(path.c_str(), info, 6, 0, kNoTransparency));
    EXPECT_FALSE(formats_test::FileExists(path));
}

TEST(PngRoundTrip, SavedPicturesReadBackExactly) {
    const std::string path = "png_round_trip.png";
    for (int colours : {2, 256, 100000}) {
        Image picture;
        ASSERT_TRUE(MakeImage(picture, 31, 17, [&](int x, int y) {
            return ((x * 131 + y * 977) % colours) * 0x0A0B0D;
        }));
        ASSERT_TRUE(SavePng(picture, path.c_str()));
        PngImageInfo info;
        PngReader reader;
        ASSERT_TRUE(reader.Read(path.c_str(), info));
        EXPECT_EQ(info.BitsPerPixel, colours <= 256 ? 8 : 24);
        // Rows read back can be written again whatever filter bytes they held.
        ASSERT_TRUE(PngWriter().Write(path.c_str(), info, 9, kFilterPaeth, kNoTransparency));
        Image loaded;
        ASSERT_TRUE(LoadPng(loaded, path.c_str()));
        EXPECT_EQ(
            formats_test::Psnr(formats_test::FromImage(loaded), formats_test::FromImage(picture)),
            999)
            << colours << " colours";
    }
    DeleteFileA(path.c_str());
}
