#include "FormatsTestSupport.h"

#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/PictureHeader.h"
#include "formats/PngReader.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <sstream>
#include <tuple>

using namespace formats;
using namespace formats_test;
using image::Image;

namespace {

// A loaded picture must be a well-formed 24-bit Image whose memory is all
// there (its first and last bytes are read); a refused one must be empty and
// not called damaged.
bool Load(const std::string& path, const std::string& what, Image& picture,
          std::uint32_t background = kWhiteBackground, bool* damaged = nullptr) {
    bool damagedFile = true;
    const bool loaded = LoadImageFile(picture, path.c_str(), background, &damagedFile);
    if (damaged != nullptr) {
        *damaged = damagedFile;
    }
    if (!loaded) {
        EXPECT_TRUE(picture.IsEmpty() && !damagedFile) << what;
        return false;
    }
    EXPECT_TRUE(picture.BytesPerPixel == 3 && picture.Width > 0 && picture.Height > 0 &&
                picture.Stride == image::RowStride(picture.Width, 24) &&
                picture.TopRowOffset == (picture.Height - 1) * picture.Stride)
        << what;
    volatile std::uint8_t ends =
        picture.Bits[0] ^ picture.Bits[picture.TopRowOffset + picture.Stride - 1];
    (void)ends;
    return true;
}

bool Load(const Bytes& bytes, const std::string& path, const std::string& what) {
    Image picture;
    EXPECT_TRUE(WriteWholeFile(path, bytes)) << what;
    return Load(path, what, picture);
}

// Runs the cases of a list make_inputs.py wrote: every picture loads as its
// independent decoder says, or is refused. Returns the number of cases.
int RunCases(const std::string& in, const std::string& list) {
    const Bytes text = ReadWholeFile(in + list);
    std::istringstream cases(std::string(text.begin(), text.end()));
    int count = 0;
    // One Image for every case: a loader may decode into the bitmap of the
    // picture before when the sizes match.
    Image picture;
    for (std::string line; std::getline(cases, line); ++count) {
        std::istringstream words(line);
        std::string kind, name, dump;
        double psnr = 999;
        int tolerance = 0;
        words >> kind >> name;
        // "over" names the background (a COLORREF) the picture is loaded over.
        std::uint32_t background = kWhiteBackground;
        words >> dump;
        if (kind == "over") {
            words >> std::hex >> background;
        } else if (kind == "near" || kind == "damaged") {
            words >> tolerance; // for a damaged file: the rows that must match
        } else {
            words >> psnr;
        }
        if (kind == "refuse") {
            picture.Destroy(); // files no decoder takes leave the Image as it was
        }
        bool damaged = false;
        const bool loaded = Load(in + name, name, picture, background, &damaged);
        if (kind == "refuse") {
            EXPECT_FALSE(loaded) << name << " should be refused";
            continue;
        }
        const Bytes expected = ReadWholeFile(in + dump);
        EXPECT_TRUE(loaded && expected.size() > 8) << name << " did not load, or has no dump";
        // The job's size estimate counts every picture the loader takes.
        PictureHeader header;
        EXPECT_TRUE(header.Read((in + name).c_str()) && header.Width() == picture.Width &&
                    header.Height() == picture.Height)
            << name << ": the size estimate does not take it as loaded";
        EXPECT_EQ(damaged, kind == "damaged") << name;
        if (kind == "damaged") {
            const Bytes got = Dump(picture);
            const size_t rowsEnd = 8 + static_cast<size_t>(tolerance) * picture.Width * 3;
            EXPECT_TRUE(got.size() == expected.size() && rowsEnd <= got.size() &&
                        std::equal(got.begin(), got.begin() + rowsEnd, expected.begin()))
                << name << ": the top " << tolerance << " rows differ from " << dump;
        } else if (kind == "near") {
            EXPECT_LE(MaxDifference(Dump(picture), expected), tolerance) << name;
        } else {
            EXPECT_GE(Psnr(Dump(picture), expected), psnr) << name;
        }
    }
    return count;
}

// The highest working set of the process so far, in MiB.
SIZE_T PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    const BOOL got = GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return got ? counters.PeakWorkingSetSize >> 20 : ~SIZE_T(0);
}

void Put(Bytes& bytes, size_t at, std::uint64_t value, int size, bool bigEndian = false) {
    for (int i = 0; i < size && at + i < bytes.size(); ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * (bigEndian ? size - 1 - i : i)));
    }
}

