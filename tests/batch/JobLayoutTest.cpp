#include "image/JoinDocument.h"
#include "job/BatchPlan.h"
#include "job/JobRun.h"
#include "job/JobSizeEstimate.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

// Each layout rule against a painter that knows only the rules: every
// picture is one colour, so the expected canvas is rectangles of colour.

namespace {

using image::PixelValue;

constexpr int Gap = 2;
constexpr PixelValue GapPixel = 0xFF0000;

struct Size {
    int w, h;
};

const std::string& Folder() {
    static const testsupport::ScratchFolder folder;
    return folder.path;
}

PixelValue Colour(int index) {
    return 0x1F3F5Fu * static_cast<unsigned>(index + 1) & 0xFFFFFFu;
}

// One-colour PNGs of these sizes, named by their sizes unless names are given.
std::vector<std::string> MakePictures(const std::vector<Size>& sizes,
                                      std::vector<std::string> given = {}) {
    std::vector<std::string> names;
    for (const Size& size : sizes) {
        const int i = static_cast<int>(names.size());
        names.push_back(given.empty() ? std::to_string(size.w) + "x" + std::to_string(size.h) +
                                            "_" + std::to_string(i) + ".png"
                                      : given[i]);
        EXPECT_TRUE(
            testpictures::SaveFilled(Folder() + "\\" + names.back(), size.w, size.h, Colour(i)));
    }
    return names;
}

// The canvas a plain job makes of cells pasted in their directions: a cell
// below everything starts at the left under the canvas with a gap above it
// (none on an empty canvas); one to the right starts at the row's end with a
// gap before it and, below the first row, a gap above it.
class Painter {
public:
    explicit Painter(PixelValue background) : background(background) {}

    // Joins a w x h cell; returns where its box begins.
    POINT Join(int w, int h, bool below) {
        const int gapX = below || rowEnd == 0 ? 0 : Gap;
        const int gapY = below ? (height != 0 ? Gap : 0) : (lastY != 0 ? Gap : 0);
        const int x = below ? 0 : rowEnd;
        const int y = below ? height : lastY;
        Fill(x, y, gapX, h + gapY, GapPixel);
        Fill(x, y, w + gapX, gapY, GapPixel);
        width = std::max(width, x + gapX + w);
        height = std::max(height, y + gapY + h);
        rowEnd = x + gapX + w;
        lastY = y;
        return POINT{x + gapX, y + gapY};
    }
    void Fill(int x, int y, int w, int h, PixelValue colour) {
        fills.push_back({x, y, w, h, colour});
    }
    PixelValue At(int x, int y) const {
        PixelValue colour = background;
        for (const Rect& r : fills) {
            if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) {
                colour = r.colour;
            }
        }
        return colour;
    }

    const PixelValue background;
    int width = 0;
    int height = 0;

private:
    struct Rect {
        int x, y, w, h;
        PixelValue colour;
    };
    std::vector<Rect> fills;
    int rowEnd = 0;
    int lastY = 0;
};

int Offset(int align, int room) {
    return align == 0 ? 0 : align == 1 ? room / 2 : room;
}

class Record : public job::JobObserver {
public:
    void Skipped(const std::string& path, bool) override {
        skipped += path.substr(path.find_last_of('\\') + 1) + ";";
    }
    std::string skipped;
};

// Whether every channel of the pixel lies between the background's and the
// text's (the text is smoothed), and whether it is nearer the text's.
bool Between(PixelValue pixel, PixelValue background, PixelValue text, bool& nearText) {
    nearText = true;
    for (int shift = 0; shift < 24; shift += 8) {
        const int p = pixel >> shift & 0xFF;
        const int b = background >> shift & 0xFF;
        const int t = text >> shift & 0xFF;
        if (p < std::min(b, t) || p > std::max(b, t)) {
            return false;
        }
        nearText = nearText && std::abs(p - t) < std::abs(p - b);
    }
    return true;
}

