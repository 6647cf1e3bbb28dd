#include "image/Image.h"

#include "TestPictures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <thread>

using image::Image;

namespace {

// Puts one handle on the clipboard in the given format, as another program
// would. The clipboard takes the handle over.
bool Offer(UINT format, HANDLE data) {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    const bool ok = SetClipboardData(format, data) != nullptr;
    CloseClipboard();
    return ok;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

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

void ExpectTopDownPicture(const Image& img, int width, int height) {
    ASSERT_EQ(img.Width, width);
    ASSERT_EQ(img.Height, height);
    ASSERT_EQ(img.BytesPerPixel, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(img.ReadPixel(x, y), Expected(x, y)) << x << "," << y;
        }
    }
}

} // namespace

TEST(Clipboard, CopyThenReadGivesTheSamePixels) {
    Image picture;
    ASSERT_TRUE(picture.Create(37, 21, 24));
    testpictures::FillNoise(picture, 17);
    ASSERT_TRUE(picture.CopyToClipboard());

    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(nullptr));
    BITMAP info = {};
    GetObjectA(GetClipboardData(CF_BITMAP), sizeof(info), &info);
    CloseClipboard();
    EXPECT_EQ(info.bmWidth, 37);
    EXPECT_EQ(info.bmHeight, 21);

    Image pasted;
    ASSERT_TRUE(pasted.Create(2, 2, 32)); // replaced by the clipboard's picture
    ASSERT_TRUE(pasted.ReadClipboardPicture());
    ASSERT_EQ(pasted.Width, 37);
    ASSERT_EQ(pasted.Height, 21);
    ASSERT_EQ(pasted.BytesPerPixel, 3);
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 37; ++x) {
            ASSERT_EQ(pasted.ReadPixel(x, y), picture.ReadPixel(x, y)) << x << "," << y;
        }
    }
    // The clipboard still owns its bitmap: a second read gives it again.
    Image again;
    EXPECT_TRUE(again.ReadClipboardPicture());
    EXPECT_EQ(again.Width, 37);
}

TEST(Clipboard, TopDownBitmapsAreReadUpright) {
    const int width = 9;
    const int height = 6;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    DrawTopDown(static_cast<std::uint8_t*>(bits), width, height);
    ASSERT_TRUE(Offer(CF_BITMAP, section));
    Image fromBitmap;
    ASSERT_TRUE(fromBitmap.ReadClipboardPicture());
    ExpectTopDownPicture(fromBitmap, width, height);

    // Only a device-independent bitmap, stored top-down: the system offers it
    // as CF_BITMAP too.
    const size_t pixels = static_cast<size_t>(width) * height * 4;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixels);
    ASSERT_NE(block, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = info.bmiHeader;
    DrawTopDown(reinterpret_cast<std::uint8_t*>(header + 1), width, height);
    GlobalUnlock(block);
    ASSERT_TRUE(Offer(CF_DIB, block));
    Image fromDib;
    ASSERT_TRUE(fromDib.ReadClipboardPicture());
    ExpectTopDownPicture(fromDib, width, height);
}

TEST(Clipboard, NothingToReadOrCopy) {
    EmptyTheClipboard();
    Image picture;
    ASSERT_TRUE(picture.Create(4, 4, 24));
    EXPECT_FALSE(picture.ReadClipboardPicture());
    EXPECT_FALSE(picture.IsEmpty()) << "kept when the clipboard holds no picture";

    HGLOBAL textBlock = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(textBlock), "hello", 6);
    GlobalUnlock(textBlock);
    ASSERT_TRUE(Offer(CF_TEXT, textBlock));
    EXPECT_FALSE(picture.ReadClipboardPicture());

    Image empty;
    EXPECT_FALSE(empty.CopyToClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP)) << "an empty picture copies nothing";

    // A clipboard held open by another window cannot be written, and its
    // old content stays.
    HWND holder =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(holder, nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    std::thread([&] { EXPECT_FALSE(picture.CopyToClipboard()); }).join();
    CloseClipboard();
    DestroyWindow(holder);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}
