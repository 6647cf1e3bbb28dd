#include "FormatsTestSupport.h"

#include "formats/ClipboardPicture.h"
#include "formats/PngReader.h"
#include "support/TestClipboard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tuple>
#include <vector>

using namespace formats;
using namespace formats_test;
using image::Image;

namespace {

// Replaces the clipboard's contents, as another program would: the "PNG"
// bytes, then a bitmap when one is given.
bool Offer(const Bytes& png, HBITMAP bitmap) {
    const std::pair<UINT, HANDLE> pngBytes = {ClipboardPicture::PngFormat(),
                                              testsupport::Block(png.data(), png.size())};
    return bitmap != nullptr ? testsupport::Offer({pngBytes, {CF_BITMAP, bitmap}})
                             : testsupport::Offer({pngBytes});
}

// A 5 x 3 bitmap of one colour in the screen's format, for the clipboard.
HBITMAP SmallBitmap() {
    Image small;
    EXPECT_TRUE(MakeImage(small, 5, 3, [](int, int) { return 0x123456; }));
    win::GdiObject copy = small.ScreenCopy();
    const auto handle = static_cast<HBITMAP>(copy.Get());
    copy.Release();
    return handle;
}

} // namespace

// The "PNG" format wins over a bitmap beside it; its transparency is blended
// over the background given. Pillow made the PNG and the blend expected of it
// (make_inputs.py). A "PNG" that does not decode leaves the bitmap.
TEST(ClipboardPicture, ReadsThePngFormatFirst) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    const Bytes png = ReadWholeFile(data + "in/half.png");
    const Bytes blended = ReadWholeFile(data + "in/half.png.0000ff.rgb");
    ASSERT_TRUE(png.size() > 8 && blended.size() > 8);
    Bytes damaged = png;
    damaged.resize(40);
    // What the clipboard holds, and the width read.
    const std::tuple<const char*, const Bytes&, bool, int> cases[] = {
        {"PNG alone", png, false, 24},
        {"PNG beside a bitmap", png, true, 24},
        {"damaged PNG beside a bitmap", damaged, true, 5}};
    for (const auto& [what, bytes, bitmap, width] : cases) {
        ASSERT_TRUE(Offer(bytes, bitmap ? SmallBitmap() : nullptr)) << what;
        Image picture;
        ASSERT_TRUE(ClipboardPicture::Read(picture, 0x0000FF)) << what;
        EXPECT_EQ(picture.Width, width) << what;
        EXPECT_TRUE(width != 24 || Dump(picture) == blended) << what;
    }
    ASSERT_TRUE(Offer(damaged, nullptr));
    Image picture;
    EXPECT_FALSE(ClipboardPicture::Read(picture, 0));
}

// Copy puts the picture as "PNG" before the bitmap; both give it back exactly,
// and the PNG goes to Pillow (check_outputs.py) as clipboard.png.
TEST(ClipboardPicture, CopyPutsThePictureAsPngBesideTheBitmap) {
    Image picture;
    ASSERT_TRUE(
        MakeImage(picture, 301, 47, [](int x, int y) { return x * 2654435761u ^ y * 97u; }));
    ClipboardPicture copy;
    ASSERT_TRUE(copy.Take(picture));
    ASSERT_TRUE(copy.Put(nullptr));

    ASSERT_TRUE(OpenClipboard(nullptr));
    const UINT first = EnumClipboardFormats(0);
    CloseClipboard();
    EXPECT_EQ(first, ClipboardPicture::PngFormat());
    // The clipboard still owns its bitmap: a second read gives it again.
    for (int read = 0; read < 2; ++read) {
        Image bitmap;
        ASSERT_TRUE(bitmap.ReadClipboardPicture());
        EXPECT_EQ(Dump(bitmap), Dump(picture));
    }
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(Image::ReadClipboardBytes(ClipboardPicture::PngFormat(), png));
    Image decoded;
    ASSERT_TRUE(LoadPng(decoded, png.data(), png.size(), 0));
    EXPECT_EQ(Dump(decoded), Dump(picture));

    const std::string data = DataDir();
    if (!data.empty()) {
        const std::string path = data + "out/clipboard.png";
        ASSERT_TRUE(WriteWholeFile(path, Bytes(png.begin(), png.end())) &&
                    WriteWholeFile(path + ".rgb", Dump(picture)));
    }
}
