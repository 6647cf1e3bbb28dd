#include "FormatsTestSupport.h"

#include "formats/BmpWriter.h"
#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/MemorySink.h"
#include "formats/PngWriter.h"
#include "formats/WebpWriter.h"
#include "support/TestFiles.h"
#include "win/WidePath.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace formats;
using namespace formats_test;
using image::Image;

namespace {

// Many colours, smooth enough for JPEG to keep them close (no wrap-around
// within 64 x 48 pixels).
std::uint32_t Smooth(int x, int y) {
    return (x * 4 & 0xFF) << 16 | (y * 5 & 0xFF) << 8 | ((x + y) * 2 & 0xFF);
}

// Pictures like those people join: a photograph (gradients with grain), a
// chart of flat colours (a palette file) and the same chart over a gradient
// (too many colours for a palette).
std::uint32_t Photo(int x, int y) {
    const std::uint32_t grain = (x * 2654435761u ^ y * 2246822519u) >> 28;
    return ((x / 3 + grain) & 0xFF) << 16 | ((y / 2 + grain) & 0xFF) << 8 |
           (((x + y) / 5 + grain) & 0xFF);
}
std::uint32_t Chart(int x, int y, std::uint32_t background) {
    const int bar = x / 40;
    if (y % 25 == 0 || x % 40 == 0) {
        return 0xC0C0C0;
    }
    return y > 20 + bar * 37 % 150 && x % 40 > 8 ? 0x3070C0 + bar * 0x101000u : background;
}

template <int quality, bool progressive> bool Jpeg(const Image& picture, const char* path) {
    return SaveJpeg(picture, path, quality, progressive);
}

template <int quality, bool lossless> bool Webp(const Image& picture, const char* path) {
    return SaveWebp(picture, path, quality, lossless);
}

// Each writer, with the least PSNR its files load back with.
const struct {
    const char* name;
    bool (*save)(const Image&, const char*);
    double psnr;
} kWriters[] = {{"a.bmp", SaveBmp, 999},         {"a.png", SavePng, 999},
                {"a.jpg", Jpeg<90, false>, 30},  {"p.jpg", Jpeg<90, true>, 30},
                {"a.webp", Webp<90, false>, 30}, {"l.webp", Webp<90, true>, 999}};

// A joined canvas: tiles of 120 x 90 with gaps of 6, the last row short.
std::uint32_t CanvasPixel(int x, int y) {
    const int column = x / 126, row = y / 96, tx = x % 126, ty = y % 96;
    if (tx >= 120 || ty >= 90) {
        return 0x202020u;
    }
    if (row == 1 && column == 2) {
        return 0xFFFFFFu;
    }
    return (column + row) % 2 != 0 ? Photo(tx, ty) : Chart(tx * 3, ty * 2, 0xFFFFFF);
}

} // namespace

