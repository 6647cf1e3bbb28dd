#include "image/ByteBuffer.h"
#include "image/Image.h"
#include "support/TestPictures.h"
#include "win/ScopedGdi.h"

#include <gtest/gtest.h>

#include <cstring>

using image::ByteBuffer;
using image::Image;
using image::PixelValue;
using testpictures::SameBlock;

namespace {

// Fills a 24-bit Image with a pattern that differs in every byte position.
void Pattern(Image& img) {
    for (int y = 0; y < img.Height; ++y) {
        for (int x = 0; x < img.Width; ++x) {
            img.WritePixel(x, y, static_cast<PixelValue>((x * 7) | (y * 13) << 8 | (x + y) << 16));
        }
    }
}

// A w x h picture with the pattern, either a bitmap of its own or the corner
// of a larger one whose spare room holds other pixels.
bool MakeSource(Image& img, int w, int h, bool roomy) {
    if (!roomy) {
        return img.Create(w, h, 24) && (Pattern(img), true);
    }
    if (!img.CreateWithRoom(w + 5, h + 4, w + 5, h + 4)) {
        return false;
    }
    img.FillAll(0xA5C3E1);
    return img.SetVisibleSize(w, h) && !img.SetVisibleSize(w + 6, h) && (Pattern(img), true);
}

} // namespace

TEST(Image, GeometryOfTwentyFourBitImages) {
    // Width, stride: rows are padded to four bytes.
    const int widths[][2] = {{1, 4}, {4, 12}, {5, 16}};
    for (const auto& w : widths) {
        Image img;
        ASSERT_TRUE(img.Create(w[0], 3, 24));
        EXPECT_EQ(img.Stride, w[1]) << "width " << w[0];
        EXPECT_EQ(img.TopRowOffset, 2 * w[1]);
    }
    Image img;
    ASSERT_TRUE(img.Create(10, 5, 24));
    EXPECT_EQ(img.PixelAddress(0, 0), img.Bits + 4 * img.Stride);
    EXPECT_EQ(img.PixelAddress(3, 1), img.Bits + 3 * img.Stride + 9);
    EXPECT_EQ(img.PixelAddress(10, 0), nullptr);
    EXPECT_EQ(img.PixelAddress(0, -1), nullptr);
}

TEST(Image, CreateAgainIsCleanAndFailsCleanly) {
    Image img;
    // The same size again keeps the bitmap, as clear as a new one, and shows
    // all of it even when only a corner was shown before.
    ASSERT_TRUE(img.CreateWithRoom(9, 7, 20, 20));
    img.FillAll(0xFFFFFF);
    const HBITMAP first = img.Bitmap;
    ASSERT_TRUE(img.Create(20, 20, 24));
    EXPECT_EQ(img.Bitmap, first);
    EXPECT_EQ(img.Width * 100 + img.Height, 2020);
    for (const POINT p : {POINT{0, 0}, POINT{8, 6}, POINT{19, 19}, POINT{19, 0}}) {
        EXPECT_EQ(img.ReadPixel(p.x, p.y), 0u);
    }
    ASSERT_TRUE(img.Create(20, 21, 24));
    EXPECT_EQ(img.Height, 21);
    EXPECT_FALSE(img.Create(0, 10, 24));
    EXPECT_TRUE(img.IsEmpty());
    EXPECT_FALSE(img.Destroy());
    // Sizes whose pixel block would not fit in 32 bits are refused up front.
    EXPECT_FALSE(img.Create(0x7FFFFFFF, 2, 24));
    EXPECT_FALSE(img.Create(70000, 70000, 24));
    EXPECT_TRUE(img.IsEmpty());
}

TEST(Image, WriteReadAndXor) {
    Image img;
    ASSERT_TRUE(img.Create(4, 4, 24));
    std::uint8_t* p = img.WritePixel(1, 2, 0x302010);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, "\x10\x20\x30", 3), 0);
    EXPECT_EQ(img.ReadPixel(1, 2), 0x302010u);
    EXPECT_EQ(img.ReadPixel(4, 0), 0u);
    EXPECT_EQ(img.WritePixel(-1, 0, 1), nullptr);

    Image wide;
    ASSERT_TRUE(wide.Create(4, 1, 32));
    wide.WritePixel(3, 0, 0xAABBCCDD);
    EXPECT_EQ(wide.ReadPixel(3, 0), 0xBBCCDDu);
}

TEST(Image, FillAreaClipsAndFillAllKeepsPadding) {
    Image img;
    ASSERT_TRUE(img.Create(100, 100, 24));
    img.FillArea(-5, -5, 10, 10, 0x112233);
    img.FillArea(95, 95, 50, 50, 0x445566);
    EXPECT_EQ(img.ReadPixel(0, 0), 0x112233u);
    EXPECT_EQ(img.ReadPixel(4, 4), 0x112233u);
    EXPECT_EQ(img.ReadPixel(5, 4), 0u);
    EXPECT_EQ(img.ReadPixel(94, 99), 0u);
    EXPECT_EQ(img.ReadPixel(99, 99), 0x445566u);
    // An empty size fills everything.
    img.FillArea(0, 0, 0, 0, 0x010203);
    EXPECT_EQ(img.ReadPixel(99, 99), 0x010203u);

    Image padded;
    ASSERT_TRUE(padded.Create(3, 2, 24)); // 9 bytes of pixels, 3 of padding per row
    std::memset(padded.Bits, 0xEE, static_cast<size_t>(padded.Stride) * padded.Height);
    padded.FillAll(0xFF0000);
    for (int y = 0; y < 2; ++y) {
        const std::uint8_t* row = padded.Bits + y * padded.Stride;
        EXPECT_EQ(std::memcmp(row, "\0\0\xFF\0\0\xFF\0\0\xFF\xEE\xEE\xEE", 12), 0);
    }
    Image wide;
    ASSERT_TRUE(wide.Create(2, 2, 32));
    wide.FillAll(0xFF0000);
    EXPECT_EQ(wide.ReadPixel(0, 0), 0u);
}