// Every pixel as painted; within the caption bands only shades between the
// background and the text colour, some nearer the text's.
void ExpectPainted(const image::JoinDocument& document, const Painter& painter,
                   const std::vector<RECT>& bands = {}, PixelValue textColour = 0) {
    ASSERT_EQ(document.width, painter.width);
    ASSERT_EQ(document.height, painter.height);
    std::vector<int> textPixels(bands.size(), 0);
    for (int y = 0; y < document.height; ++y) {
        for (int x = 0; x < document.width; ++x) {
            const PixelValue got = document.picture.ReadPixel(x, y);
            const POINT at = {x, y};
            const auto band = std::find_if(bands.begin(), bands.end(),
                                           [&at](const RECT& r) { return PtInRect(&r, at); });
            bool nearText = false;
            if (band != bands.end()) {
                ASSERT_TRUE(Between(got, painter.At(x, y), textColour, nearText))
                    << "at " << x << "," << y;
                textPixels[band - bands.begin()] += nearText;
                continue;
            }
            ASSERT_EQ(got, painter.At(x, y)) << "at " << x << "," << y;
        }
    }
    for (std::size_t i = 0; i < bands.size(); ++i) {
        EXPECT_GT(textPixels[i], 0) << "caption " << i;
    }
}

// Runs the job on the names (all taken) over the painter's background: the
// canvas is the size the job predicted and as painted. Returns the names the
// job skipped.
std::string ExpectLayout(const std::vector<std::string>& names, job::BatchJob job,
                         const Painter& painter, const std::vector<RECT>& bands = {},
                         PixelValue textColour = 0) {
    job.folder = Folder();
    job.files = job::AllInFolder;
    job.firstBelow = true;
    for (const std::string& name : names) {
        job.entries.push_back({name, job::ImageFile, false});
    }
    image::PasteParameters values;
    values.gapWidth = Gap;
    values.gapColour = static_cast<std::int32_t>(image::ColourToPixel(GapPixel));
    values.background = static_cast<std::int32_t>(image::ColourToPixel(painter.background));
    const job::JobSizeEstimate estimate(job, values, job::JobSizeEstimate::ReadHeaderSize);
    job::BatchPlan plan(job);
    image::JoinDocument document;
    Record record;
    job::JobStop stop;
    job::RunJob(plan, values, document, record, stop);
    EXPECT_EQ(estimate.Width(), document.width);
    EXPECT_EQ(estimate.Height(), document.height);
    ExpectPainted(document, painter, bands, textColour);
    return record.skipped;
}

const std::vector<Size> kMixed = {{20, 12}, {27, 17}, {34, 22}, {41, 12}, {48, 17}};

TEST(JobLayout, AlignmentPadsEachPictureToItsRowOrTheColumn) {
    const std::vector<std::string> names = MakePictures(kMixed);
    const struct {
        unsigned arrangement;
        int width, perRow, rowAlign, columnAlign;
        const char* rows; // B: starts a row
    } cases[] = {
        {job::OneRow, 0, 0, 1, 0, "BRRRR"},
        {job::OneRow, 0, 0, 2, 2, "BRRRR"},
        {job::FitWidth, 80, 0, 1, 0, "BRBRB"},
        {job::FitWidth, 80, 0, 2, 0, "BRBRB"},
        {job::FixedColumns, 0, 3, 2, 0, "BRRBR"},
        {job::FixedColumns, 0, 3, 1, 0, "BRRBR"},
        {job::OneColumn, 0, 0, 2, 1, "BBBBB"},
        {job::OneColumn, 0, 0, 0, 2, "BBBBB"},
        // A word of the other kind changes nothing.
        {job::OneColumn, 0, 0, 2, 0, "BBBBB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.arrangement) + " " + std::to_string(c.rowAlign) +
                     std::to_string(c.columnAlign));
        job::BatchJob job;
        job.arrangement = c.arrangement;
        job.width = c.width;
        job.perRow = c.perRow;
        job.layout.rowAlign = c.rowAlign;
        job.layout.columnAlign = c.columnAlign;
        const bool column = c.arrangement == job::OneColumn;
        int widest = 0;
        for (const Size& s : kMixed) {
            widest = std::max(widest, s.w);
        }
        Painter painter(0xFFFFFF);
        for (std::size_t first = 0; first < kMixed.size();) {
            std::size_t end = first + 1;
            while (end < kMixed.size() && c.rows[end] == 'R') {
                ++end;
            }
            int rowHeight = 0;
            for (std::size_t i = first; i < end; ++i) {
                rowHeight = std::max(rowHeight, kMixed[i].h);
            }
            for (std::size_t i = first; i < end; ++i) {
                const Size s = kMixed[i];
                const int w = column && c.columnAlign != 0 ? widest : s.w;
                const int h = column || c.rowAlign == 0 ? s.h : rowHeight;
                const POINT at = painter.Join(w, h, i == first);
                painter.Fill(at.x + (column ? Offset(c.columnAlign, w - s.w) : 0),
                             at.y + (column ? 0 : Offset(c.rowAlign, h - s.h)), s.w, s.h,
                             Colour(static_cast<int>(i)));
            }
            first = end;
        }
        ExpectLayout(names, job, painter);
    }
}

