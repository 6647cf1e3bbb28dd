#include "image/Image.h"
#include "support/TestClipboard.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <thread>

using image::Image;
using testsupport::Offer;

namespace {

// Expected pixel (x, y) of a picture drawn by DrawTopDown.
image::PixelValue Expected(int x, int y) {
    return static_cast<image::PixelValue>((x * 20) | ((y * 30) << 8) | (((x + y) * 9) << 16));
}

// Writes the pixels of Expected into 32-bit top-down rows: the first row in
// memory is the top one.
void DrawTopDown(std::uint8_t* bits, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const image::PixelValue v = Expected(x, y);
            std::memcpy(bits + (static_cast<size_t>(y) * width + x) * 4, &v, 4);
        }
    }
}

// Reads the clipboard's picture and compares it with the one DrawTopDown drew.
void ExpectClipboardPicture(int width, int height) {
    Image img, expected;
    ASSERT_TRUE(img.Create(2, 2, 32)); // replaced by the clipboard's picture
    ASSERT_TRUE(img.ReadClipboardPicture());
    ASSERT_EQ(img.BytesPerPixel, 3);
    ASSERT_TRUE(testpictures::MakeImage(expected, width, height, Expected));
    EXPECT_TRUE(testpictures::SamePixels(img, expected));
}

} // namespace

TEST(Clipboard, TopDownBitmapsAreReadUpright) {
    const int width = 9;
    const int height = 6;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    DrawTopDown(static_cast<std::uint8_t*>(bits), width, height);
    ASSERT_TRUE(Offer({{CF_BITMAP, section}}));
    ExpectClipboardPicture(width, height);

    // Only a device-independent bitmap, stored top-down: the system offers it
    // as CF_BITMAP too.
    const size_t pixels = static_cast<size_t>(width) * height * 4;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixels);
    ASSERT_NE(block, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = info.bmiHeader;
    DrawTopDown(reinterpret_cast<std::uint8_t*>(header + 1), width, height);
    GlobalUnlock(block);
    ASSERT_TRUE(Offer({{CF_DIB, block}}));
    ExpectClipboardPicture(width, height);
}

TEST(Clipboard, NothingToReadOrCopy) {
    ASSERT_TRUE(Offer({}));
    Image picture;
    ASSERT_TRUE(picture.Create(4, 4, 24));
    EXPECT_FALSE(picture.ReadClipboardPicture());
    EXPECT_FALSE(picture.IsEmpty()) << "kept when the clipboard holds no picture";

    ASSERT_TRUE(Offer({{CF_TEXT, testsupport::Block("hello", 6)}}));
    EXPECT_FALSE(picture.ReadClipboardPicture());

    Image empty;
    EXPECT_FALSE(Image::PutOnClipboard(nullptr, empty.ScreenCopy()));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP)) << "an empty picture copies nothing";

    // A clipboard held open by another window cannot be written, and its
    // old content stays.
    HWND holder =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(holder, nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    std::thread([&] { EXPECT_FALSE(Image::PutOnClipboard(nullptr, picture.ScreenCopy())); }).join();
    CloseClipboard();
    DestroyWindow(holder);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}
