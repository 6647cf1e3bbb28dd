#include "FormatsTestSupport.h"

#include "formats/GifScanner.h"
#include "formats/ImageLoader.h"
#include "formats/PngReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

using namespace formats;
using namespace formats_test;
using image::Image;

namespace {

// A loaded picture must be a well-formed 24-bit Image whose memory is all
// there; a refused one must be empty.
void ExpectCanonicalOrEmpty(const Image& picture, bool loaded, const std::string& what) {
    if (!loaded) {
        EXPECT_TRUE(picture.IsEmpty()) << what;
        return;
    }
    ASSERT_EQ(picture.BytesPerPixel, 3) << what;
    ASSERT_GT(picture.Width, 0) << what;
    ASSERT_GT(picture.Height, 0) << what;
    EXPECT_EQ(picture.Stride, image::RowStride(picture.Width, 24)) << what;
    EXPECT_EQ(picture.TopRowOffset, (picture.Height - 1) * picture.Stride) << what;
    // The first and the last byte of the pixel memory must be readable.
    volatile std::uint8_t first = picture.Bits[0];
    volatile std::uint8_t last = picture.Bits[picture.TopRowOffset + picture.Stride - 1];
    (void)first;
    (void)last;
}

// Runs the cases of a list make_inputs.py wrote: every picture loads as its
// independent decoder says, or is refused; the GIF scan finds the transparent
// colour the encoder set. Returns the number of cases.
int RunCases(const std::string& in, const std::string& list) {
    const std::vector<std::uint8_t> text = ReadWholeFile(in + list);
    std::istringstream cases(std::string(text.begin(), text.end()));
    int count = 0;
    for (std::string line; std::getline(cases, line); ++count) {
        std::istringstream words(line);
        std::string kind, name;
        words >> kind >> name;
        const std::string path = in + name;
        if (kind == "gifcolour") {
            std::int32_t expected = 0;
            words >> expected;
            EXPECT_EQ(FindGifTransparentColour(path.c_str()), expected) << name;
            continue;
        }
        Image picture;
        const bool loaded = LoadImageFile(picture, path.c_str());
        ExpectCanonicalOrEmpty(picture, loaded, name);
        if (kind == "refuse") {
            EXPECT_FALSE(loaded) << name << " should be refused";
            continue;
        }
        std::string dumpName;
        double psnr = 999;
        words >> dumpName >> psnr;
        Rgb expected;
        if (!ReadDump(in + dumpName, expected)) {
            ADD_FAILURE() << "no dump " << dumpName;
        } else if (!loaded) {
            ADD_FAILURE() << name << " did not load";
        } else {
            const Rgb got = FromImage(picture);
            EXPECT_EQ(got.width, expected.width) << name;
            EXPECT_EQ(got.height, expected.height) << name;
            EXPECT_GE(Psnr(got, expected), psnr) << name;
        }
    }
    return count;
}

} // namespace

TEST(LoadImageFile, PicturesFromIndependentEncoders) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    EXPECT_GT(RunCases(data + "in/", "cases.txt"), 45) << "cases.txt is incomplete";
}

// Files accepted are compared with Pillow's pixels (alpha dropped, CRCs
// repaired); interlaced, 16-bit, grey-with-alpha and corrupt files are refused.
TEST(LoadImageFile, PngSuite) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    if (!FileExists(data + "in/suite.txt")) {
        GTEST_SKIP() << "the PNG suite (QUILTORA_TESTDATA/pngsuite) was not found";
    }
    EXPECT_GT(RunCases(data + "in/", "suite.txt"), 150) << "suite.txt is incomplete";
}

TEST(LoadImageFile, BmpComesOutAtTwentyFourBits) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    Image picture;
    ASSERT_TRUE(LoadBmp(picture, (data + "in/bmp8.bmp").c_str()));
    EXPECT_EQ(picture.BytesPerPixel, 3);
    // A file that cannot be opened leaves the Image as it was.
    EXPECT_FALSE(LoadImageFile(picture, (data + "in/missing.png").c_str()));
    EXPECT_FALSE(picture.IsEmpty());
    EXPECT_FALSE(LoadPng(picture, (data + "in/missing.png").c_str()));
    EXPECT_TRUE(picture.IsEmpty());
}

// Truncated and byte-mutated copies of valid files: no crash or hang, and
// every result either refused or a canonical picture. The seed is fixed so a
// failure reproduces; the case number is in the message.
TEST(LoadImageFile, SurvivesDamagedFiles) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    const struct {
        const char* name;
        int cases;
    } seeds[] = {
        {"seed_rgb.png", 2500},  {"seed_pal.png", 2000},    {"seed_grey.png", 1500},
        {"seed_rgba.png", 1000}, {"rgba_filters.png", 800}, {"gif_app_first.gif", 800},
        {"gif_plain.gif", 600},  {"bmp24.bmp", 600},        {"bmp8.bmp", 600},
        {"topdown24.bmp", 300},  {"seed.jpg", 800},
    };
    std::mt19937 random(20240531);
    const std::string work = data + "fuzz";
    int loaded = 0;
    int total = 0;
    for (const auto& seed : seeds) {
        const std::vector<std::uint8_t> original = ReadWholeFile(data + "in/" + seed.name);
        ASSERT_GT(original.size(), 16u) << seed.name;
        const std::string path =
            work + std::string(seed.name).substr(std::string(seed.name).find('.'));
        for (int i = 0; i < seed.cases; ++i, ++total) {
            std::vector<std::uint8_t> bytes = original;
            switch (i % 4) {
            case 0: // cut anywhere
                bytes.resize(random() % bytes.size());
                break;
            case 1: // damage in the headers, where sizes and types live
                for (unsigned n = 1 + random() % 3; n > 0; --n) {
                    bytes[random() % std::min<size_t>(64, bytes.size())] =
                        static_cast<std::uint8_t>(random());
                }
                break;
            default: // damage anywhere, sometimes cut as well
                for (unsigned n = 1 + random() % 6; n > 0; --n) {
                    bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
                }
                if (i % 4 == 3) {
                    bytes.resize(bytes.size() / 2 + random() % (bytes.size() / 2));
                }
                break;
            }
            ASSERT_TRUE(WriteWholeFile(path, bytes));
            const std::string what = std::string(seed.name) + " case " + std::to_string(i);
            const std::int32_t colour = FindGifTransparentColour(path.c_str());
            EXPECT_TRUE(colour == kNoTransparentColour || (colour >= 0 && colour <= 0xFFFFFF))
                << what;
            Image picture;
            const bool ok = LoadImageFile(picture, path.c_str());
            ExpectCanonicalOrEmpty(picture, ok, what);
            loaded += ok ? 1 : 0;
        }
        DeleteFileA(path.c_str());
    }
    std::printf("damaged files: %d of %d loaded, the others refused\n", loaded, total);
}