TEST(JobLayout, EqualCellsTakeTheLargestSidesAndWrapByCellWidth) {
    const std::vector<std::string> names = MakePictures(kMixed);
    const struct { int across, down; } cases[] = {{1, 1}, {0, 0}, {2, 2}, {0, 2}, {2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.across) + std::to_string(c.down));
        job::BatchJob job;
        job.arrangement = job::FitWidth;
        job.width = 100; // two cells of 48 and a gap
        job.layout.cells = true;
        job.layout.cellAcross = c.across;
        job.layout.cellDown = c.down;
        Painter painter(0x00FF00);
        for (std::size_t i = 0; i < kMixed.size(); ++i) {
            const POINT at = painter.Join(48, 22, i % 2 == 0);
            painter.Fill(at.x + Offset(c.across, 48 - kMixed[i].w),
                         at.y + Offset(c.down, 22 - kMixed[i].h), kMixed[i].w, kMixed[i].h,
                         Colour(static_cast<int>(i)));
        }
        ExpectLayout(names, job, painter);
    }
}

// The justified rows as their rule reads, in 64-bit (and 128-bit) integers.
struct Justified {
    std::vector<Size> sizes;
    std::vector<bool> starts;
};

Justified JustifyByRule(const std::vector<Size>& pictures, int W, int g, int T) {
    Justified out;
    std::vector<std::int64_t> q;
    std::size_t first = 0;
    std::int64_t S = 0;
    const auto floorDiv = [](__int128 a, __int128 b) {
        return static_cast<std::int64_t>(a / b - (a % b != 0 && (a < 0) != (b < 0)));
    };
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        q.push_back(std::max<std::int64_t>(std::int64_t{pictures[i].w} * 65536 / pictures[i].h, 1));
        S += q.back();
        const std::int64_t k = static_cast<std::int64_t>(i - first + 1);
        const std::int64_t A = W - g * (k - 1);
        const std::int64_t H = floorDiv(__int128{A} * 65536 + S / 2, S);
        if (H > T) {
            continue;
        }
        std::int64_t Sj = 0;
        std::int64_t X = 0;
        for (std::size_t j = first; j <= i; ++j) {
            Sj += q[j];
            const std::int64_t next = floorDiv(2 * __int128{A} * Sj + S, 2 * __int128{S});
            out.sizes.push_back({static_cast<int>(std::max<std::int64_t>(next - X, 1)),
                                 static_cast<int>(std::max<std::int64_t>(H, 1))});
            out.starts.push_back(j == first);
            X = next;
        }
        first = i + 1;
        S = 0;
    }
    for (std::size_t j = first; j < pictures.size(); ++j) {
        out.sizes.push_back(
            {static_cast<int>(std::max<std::int64_t>((q[j] * T + 32768) / 65536, 1)), T});
        out.starts.push_back(j == first);
    }
    return out;
}

TEST(JobLayout, JustifiedRowsFillTheWidth) {
    // The pictures' sizes, the width and the target height.
    const std::tuple<std::vector<Size>, int, int> cases[] = {
        // Rows whose widths round, and a last row at the target height.
        {{{40, 30}, {30, 30}, {50, 30}, {35, 30}, {61, 40}, {19, 23}}, 100, 30},
        // A first picture too wide for the row alone, then a last row.
        {{{300, 30}, {20, 30}}, 100, 40},
        {{{33, 21}, {47, 29}, {25, 31}, {61, 17}, {19, 23}, {40, 40}, {29, 37}}, 150, 35},
    };
    for (const auto& [sizes, width, target] : cases) {
        SCOPED_TRACE(width);
        const std::vector<std::string> names = MakePictures(sizes);
        job::BatchJob job;
        job.arrangement = job::FitWidth;
        job.width = width;
        job.layout.justifyHeight = target;
        const Justified rows = JustifyByRule(sizes, width, Gap, target);
        Painter painter(0xFFFFFF);
        for (std::size_t i = 0; i < rows.sizes.size(); ++i) {
            const Size s = rows.sizes[i];
            const POINT at = painter.Join(s.w, s.h, rows.starts[i]);
            painter.Fill(at.x, at.y, s.w, s.h, Colour(static_cast<int>(i)));
        }
        EXPECT_EQ(painter.width, width);
        ExpectLayout(names, job, painter);
    }
}

