#include "FormatsTestSupport.h"

#include "formats/BmpWriter.h"
#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/PngWriter.h"

#include <gtest/gtest.h>

#include <random>

using namespace formats;
using namespace formats_test;
using image::Image;

namespace {

// Many colours, smooth enough for JPEG to keep them close (no wrap-around
// within 64 x 48 pixels).
std::uint32_t Smooth(int x, int y) {
    return (x * 4 & 0xFF) << 16 | (y * 5 & 0xFF) << 8 | ((x + y) * 2 & 0xFF);
}

std::uint32_t Noise(int x, int y) {
    return static_cast<std::uint32_t>((x * 2654435761u) ^ (y * 40503u) ^ (x * y * 97u));
}

std::uint32_t Read32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

} // namespace

TEST(BmpWriter, HeadersAndRowsAsTheyLieInMemory) {
    const std::string path = "bmp_writer.bmp";
    ASSERT_TRUE(WriteWholeFile(path, std::vector<std::uint8_t>(500, 0xEE)));
    Image one;
    ASSERT_TRUE(MakeImage(one, 1, 1, [](int, int) { return 0x123456; }));
    ASSERT_TRUE(SaveBmp(one, path.c_str()));
    // An existing, longer file is replaced, not overwritten in place.
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 58u);
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 58, 0, 0, 0, 0, 0, 0,    0,    54,   0, 0,  0, // file header
        40,  0,   0,  0, 1, 0, 0, 0, 1,    0,    0,    0, 1,  0,
        24,  0, // size, width, height, planes, bits
        0,   0,   0,  0, 0, 0, 0, 0, 96,   0,    0,    0, 96, 0,
        0,   0,                                            // compression, image size, 96 ppm
        0,   0,   0,  0, 0, 0, 0, 0, 0x56, 0x34, 0x12, 0}; // colours used/important, the pixel
    EXPECT_EQ(bytes, expected);

    Image six;
    ASSERT_TRUE(MakeImage(six, 3, 2, [](int x, int y) { return y * 0x100 + x; }));
    ASSERT_TRUE(SaveBmp(six, path.c_str()));
    const std::vector<std::uint8_t> rows = ReadWholeFile(path);
    ASSERT_EQ(rows.size(), 78u);
    EXPECT_EQ(Read32(rows, 2), 78u);
    EXPECT_EQ(Read32(rows, 22), 2u);
    EXPECT_EQ(rows[54 + 1], 1) << "the first row in the file is the bottom row";
    EXPECT_EQ(rows[54 + 12 + 1], 0);
    DeleteFileA(path.c_str());
}

