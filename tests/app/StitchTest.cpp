#include "app/JoinCommand.h"
#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/PngWriter.h"
#include "image/Resampler.h"
#include "job/JobRun.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// A picture as the test paints it: rows of RGB bytes.
struct Rows {
    int width = 0;
    std::vector<std::vector<std::uint8_t>> rows;
    void Add(const Rows& other, int from, int to) {
        rows.insert(rows.end(), other.rows.begin() + from, other.rows.begin() + to);
    }
};

// A long page of text lines and photo-like blocks, as a chat or a document
// looks, with 40 blank rows from blankAt; seed tells pages apart. A photo is
// a page of photo-like blocks only.
Rows Page(int width, int height, unsigned seed, int blankAt = -1, bool photo = false) {
    std::mt19937 random(seed);
    Rows page{width, {}};
    while (static_cast<int>(page.rows.size()) < height) {
        const int y = static_cast<int>(page.rows.size());
        const int kind = blankAt >= 0 && y >= blankAt && y < blankAt + 40 ? 0
                         : photo                                          ? 1
                                                                          : 1 + random() % 6;
        std::vector<std::uint8_t> glyphs(width / 4);
        for (auto& g : glyphs) {
            g = random() % 3 == 0;
        }
        for (int line = 0; line < 12; ++line) {
            std::vector<std::uint8_t> row(width * 3, 255);
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = &row[3 * x];
                if (kind == 1) { // a photo: smooth with noise
                    p[0] = static_cast<std::uint8_t>(x + y + seed * 37 + random() % 8);
                    p[1] = static_cast<std::uint8_t>(2 * y * seed + random() % 8);
                    p[2] = static_cast<std::uint8_t>(x * 3 + random() % 8);
                } else if (kind > 1 && line > 1 && line < 10 && glyphs[x / 4] &&
                           (x + line * seed) % 3 != 0) {
                    p[0] = p[1] = p[2] = static_cast<std::uint8_t>(20 + 10 * line);
                }
            }
            page.rows.push_back(row);
        }
    }
    page.rows.resize(height);
    return page;
}

// A bar across the top or bottom of every screenshot; clock marks a few
// pixels in its middle rows that change from shot to shot.
Rows Bar(int width, int height, std::uint8_t shade, int clock) {
    Rows bar{width, {}};
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> row(width * 3);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = shade;
            row[3 * x + 1] = static_cast<std::uint8_t>(shade + y);
            row[3 * x + 2] = static_cast<std::uint8_t>(x * 7 + y * 13);
        }
        if (clock >= 0 && y > 2 && y < 6 && y < height - 1) {
            for (int x = width - 12; x < width - 2; ++x) {
                row[3 * x] = static_cast<std::uint8_t>(clock * 40 + x);
            }
        }
        bar.rows.push_back(row);
    }
    return bar;
}

// The rows as a 24-bit Image.
void ToImage(const Rows& rows, image::Image& picture) {
    const int height = static_cast<int>(rows.rows.size());
    testpictures::MakeImage(picture, rows.width, height, [&rows](int x, int y) {
        const std::uint8_t* p = &rows.rows[y][3 * x];
        return static_cast<image::PixelValue>(p[0] << 16 | p[1] << 8 | p[2]);
    });
}

// Saves the rows as a PNG, or a JPEG at quality 90.
bool Save(const Rows& rows, const std::string& path, bool jpeg) {
    image::Image picture;
    ToImage(rows, picture);
    return jpeg ? formats::SaveJpeg(picture, path.c_str(), 90, false)
                : formats::SavePng(picture, path.c_str());
}

// Runs a join whose output is the first argument after --join.
void Join(const std::vector<std::string>& arguments, image::Image& joined) {
    app::JoinCommand join([](const std::string&, bool) {});
    ASSERT_EQ(join.Run(arguments, ""), app::JoinCommand::AllPasted);
    ASSERT_TRUE(formats::LoadImageFile(joined, arguments[1].c_str()));
}

double Psnr(const image::Image& a, const image::Image& b) {
    double squares = 0;
    for (int y = 0; y < a.Height; ++y) {
        for (int x = 0; x < a.Width * 3; ++x) {
            const double d = a.PixelAddress(0, y)[x] - b.PixelAddress(0, y)[x];
            squares += d * d;
        }
    }
    const double mse = squares / (3.0 * a.Width * a.Height);
    return mse == 0 ? 99 : 10 * std::log10(255 * 255 / mse);
}

struct Case {
    const char* name;
    int width, view, overlap, header, footer, shots;
    bool clock, blankInOverlap, jpeg;
    const char* stitch;
    const char* scale; // null: pictures at their own size
};

} // namespace