// A BMP file with a 40-byte header, every colour of its table used.
Bytes Bmp(int width, int height, int bits, int compression, const Bytes& table, const Bytes& data) {
    Bytes file = {'B', 'M'};
    file.resize(54);
    const size_t offset = file.size() + table.size();
    Put(file, 2, offset + data.size(), 4);
    Put(file, 10, offset, 4);
    Put(file, 14, 40, 4);
    Put(file, 18, std::uint32_t(width), 4);
    Put(file, 22, std::uint32_t(height), 4);
    Put(file, 26, 1u | bits << 16, 4); // planes, bit count
    Put(file, 30, std::uint32_t(compression), 4);
    Put(file, 34, data.size(), 4);
    Put(file, 46, table.size() / 4, 4);
    file.insert(file.end(), table.begin(), table.end());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// A 16 x 16 JPEG file of the writer, and where a marker's segment (its length
// field) starts in it.
Bytes Jpeg(bool progressive) {
    Image picture;
    EXPECT_TRUE(
        MakeImage(picture, 16, 16, [](int x, int y) { return x * 0x0F0301 + y * 0x0F07; }) &&
        SaveJpeg(picture, "seed.jpg", 75, progressive));
    const Bytes bytes = ReadWholeFile("seed.jpg");
    RemovePath("seed.jpg");
    return bytes;
}

size_t Segment(const Bytes& file, std::uint8_t marker) {
    const std::uint8_t code[2] = {0xFF, marker};
    return std::search(file.begin(), file.end(), code, code + 2) - file.begin() + 2;
}

} // namespace

TEST(LoadImageFile, PicturesFromIndependentEncoders) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    EXPECT_GT(RunCases(data + "in/", "cases.txt"), 100) << "cases.txt is incomplete";
}

// libwebp's own test pictures load as dwebp decodes them.
TEST(LoadImageFile, LibwebpTestPictures) {
    const std::string data = DataDir();
    if (data.empty() || ReadWholeFile(data + "in/webp_suite.txt").empty()) {
        GTEST_SKIP() << (data.empty() ? kNoData
                                      : "libwebp's test pictures (QUILTORA_WEBP_TESTS, kept by "
                                        "scripts/bootstrap in deps/src/libwebp-tests) were not "
                                        "found");
    }
    EXPECT_GE(RunCases(data + "in/", "webp_suite.txt"), 3) << "webp_suite.txt is incomplete";
}

// Every valid file of the suite loads as ImageMagick decodes it (16-bit
// samples reduced to their high bytes), blended over a background colour; the
// corrupt ones are refused.
TEST(LoadImageFile, PngSuite) {
    const std::string data = DataDir();
    if (data.empty() || ReadWholeFile(data + "in/suite.txt").empty()) {
        GTEST_SKIP() << (data.empty() ? kNoData
                                      : "the PNG suite (QUILTORA_TESTDATA/pngsuite) was not found");
    }
    EXPECT_GT(RunCases(data + "in/", "suite.txt"), 150) << "suite.txt is incomplete";
}

// The reader's output layouts: grey stays palette indices over a grey ramp,
// but 16-bit grey with a transparent value becomes RGBA without a palette.
TEST(PngReader, OutputLayoutsAndTheirPalettes) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    // The file, its bits per pixel and its palette's size.
    const std::tuple<const char*, int, int> cases[] = {
        {"seed_grey.png", 8, 256}, {"grey16_trns.png", 32, 0}, {"seed_rgb.png", 24, 0}};
    for (const auto& [name, bits, paletteCount] : cases) {
        PngImageInfo info;
        ASSERT_TRUE(PngReader().Read((data + "in/" + name).c_str(), info)) << name;
        EXPECT_EQ(info.BitsPerPixel, bits) << name;
        EXPECT_EQ(info.PaletteCount, paletteCount) << name;
        EXPECT_EQ(info.Palette.IsEmpty(), paletteCount == 0) << name;
    }
}