TEST(Writers, RefuseWhatTheyCannotWriteAndKeepTheOldFile) {
    Image wide;
    ASSERT_TRUE(wide.Create(8, 8, 32));
    const std::string fresh = "writers_fresh.out";
    EXPECT_FALSE(SaveBmp(wide, fresh.c_str()));
    EXPECT_FALSE(SavePng(wide, fresh.c_str()));
    EXPECT_FALSE(SaveJpeg(wide, fresh.c_str(), 85, false));
    EXPECT_FALSE(FileExists(fresh));

    const std::string folder = "writers_test/";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string old = folder + "keep.jpg";
    const std::vector<std::uint8_t> content = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
    ASSERT_TRUE(WriteWholeFile(old, content));
    // The library refuses a side over 65500 pixels; the writer must report it
    // rather than end the process, and the old file must survive.
    Image tooWide;
    ASSERT_TRUE(tooWide.Create(65501, 1, 24));
    EXPECT_FALSE(SaveJpeg(tooWide, old.c_str(), 85, false));
    EXPECT_EQ(ReadWholeFile(old), content);

    Image small;
    ASSERT_TRUE(MakeImage(small, 5, 5, Smooth));
    // A folder where a file should go, and a folder that does not exist.
    for (const std::string& path : {folder.substr(0, folder.size() - 1), folder + "none/x.png"}) {
        EXPECT_FALSE(SaveBmp(small, path.c_str())) << path;
        EXPECT_FALSE(SavePng(small, path.c_str())) << path;
        EXPECT_FALSE(SaveJpeg(small, path.c_str(), 85, true)) << path;
    }
    EXPECT_EQ(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(TemporaryFilesIn(folder).empty()) << "a failed save left a temporary file";

    // A read-only file is not replaced.
    ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(SavePng(small, old.c_str()));
    EXPECT_FALSE(SaveJpeg(small, old.c_str(), 85, false));
    EXPECT_EQ(ReadWholeFile(old), content);
    ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL));

    ASSERT_TRUE(SaveJpeg(small, old.c_str(), 85, false));
    EXPECT_NE(ReadWholeFile(old), content);
    EXPECT_TRUE(TemporaryFilesIn(folder).empty());
    DeleteFileA(old.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(Writers, PathsInTheProcessCodePage) {
    const std::string folder = "\xEA\xB7\xB8\xEB\xA6\xBC"; // "그림" in UTF-8
    CreateDirectoryA(folder.c_str(), nullptr);
    Image picture;
    ASSERT_TRUE(MakeImage(picture, 7, 5, Smooth));
    const struct {
        const char* name; // "사진.bmp", "사.png", "진.jpg"
        bool (*save)(const Image&, const char*);
    } files[] = {
        {"/\xEC\x82\xAC\xEC\xA7\x84.bmp",
         [](const Image& p, const char* f) { return SaveBmp(p, f); }},
        {"/\xEC\x82\xAC.png", [](const Image& p, const char* f) { return SavePng(p, f); }},
        {"/\xEC\xA7\x84.jpg",
         [](const Image& p, const char* f) { return SaveJpeg(p, f, 95, false); }},
    };
    for (const auto& file : files) {
        const std::string path = folder + file.name;
        ASSERT_TRUE(file.save(picture, path.c_str())) << path;
        Image loaded;
        ASSERT_TRUE(LoadImageFile(loaded, path.c_str())) << path;
        EXPECT_GT(Psnr(FromImage(loaded), FromImage(picture)), 30) << path;
        DeleteFileA(path.c_str());
    }
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "a file was left behind";
}

TEST(JpegWriter, SystemDecoderReadsBackTheSamePicture) {
    const std::string path = "jpeg_round_trip.jpg";
    Image picture;
    ASSERT_TRUE(MakeImage(picture, 45, 29, Smooth));
    for (bool progressive : {false, true}) {
        ASSERT_TRUE(SaveJpeg(picture, path.c_str(), 90, progressive));
        Image loaded;
        ASSERT_TRUE(LoadImageFile(loaded, path.c_str())) << "progressive " << progressive;
        EXPECT_GT(Psnr(FromImage(loaded), FromImage(picture)), 30) << "progressive " << progressive;
    }
    DeleteFileA(path.c_str());
}

// Writes the files check_outputs.py verifies with Pillow, pngcheck and djpeg,
// each with a dump of the pixels it was made from.
TEST(WrittenFiles, ForIndependentDecoders) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    const std::string out = data + "out/";
    auto write = [&](const std::string& name, const Image& picture, auto save) {
        ASSERT_TRUE(save(picture, (out + name).c_str())) << name;
        ASSERT_TRUE(WriteDump(out + name + ".rgb", picture)) << name;
    };
    auto bmp = [](const Image& p, const char* path) { return SaveBmp(p, path); };
    auto png = [](const Image& p, const char* path) { return SavePng(p, path); };
    auto jpeg = [](int quality, bool progressive) {
        return [=](const Image& p, const char* path) {
            return SaveJpeg(p, path, quality, progressive);
        };
    };

    Image smooth, one, tiny, odd, large;
    ASSERT_TRUE(MakeImage(smooth, 64, 48, Smooth));
    ASSERT_TRUE(MakeImage(odd, 37, 23, Smooth));
    ASSERT_TRUE(MakeImage(one, 5, 3, [](int, int) { return 0x336699; }));
    ASSERT_TRUE(MakeImage(tiny, 1, 1, [](int, int) { return 0xC08040; }));
    ASSERT_TRUE(MakeImage(large, 300, 200, Noise));
    write("bmp_odd.bmp", odd, bmp);
    write("bmp_1x1.bmp", tiny, bmp);

    std::mt19937 random(99);
    std::vector<std::uint32_t> colours(257);
    for (auto& c : colours) {
        c = random() & 0xFFFFFF;
    }
    Image c256, c257, example;
    ASSERT_TRUE(MakeImage(c256, 16, 16, [&](int x, int y) { return colours[y * 16 + x]; }));
    ASSERT_TRUE(MakeImage(c257, 19, 15, [&](int x, int y) { return colours[(y * 19 + x) % 257]; }));
    ASSERT_TRUE(MakeImage(example, 2, 2, [](int x, int y) {
        return y == 1 ? (x == 0 ? 0xFF0000 : 0x00FF00) : (x == 0 ? 0x0000FF : 0xFF0000);
    }));
    write("png_rgb.png", odd, png);
    write("png_one.png", one, png);
    write("png_256.png", c256, png);
    write("png_257.png", c257, png);
    write("png_2x2.png", example, png);
    write("png_large.png", large, png);

    // The writer's other filter types and its transparency chunk, which the
    // save command does not use.
    image::PixelValue table[256];
    const int count = CountColours(c256, table);
    for (int filter = 1; filter <= 4; ++filter) {
        for (int bits : {24, 8}) {
            const Image& picture = bits == 24 ? odd : c256;
            PngImageInfo info;
            ASSERT_TRUE(BuildPngInfo(picture, info, bits, table, count));
            const std::string name =
                "png_filter" + std::to_string(filter) + (bits == 8 ? "_pal.png" : ".png");
            ASSERT_TRUE(PngWriter().Write((out + name).c_str(), info, 6, filter, kNoTransparency));
            ASSERT_TRUE(WriteDump(out + name + ".rgb", picture));
        }
    }
    PngImageInfo rgb, palette;
    ASSERT_TRUE(BuildPngInfo(odd, rgb, 24, nullptr, 0));
    ASSERT_TRUE(
        PngWriter().Write((out + "png_trns_rgb.png").c_str(), rgb, 6, 0, kTopLeftTransparency));
    ASSERT_TRUE(BuildPngInfo(c256, palette, 8, table, count));
    // Colours are passed with red in the lowest byte.
    const std::uint32_t third = (table[2] >> 16) | (table[2] & 0xFF00) | (table[2] & 0xFF) << 16;
    ASSERT_TRUE(PngWriter().Write((out + "png_trns_pal.png").c_str(), palette, 6, 0, third));
    ASSERT_TRUE(WriteDump(out + "png_trns_rgb.png.rgb", odd));
    ASSERT_TRUE(WriteDump(out + "png_trns_pal.png.rgb", c256));

    write("jpeg_q85.jpg", smooth, jpeg(85, false));
    write("jpeg_q85_prog.jpg", smooth, jpeg(85, true));
    write("jpeg_q1.jpg", smooth, jpeg(1, false));
    write("jpeg_q100.jpg", smooth, jpeg(100, false));
    write("jpeg_1x1.jpg", tiny, jpeg(85, false));
    write("jpeg_odd_prog.jpg", odd, jpeg(85, true));
    Image halves;
    ASSERT_TRUE(MakeImage(halves, 32, 16, [](int x, int) { return x < 16 ? 0xFF0000 : 0x0000FF; }));
    write("jpeg_redblue.jpg", halves, jpeg(85, false));
}