TEST(Image, BlitFromClipsToBothPictures) {
    Image source;
    ASSERT_TRUE(source.Create(30, 20, 24));
    Pattern(source);
    Image dest;
    ASSERT_TRUE(dest.Create(25, 20, 24));
    dest.BlitFrom(-10, 0, source, 0, 0, 0, 0);
    EXPECT_TRUE(SameBlock(dest, 0, 0, source, 10, 0, 20, 20));
    EXPECT_EQ(dest.ReadPixel(20, 19), 0u);

    Image corner;
    ASSERT_TRUE(corner.Create(10, 10, 24));
    corner.BlitFrom(7, 8, source, 2, 3, 5, 5);
    EXPECT_EQ(corner.ReadPixel(9, 9), source.ReadPixel(4, 4));
    EXPECT_EQ(corner.ReadPixel(6, 9), 0u);

    // A source rectangle reaching past the source is cut, never read beyond it.
    Image big;
    ASSERT_TRUE(big.Create(100, 100, 24));
    big.BlitFrom(0, 0, source, 25, 15, 40, 40);
    EXPECT_EQ(big.ReadPixel(4, 4), source.ReadPixel(29, 19));
    EXPECT_EQ(big.ReadPixel(5, 5), 0u);
}

// A bitmap held by another context cannot be drawn from: the stretch fails.
TEST(Image, StretchAndDrawToAMemoryContext) {
    for (const bool roomy : {false, true}) {
        SCOPED_TRACE(roomy ? "corner of a larger bitmap" : "bitmap of its own");
        Image source;
        ASSERT_TRUE(MakeSource(source, 4, 3, roomy));
        Image converted;
        ASSERT_TRUE(converted.Create(4, 3, 32) && source.StretchTo(converted, false));
        EXPECT_TRUE(SameBlock(converted, 0, 0, source, 0, 0, 4, 3));
        Image doubled;
        ASSERT_TRUE(doubled.Create(8, 6, 24));
        ASSERT_TRUE(source.StretchTo(doubled, false));
        EXPECT_EQ(doubled.ReadPixel(1, 1), source.ReadPixel(0, 0));
        EXPECT_EQ(doubled.ReadPixel(6, 0), source.ReadPixel(3, 0));

        // Drawing onto a DC that holds another Image: the top-left source pixel
        // lands at the requested position, upright; source rectangles are given
        // from the top and clipped to the picture.
        Image target;
        ASSERT_TRUE(target.Create(12, 12, 24));
        target.FillAll(0x123456);
        {
            win::MemoryDC dc;
            win::SelectScope select(dc.Get(), target.Bitmap);
            SetStretchBltMode(dc.Get(), COLORONCOLOR);
            source.DrawTo(dc.Get(), 1, 2, 0, 0, 0, 0);
            source.DrawTo(dc.Get(), -1, 8, 0, 0, 0, 0);
            source.StretchDrawTo(dc.Get(), 6, 6, 4, 4, 1, 1, 2, 2);
            source.StretchDrawTo(dc.Get(), 0, 11, 1, 1, 3, 2, 5, 5);
            GdiFlush();
        }
        EXPECT_TRUE(SameBlock(target, 1, 2, source, 0, 0, 4, 3));
        EXPECT_TRUE(SameBlock(target, 0, 8, source, 1, 0, 3, 3));
        EXPECT_EQ(target.ReadPixel(5, 2), 0x123456u);
        // Source pixels (1, 1) to (2, 2) doubled at (6, 6).
        for (const POINT p : {POINT{6, 6}, POINT{7, 7}, POINT{8, 6}, POINT{9, 9}}) {
            EXPECT_EQ(target.ReadPixel(p.x, p.y), source.ReadPixel(p.x / 2 - 2, p.y / 2 - 2));
        }
        EXPECT_EQ(target.ReadPixel(10, 6), 0x123456u);
        EXPECT_EQ(target.ReadPixel(0, 11), source.ReadPixel(3, 2));
        win::MemoryDC holder;
        win::SelectScope held(holder.Get(), source.Bitmap);
        ASSERT_TRUE(held.Selected());
        EXPECT_FALSE(source.StretchTo(converted, false));
    }
}

TEST(ByteBuffer, AllocateResizeFree) {
    ByteBuffer buffer;
    EXPECT_FALSE(buffer.Resize(10));
    unsigned char* p = buffer.Allocate(16, true);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, std::string(16, '\0').data(), 16), 0);
    p[15] = 42;
    ASSERT_TRUE(buffer.Resize(1 << 20));
    EXPECT_EQ(buffer.Data()[15], 42);
    EXPECT_EQ(buffer.Allocate(static_cast<size_t>(-1) / 2, false), nullptr);
    EXPECT_TRUE(buffer.IsEmpty());
}