// Files that crashed the system's decoders, made them take gigabytes or would
// keep a decoder busy for minutes: each is refused, and the process stays
// small.
TEST(LoadImageFile, RefusesCraftedFiles) {
    std::vector<std::pair<std::string, Bytes>> files;
    for (int offset = 0; offset <= 13; ++offset) {
        files.push_back(
            {"BMP pixel offset " + std::to_string(offset), Bmp(5, 3, 24, BI_RGB, {}, Bytes(48))});
        Put(files.back().second, 10, offset, 4);
    }
    // Offset 0 and pixel data 38 bytes short of the rows, in 4096 bytes.
    files.push_back({"BMP short after offset 0", Bmp(4, 340, 24, BI_RGB, {}, Bytes(4042))});
    Put(files.back().second, 10, 0, 4);
    // Run-length files of 64 bytes claiming 26000 x 26000 pixels.
    files.push_back({"RLE8", Bmp(26000, 26000, 8, BI_RLE8, Bytes(4), {0, 0, 0, 0, 0, 1})});
    files.push_back({"RLE4", Bmp(26000, 26000, 4, BI_RLE4, Bytes(4), {0, 0, 0, 0, 0, 1})});
    for (bool progressive : {false, true}) {
        const Bytes seed = Jpeg(progressive);
        const size_t frame = Segment(seed, progressive ? 0xC2 : 0xC0);
        const std::string kind = progressive ? "progressive JPEG " : "JPEG ";
        const int sizes[][2] = {{65500, 26000}, {26000, 26000}, {16384, 16384}, {0, 16}, {16, 0}};
        for (const auto& size : sizes) {
            files.push_back(
                {kind + std::to_string(size[0]) + " x " + std::to_string(size[1]), seed});
            Put(files.back().second, frame + 3, std::uint32_t(size[1]), 2, true);
            Put(files.back().second, frame + 5, std::uint32_t(size[0]), 2, true);
        }
        files.push_back({kind + "without a frame header", seed});
        files.back().second[frame - 1] = 0xE5;
    }
    // The last scan (up to the end marker) of a progressive file 600 times.
    Bytes scans = Jpeg(true);
    const std::uint8_t sos[2] = {0xFF, 0xDA};
    const Bytes last(std::find_end(scans.begin(), scans.end(), sos, sos + 2), scans.end() - 2);
    for (int i = 0; i < 600; ++i) {
        scans.insert(scans.end() - 2, last.begin(), last.end());
    }
    files.push_back({"progressive JPEG of 600 scans", scans});
    // JPEG frames are checked alike by the size estimate, which reads the
    // scans no further.
    files.push_back({"JPEG without a marker", Jpeg(false)});
    files.back().second[3] = 0;
    for (const auto& file : files) {
        EXPECT_FALSE(Load(file.second, "crafted", file.first)) << file.first;
        const bool jpeg = file.second[0] == 0xFF && file.first.find("scans") == std::string::npos;
        EXPECT_FALSE(jpeg && PictureHeader().Read("crafted")) << file.first;
    }
    EXPECT_LT(PeakMegabytes(), 512u);
    // A file that cannot be opened leaves the Image as it was.
    Image picture;
    ASSERT_TRUE(picture.Create(2, 2, 24));
    EXPECT_FALSE(LoadImageFile(picture, "crafted.missing") || picture.IsEmpty());
    RemovePath("crafted");
}