// Screenshots of one page, each showing `view` rows of it below a header and
// above a footer, come back as the header, the page from the first shot's
// top to the last one's bottom, and the footer.
TEST(Stitch, OverlappingScreenshotsBecomeThePageTheyWereCutFrom) {
    const Case cases[] = {
        {"16 rows of overlap, no bars", 120, 200, 16, 0, 0, 3, false, false, false, "--stitch", 0},
        {"90 %, bars and a clock", 100, 300, 270, 40, 30, 4, true, false, false, "--stitch=0", 0},
        {"200-row bars", 90, 400, 150, 200, 200, 3, false, false, false, "--stitch", 0},
        {"a blank stretch inside the overlap", 80, 240, 120, 24, 0, 3, false, true, false,
         "--stitch", 0},
        {"identical screenshots", 64, 150, 150, 20, 20, 3, true, false, false, "--stitch", 0},
        {"JPEG at quality 90", 160, 300, 180, 30, 30, 3, false, false, true, "--stitch=16", 0},
        {"resized across", 120, 240, 100, 30, 20, 3, false, false, false, "--stitch", "50%x100%"},
    };
    const testsupport::ScratchFolder scratch;
    const std::string folder = scratch.path + "\\";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int step = c.view - c.overlap;
        const int pageHeight = step * (c.shots - 1) + c.view;
        const Rows page = Page(c.width, pageHeight, 7, c.blankInOverlap ? step + 20 : -1);
        std::vector<std::string> arguments = {
            "--join", folder + "out.png", "--defaults", "--column", "--gap", "5", c.stitch};
        if (c.scale != nullptr) {
            arguments.insert(arguments.end(), {"--scale", c.scale});
        }
        for (int i = 0; i < c.shots; ++i) {
            Rows shot = Bar(c.width, c.header, 90, c.clock ? i : -1);
            shot.Add(page, step * i, step * i + c.view);
            shot.Add(Bar(c.width, c.footer, 180, -1), 0, c.footer);
            const std::string path = folder + std::to_string(i) + (c.jpeg ? ".jpg" : ".png");
            ASSERT_TRUE(Save(shot, path, c.jpeg));
            arguments.push_back(path);
        }
        Rows expected = Bar(c.width, c.header, 90, c.clock ? 0 : -1);
        expected.Add(page, 0, pageHeight);
        expected.Add(Bar(c.width, c.footer, 180, -1), 0, c.footer);
        image::Image wanted;
        ToImage(expected, wanted);
        if (c.scale != nullptr) { // only across: each row is resized on its own
            image::Image across;
            ASSERT_TRUE(image::Resample(wanted, across, c.width / 2, wanted.Height));
            wanted.Swap(across);
        }

        image::Image joined;
        Join(arguments, joined);
        ASSERT_EQ(joined.Width, wanted.Width);
        ASSERT_EQ(joined.Height, wanted.Height);
        EXPECT_GT(Psnr(joined, wanted), c.jpeg ? 30 : 98);
    }
}

// Pictures that do not continue each other are joined as any column is:
// one below the other with the gap.
TEST(Stitch, PicturesThatDoNotContinueEachOtherStayApart) {
    const Rows blank{
        80, std::vector<std::vector<std::uint8_t>>(120, std::vector<std::uint8_t>(240, 200))};
    const std::vector<std::vector<Rows>> cases = {
        {Page(100, 300, 1), Page(100, 300, 2)},                     // different pages
        {Page(100, 200, 3, -1, true), Page(100, 200, 4, -1, true)}, // photos
        {Page(100, 240, 5), Page(90, 240, 5)},                      // different widths
        {blank, blank}, // no row that is not of one colour
    };
    const testsupport::ScratchFolder scratch;
    const std::string folder = scratch.path + "\\";
    for (std::size_t n = 0; n < cases.size(); ++n) {
        SCOPED_TRACE(n);
        std::vector<std::string> arguments = {
            "--join", folder + "out.bmp", "--defaults", "--column", "--gap", "5", "--stitch=8"};
        int height = -5;
        for (std::size_t i = 0; i < cases[n].size(); ++i) {
            const std::string path = folder + std::to_string(i) + ".png";
            ASSERT_TRUE(Save(cases[n][i], path, false));
            arguments.push_back(path);
            height += static_cast<int>(cases[n][i].rows.size()) + 5;
        }
        image::Image joined;
        Join(arguments, joined);
        EXPECT_EQ(joined.Height, height);
    }
}

// A stitched job is one step back to the picture before it, whatever its
// pastes gave up of each other.
TEST(Stitch, AStitchedJobIsUndoneInOneStep) {
    const Rows page = Page(60, 400, 9);
    const testsupport::ScratchFolder scratch;
    job::BatchJob job;
    job.files = job::AllInFolder;
    job.arrangement = job::OneColumn;
    job.stitch = true;
    for (int i = 0; i < 3; ++i) {
        Rows shot = Bar(60, 20, 90, i);
        shot.Add(page, 100 * i, 100 * i + 200);
        job.entries.push_back({scratch.Join(std::to_string(i) + ".png"), job::ImageFile, false});
        ASSERT_TRUE(Save(shot, job.entries.back().name, false));
    }
    image::JoinDocument document;
    image::Image before;
    ToImage(Bar(90, 30, 40, -1), before);
    ASSERT_TRUE(document.PasteImage(before, true, 0, image::PasteParameters()));
    job::BatchPlan plan(job);
    job::JobObserver observer;
    job::JobStop stop;
    image::PasteParameters values;
    values.gapWidth = 3;
    EXPECT_EQ(job::RunJob(plan, values, document, observer, stop).pasted, 3);
    EXPECT_EQ(document.height, 30 + 3 + 20 + 400);
    EXPECT_TRUE(document.Undo());
    image::Image wanted;
    ToImage(Bar(90, 30, 40, -1), wanted);
    EXPECT_TRUE(testpictures::SamePixels(document.picture, wanted));
}