// A caption band of ceil(1.5 P) rows under each (padded) picture, in the
// background colour, with text in white on dark and black on light; names
// in Korean, Japanese and Latin render, and one too wide is cut.
TEST(JobLayout, CaptionsSitInABandUnderEachPicture) {
    const std::vector<Size> sizes = {{30, 14}, {44, 20}, {25, 9}};
    const std::vector<std::string> names =
        MakePictures(sizes, {"사진.png", "写真.png", "a_name_far_wider_than_its_picture.png"});
    const struct {
        int caption, size;
        PixelValue background, text;
        bool cells; // else bottom-aligned in one row
    } cases[] = {{job::CaptionName, 12, 0x202020, 0xFFFFFF, false},
                 {job::CaptionNumber, 9, 0xF0F0F0, 0x000000, true},
                 {job::CaptionName, 20, 0x7F7F7F, 0xFFFFFF, true},
                 {job::CaptionNumber, 8, 0x808080, 0x000000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        job::BatchJob job;
        job.arrangement = c.cells ? job::FixedColumns : job::OneRow;
        job.perRow = 2;
        job.layout.cells = c.cells;
        job.layout.rowAlign = job::AlignEnd;
        job.layout.caption = c.caption;
        job.layout.captionSize = c.size;
        const int band = (3 * c.size + 1) / 2;
        Painter painter(c.background);
        std::vector<RECT> bands;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const Size s = sizes[i];
            const int w = c.cells ? 44 : s.w;
            const POINT at = painter.Join(w, 20 + band, c.cells ? i % 2 == 0 : i == 0);
            painter.Fill(at.x + (c.cells ? (44 - s.w) / 2 : 0),
                         at.y + (c.cells ? (20 - s.h) / 2 : 20 - s.h), s.w, s.h,
                         Colour(static_cast<int>(i)));
            bands.push_back({at.x, at.y + 20, at.x + w, at.y + 20 + band});
        }
        ExpectLayout(names, job, painter, bands, c.text);
    }
}

// A file without a readable size takes no cell; one whose size was read but
// which its loader refuses keeps its cell, background with its caption. Both
// are named as skipped.
TEST(JobLayout, APictureThatFailsKeepsItsCellInAnAlignedJob) {
    std::vector<std::string> names = MakePictures({{20, 12}, {27, 17}});
    std::ofstream(Folder() + "\\broken.png") << "not a picture";
    // A GIF screen of 30 x 25 without an image.
    std::ofstream(Folder() + "\\empty.gif", std::ios::binary)
        << std::string("GIF89a\x1E\0\x19\0\x80\0\0\0\0\0\xFF\xFF\xFF;", 20);
    names.insert(names.begin() + 1, {"broken.png", "empty.gif"});
    job::BatchJob job;
    job.arrangement = job::OneRow;
    job.layout.rowAlign = job::AlignMiddle;
    job.layout.caption = job::CaptionNumber;
    const std::vector<Size> cells = {{20, 12}, {30, 25}, {27, 17}};
    Painter painter(0xFFFFFF);
    std::vector<RECT> bands;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const POINT at = painter.Join(cells[i].w, 25 + 18, i == 0);
        if (i != 1) {
            painter.Fill(at.x, at.y + (25 - cells[i].h) / 2, cells[i].w, cells[i].h,
                         Colour(i == 0 ? 0 : 1));
        }
        bands.push_back({at.x, at.y + 25, at.x + cells[i].w, at.y + 25 + 18});
    }
    EXPECT_EQ(ExpectLayout(names, job, painter, bands, 0x000000), "broken.png;empty.gif;");
}

} // namespace