// Header fields set to extreme values, then files damaged at random: no crash
// or hang, every result either refused or a canonical picture, and no decoder
// takes much memory. The random seed is fixed so a failure reproduces.
TEST(LoadImageFile, SurvivesDamagedHeaderFields) {
    const std::uint64_t values[] = {0, 1, 13, 0x7FFF, 0xFFFF, 65500, 0x7FFFFFFF, 0xFFFFFFFF};
    const Bytes table(1024, 0x5A);
    // Each seed with its fields: {position, size, position of a field set alike
    // (the same one when there is none)}.
    using Fields = std::vector<std::array<size_t, 3>>;
    const Fields bmpFields = {{2, 4, 2},   {10, 4, 10}, {14, 4, 14}, {18, 4, 22},
                              {18, 4, 18}, {22, 4, 22}, {26, 2, 26}, {28, 2, 28},
                              {30, 4, 30}, {34, 4, 34}, {46, 4, 46}};
    std::vector<std::pair<Bytes, Fields>> seeds = {
        {Bmp(5, 3, 24, BI_RGB, {}, Bytes(48)), bmpFields},
        {Bmp(7, 4, 8, BI_RGB, table, Bytes(32, 9)), bmpFields},
        {Bmp(7, 4, 8, BI_RLE8, Bytes(table.begin(), table.begin() + 64),
             {4, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 6, 0, 0, 1}),
         bmpFields}};
    for (bool progressive : {false, true}) {
        const Bytes jpeg = Jpeg(progressive);
        const size_t f = Segment(jpeg, progressive ? 0xC2 : 0xC0);
        const size_t s = Segment(jpeg, 0xDA);
        // Lengths of APP0, DQT, DHT, the frame and the scan, the frame's sides
        // (also both at once), component count and first sampling factors,
        // and the scan's component count.
        seeds.push_back(
            {jpeg, {{f + 3, 2, f + 5}, {f + 7, 1, f + 7}, {f + 9, 1, f + 9}, {s + 2, 1, s + 2}}});
        for (size_t at :
             {size_t(4), Segment(jpeg, 0xDB), Segment(jpeg, 0xC4), f, f + 3, f + 5, s}) {
            seeds.back().second.push_back({at, 2, at});
        }
    }
    for (size_t seed = 0; seed < seeds.size(); ++seed) {
        const bool jpeg = seeds[seed].first[0] == 0xFF;
        for (const auto& field : seeds[seed].second) {
            for (std::uint64_t value : values) {
                Bytes bytes = seeds[seed].first;
                Put(bytes, field[0], value, static_cast<int>(field[1]), jpeg);
                Put(bytes, field[2], value, static_cast<int>(field[1]), jpeg);
                Load(bytes, "field",
                     "seed " + std::to_string(seed) + ", " + std::to_string(value) + " at " +
                         std::to_string(field[0]));
            }
        }
    }
    RemovePath("field");
    EXPECT_LT(PeakMegabytes(), 512u);
}

TEST(LoadImageFile, SurvivesRandomDamage) {
    // Seeds that make_inputs.py wrote, with the number of damaged copies.
    const std::pair<const char*, int> files[] = {
        {"seed_rgb.png", 600},       {"seed_pal.png", 500},
        {"seed_grey.png", 400},      {"seed_rgba.png", 250},
        {"rgba_filters.png", 200},   {"gif_app_first.gif", 200},
        {"gif_plain.gif", 150},      {"bmp24.bmp", 150},
        {"bmp8.bmp", 150},           {"bmp4_rle.bmp", 150},
        {"bmp24_40_down.bmp", 100},  {"seed.jpg", 200},
        {"exif6.jpg", 100},          {"seed_q75.webp", 150},
        {"seed_lossless.webp", 150}, {"seed_alpha_lossy.webp", 100},
        {"seed_anim.webp", 100}};
    const std::string data = DataDir();
    std::mt19937 random(20240531);
    for (const auto& file : files) {
        if (data.empty()) {
            break; // run through ctest
        }
        const Bytes original = ReadWholeFile(data + "in/" + file.first);
        ASSERT_GT(original.size(), 64u) << file.first;
        const std::string path = data + "fuzz";
        for (int i = 0; i < file.second; ++i) {
            // Cut short, damaged in the headers, damaged anywhere, or both.
            Bytes bytes = original;
            for (unsigned n = i % 4 == 0 ? 0 : 1 + random() % 4; n > 0; --n) {
                bytes[random() % (i % 4 == 1 ? 64 : bytes.size())] = std::uint8_t(random());
            }
            if (i % 4 == 0 || i % 4 == 3) {
                bytes.resize(random() % bytes.size());
            }
            const std::string what = std::string(file.first) + " copy " + std::to_string(i);
            Load(bytes, path, what);
            // The clipboard's PNG bytes are read from memory just as a file.
            Image fromFile, fromMemory;
            const bool png = std::strstr(file.first, ".png") != nullptr;
            const bool loaded = png && LoadPng(fromFile, path.c_str());
            EXPECT_TRUE(!png || (LoadPng(fromMemory, bytes.data(), bytes.size(),
                                         kWhiteBackground) == loaded &&
                                 Dump(fromFile) == Dump(fromMemory)))
                << what << " from memory";
        }
        RemovePath(path);
    }
    EXPECT_LT(PeakMegabytes(), 512u);
}

namespace {

// Where each kind of chunk of a WebP file first starts (its fourcc), the
// chunks inside an animation frame included.
std::map<std::string, size_t> WebpChunks(const Bytes& file) {
    std::map<std::string, size_t> chunks;
    for (size_t at = 12, end = file.size(); at + 8 <= end;) {
        const std::string kind(file.begin() + at, file.begin() + at + 4);
        const size_t size = file[at + 4] | file[at + 5] << 8 | file[at + 6] << 16;
        chunks.emplace(kind, at);
        if (kind == "ANMF") {
            end = std::min(file.size(), at + 8 + size); // the frame's own chunks follow
            at += 8 + 16;
        } else {
            at += 8 + size + (size & 1);
        }
    }
    return chunks;
}

} // namespace