// Folders whose full path is 248 to 250 bytes (a.bmp fits under MAX_PATH, the
// temporary name beside it does not), or of Hangul names (3 bytes a character
// in UTF-8) 300 to 700 bytes long, one of them over MAX_PATH characters: every
// writer saves there and its file loads back. A 32-bit picture, a folder or a
// read-only file at the target, a missing folder, PNG rows that do not match
// their header and a save that fails once the temporary file exists are
// refused, the old file kept. Nothing else is left behind.
TEST(Writers, SaveInFoldersOfAnyLength) {
    wchar_t current[32768];
    const DWORD length = GetCurrentDirectoryW(32768, current);
    const std::string here = file::NarrowText(current, static_cast<int>(length)) + "\\";
    const std::string hangul = testsupport::Repeat("사", 45);
    const std::string mixed = testsupport::Repeat("진", 20) + std::string(25, '_');
    // Each folder: where it starts (relative or the current folder), then its names.
    std::vector<std::vector<std::string>> folders = {{"", hangul, hangul}, {""}};
    for (char i = '0'; i < '5'; ++i) {
        folders.back().push_back(mixed + i);
    }
    for (size_t bytes : {248, 249, 250}) {
        ASSERT_LT(here.size() + 1, bytes) << "the build folder is too deep for this test";
        folders.push_back({here});
        for (size_t total = here.size() - 1; total < bytes;
             total += folders.back().back().size() + 1) {
            const size_t rest = bytes - total - 1;
            folders.back().push_back(std::string(rest <= 100 ? rest : 90, 'x'));
        }
    }
    // JPEG's library refuses a side over 65500 pixels, WebP holds 16383.
    Image picture, wide, tooWide, webpTooTall;
    ASSERT_TRUE(MakeImage(picture, 45, 29, Smooth) && wide.Create(8, 8, 32) &&
                tooWide.Create(65501, 1, 24) && webpTooTall.Create(1, 16384, 24));
    PngImageInfo rows; // one byte short of 4 pixels and the filter byte
    rows.Width = 4;
    rows.Height = 2;
    rows.BitsPerPixel = 24;
    rows.RowBytes = 12;
    rows.Pixels.Allocate(24, true);
    for (const auto& names : folders) {
        std::string folder = names[0];
        for (size_t i = 1; i < names.size(); ++i) {
            folder += names[i] + "\\";
            ASSERT_TRUE(MakeFolder(folder)) << folder.size() << " bytes: " << folder;
        }
        for (const auto& writer : kWriters) {
            const std::string path = folder + writer.name;
            ASSERT_TRUE(writer.save(picture, path.c_str())) << path.size() << " bytes: " << path;
            Image loaded;
            ASSERT_TRUE(LoadImageFile(loaded, path.c_str())) << path;
            EXPECT_GE(Psnr(Dump(loaded), Dump(picture)), writer.psnr) << path;
            EXPECT_FALSE(writer.save(wide, (folder + "wide").c_str())) << writer.name;
            EXPECT_FALSE(writer.save(picture, (folder + "none\\x").c_str())) << writer.name;
            EXPECT_FALSE(writer.save(picture, folder.substr(0, folder.size() - 1).c_str()));
        }
        const std::string old = folder + "a.jpg";
        const Bytes saved = ReadWholeFile(old);
        EXPECT_FALSE(SaveJpeg(tooWide, old.c_str(), 85, false));
        EXPECT_FALSE(SaveWebp(webpTooTall, old.c_str(), 85, true));
        EXPECT_FALSE(PngWriter().Write(old.c_str(), rows, 6));
        const file::WidePath wideOld(old.c_str());
        ASSERT_TRUE(SetFileAttributesW(wideOld.Get(), FILE_ATTRIBUTE_READONLY));
        for (const auto& writer : kWriters) {
            EXPECT_FALSE(writer.save(picture, old.c_str())) << writer.name;
        }
        ASSERT_TRUE(SetFileAttributesW(wideOld.Get(), FILE_ATTRIBUTE_NORMAL));
        EXPECT_EQ(ReadWholeFile(old), saved);
        for (const auto& writer : kWriters) {
            EXPECT_TRUE(RemovePath(folder + writer.name));
        }
        for (size_t i = names.size() - 1; i > 0; --i) {
            EXPECT_TRUE(RemovePath(folder)) << "a file was left in " << folder;
            folder.resize(folder.size() - names[i].size() - 1);
        }
    }
}

// A canvas that keeps spare room beyond its picture saves exactly the file
// its picture alone would give, in every format.
TEST(Writers, SpareRoomIsNeverSaved) {
    Image plain, roomy;
    ASSERT_TRUE(MakeImage(plain, 37, 23, Smooth));
    ASSERT_TRUE(roomy.CreateWithRoom(50, 31, 50, 31));
    roomy.FillAll(0x5A5A5A);
    ASSERT_TRUE(roomy.SetVisibleSize(37, 23));
    roomy.BlitFrom(0, 0, plain, 0, 0, 37, 23);
    for (const auto& writer : kWriters) {
        const std::string a = std::string("plain_") + writer.name;
        const std::string b = std::string("roomy_") + writer.name;
        ASSERT_TRUE(writer.save(plain, a.c_str()) && writer.save(roomy, b.c_str()));
        EXPECT_EQ(ReadWholeFile(a), ReadWholeFile(b)) << writer.name;
        RemovePath(a);
        RemovePath(b);
    }
}