// WebP files with header and chunk fields set to extreme values, and cut at
// every thirty-second of their length: no crash, every result refused or a
// canonical picture, and the process stays small. The slowest load is shown.
TEST(LoadImageFile, SurvivesDamagedWebp) {
    const std::string data = DataDir();
    if (data.empty()) {
        GTEST_SKIP() << kNoData;
    }
    const std::uint64_t values[] = {0,      1,      2,      13,         0x7F,      0xFF,
                                    0x3FFF, 0x4000, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF};
    // {chunk, offset from the chunk's start (8: its data), size, offset of a
    // field set alike}: every chunk's length, the RIFF length, the canvas, the
    // lossy frame tag, start code and sides, the lossless signature and
    // sides, the alpha header, the animation's colour and loop count, and a
    // frame's place, size, duration and flags.
    const struct {
        const char* chunk;
        size_t at, size, alike;
    } fields[] = {
        {"VP8X", 4, 4, 4},   {"VP8X", 8, 1, 8},   {"VP8X", 12, 3, 12}, {"VP8X", 15, 3, 15},
        {"VP8 ", 4, 4, 4},   {"VP8 ", 8, 3, 8},   {"VP8 ", 11, 3, 11}, {"VP8 ", 14, 2, 16},
        {"VP8 ", 14, 2, 14}, {"VP8 ", 16, 2, 16}, {"VP8L", 4, 4, 4},   {"VP8L", 8, 1, 8},
        {"VP8L", 9, 4, 9},   {"VP8L", 9, 2, 9},   {"VP8L", 11, 2, 11}, {"ALPH", 4, 4, 4},
        {"ALPH", 8, 1, 8},   {"ANIM", 4, 4, 4},   {"ANIM", 8, 4, 8},   {"ANIM", 12, 2, 12},
        {"ANMF", 4, 4, 4},   {"ANMF", 8, 3, 11},  {"ANMF", 14, 3, 17}, {"ANMF", 14, 3, 14},
        {"ANMF", 17, 3, 17}, {"ANMF", 20, 3, 20}, {"ANMF", 23, 1, 23}};
    const std::string path = data + "webp_field";
    double slowest = 0;
    std::string slowestName;
    auto load = [&](const Bytes& bytes, const std::string& what) {
        LARGE_INTEGER start, end, frequency;
        QueryPerformanceCounter(&start);
        Load(bytes, path, what);
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        const double seconds = double(end.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (seconds > slowest) {
            slowest = seconds;
            slowestName = what;
        }
    };
    int mutated = 0;
    for (const char* name :
         {"seed_q75.webp", "seed_lossless.webp", "seed_alpha_lossy.webp", "seed_anim.webp"}) {
        const Bytes seed = ReadWholeFile(data + "in/" + name);
        ASSERT_GT(seed.size(), 64u) << name;
        const auto chunks = WebpChunks(seed);
        for (std::uint64_t value : values) {
            Bytes bytes = seed;
            Put(bytes, 4, value, 4);
            load(bytes, std::string(name) + ", RIFF length " + std::to_string(value));
        }
        for (const auto& field : fields) {
            const auto chunk = chunks.find(field.chunk);
            for (std::uint64_t value : values) {
                if (chunk == chunks.end()) {
                    break;
                }
                Bytes bytes = seed;
                Put(bytes, chunk->second + field.at, value, static_cast<int>(field.size));
                Put(bytes, chunk->second + field.alike, value, static_cast<int>(field.size));
                load(bytes, std::string(name) + ", " + field.chunk + " +" +
                                std::to_string(field.at) + " = " + std::to_string(value));
                ++mutated;
            }
        }
        for (size_t cut = 0; cut < 32; ++cut) {
            load(Bytes(seed.begin(), seed.begin() + seed.size() * cut / 32),
                 std::string(name) + " cut at " + std::to_string(cut) + "/32");
        }
    }
    RemovePath(path);
    EXPECT_GT(mutated, 400) << "the seeds lack chunks";
    EXPECT_LT(PeakMegabytes(), 512u);
    std::printf("slowest load: %.3f s (%s)\n", slowest, slowestName.c_str());
}