// Writes the files check_outputs.py verifies with Pillow, pngcheck and djpeg,
// each with a dump of the pixels it was made from.
TEST(WrittenFiles, ForIndependentDecoders) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    const std::string out = data + "out/";
    // 257 different colours.
    auto colour = [](int i) { return static_cast<std::uint32_t>(i * 2654435761u) >> 8; };
    // Large enough to be deflated in several bands that must join into one
    // stream: a photograph, a tall thin one and a palette chart.
    Image smooth, odd, one, noise, c256, c257, photo, chart, flat, canvas, big, thin, bigChart,
        longest;
    for (const auto& size : {std::make_pair(2100 * 3, 1500), std::make_pair(200 * 3, 14000),
                             std::make_pair(3000, 2100)}) {
        EXPECT_GE(size.second / BandDeflater::BandRows(size.first + 1), 3u) << size.first;
    }
    ASSERT_TRUE(
        MakeImage(big, 2100, 1500, Photo) && MakeImage(thin, 200, 14000, Photo) &&
        MakeImage(bigChart, 3000, 2100, [](int x, int y) { return Chart(x, y % 400, 0xFFFFFF); }));
    ASSERT_TRUE(
        MakeImage(photo, 400, 300, Photo) &&
        MakeImage(chart, 500, 200, [](int x, int y) { return Chart(x, y, 0xFFFFFF); }) &&
        MakeImage(flat, 500, 200, [](int x, int y) { return Chart(x, y, x / 2 * 0x10001u + y); }) &&
        MakeImage(canvas, 372, 186, CanvasPixel) && MakeImage(smooth, 64, 48, Smooth) &&
        MakeImage(odd, 37, 23, Smooth) && MakeImage(one, 5, 3, [](int, int) { return 0x336699; }) &&
        MakeImage(noise, 300, 200,
                  [](int x, int y) { return x * 2654435761u ^ y * 40503u ^ x * y * 97u; }) &&
        MakeImage(c256, 16, 16, [&](int x, int y) { return colour(y * 16 + x); }) &&
        MakeImage(c257, 19, 15, [&](int x, int y) { return colour((y * 19 + x) % 257); }) &&
        MakeImage(longest, kWebpMaxSide, 2, Photo));
    const struct {
        const char* name;
        const Image& picture;
        bool (*save)(const Image&, const char*);
    } files[] = {{"bmp_odd.bmp", odd, SaveBmp},
                 {"png_rgb.png", odd, SavePng},
                 {"png_one.png", one, SavePng},
                 {"png_256.png", c256, SavePng},
                 {"png_257.png", c257, SavePng},
                 {"png_large.png", noise, SavePng},
                 {"png_photo.png", photo, SavePng},
                 {"png_chart.png", chart, SavePng},
                 {"png_flat.png", flat, SavePng},
                 {"png_canvas.png", canvas, SavePng},
                 {"png_big.png", big, SavePng},
                 {"png_thin.png", thin, SavePng},
                 {"png_big_chart.png", bigChart, SavePng},
                 {"jpeg_q85.jpg", smooth, Jpeg<85, false>},
                 {"jpeg_q85_prog.jpg", smooth, Jpeg<85, true>},
                 {"jpeg_q1.jpg", smooth, Jpeg<1, false>},
                 {"jpeg_q100.jpg", smooth, Jpeg<100, false>},
                 {"jpeg_odd_prog.jpg", odd, Jpeg<85, true>},
                 {"webp_q90.webp", photo, Webp<90, false>},
                 {"webp_q50_odd.webp", odd, Webp<50, false>},
                 {"webp_lossless.webp", canvas, Webp<90, true>},
                 {"webp_lossless_noise.webp", noise, Webp<20, true>},
                 {"webp_longest.webp", longest, Webp<75, true>}};
    for (const auto& file : files) {
        const std::string path = out + file.name;
        ASSERT_TRUE(file.save(file.picture, path.c_str())) << file.name;
        ASSERT_TRUE(WriteWholeFile(path + ".rgb", Dump(file.picture))) << file.name;
        Image loaded;
        const bool exact = file.save == SavePng || file.save == Webp<90, true> ||
                           file.save == Webp<20, true> || file.save == Webp<75, true>;
        EXPECT_TRUE(!exact ||
                    (LoadImageFile(loaded, path.c_str()) && Dump(loaded) == Dump(file.picture)))
            << file.name << " does not load back as saved";
        // The clipboard's copy is the same file, made in memory.
        MemorySink memory;
        EXPECT_TRUE(file.save != SavePng ||
                    (EncodePng(file.picture, memory) && memory.Bytes() == ReadWholeFile(path)))
            << file.name << " is not encoded in memory as saved";
    }
}
