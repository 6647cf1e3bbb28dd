#include "image/JoinDocument.h"
#include "image/Resampler.h"

#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using image::CellRect;
using image::Image;
using image::JoinDocument;
using image::PasteParameters;
using image::PixelValue;

namespace {

// COLORREF values and the pixels they must become (red and blue exchanged).
constexpr std::int32_t Background = 0x00123456;
constexpr PixelValue BackgroundPixel = 0x563412;
constexpr std::int32_t GapColour = 0x00ABCDEF;
constexpr PixelValue GapPixel = 0xEFCDAB;

PasteParameters Colours(int gapWidth) {
    PasteParameters s;
    s.background = Background;
    s.gapColour = GapColour;
    s.gapWidth = gapWidth;
    return s;
}

// The picture the test expects, painted independently of the document.
struct Canvas {
    Canvas(int w, int h, PixelValue fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    explicit Canvas(const Image& img) : Canvas(img.Width, img.Height, 0) {
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = img.ReadPixel(static_cast<int>(i % width), static_cast<int>(i / width));
        }
    }
    void Put(const Canvas& picture, int x, int y) {
        for (int row = 0; row < picture.height; ++row) {
            const auto from = picture.pixels.begin() + static_cast<size_t>(row) * picture.width;
            std::copy(from, from + picture.width,
                      pixels.begin() + static_cast<size_t>(y + row) * width + x);
        }
    }
    int width;
    int height;
    std::vector<PixelValue> pixels;
};

::testing::AssertionResult Shows(const JoinDocument& doc, const Canvas& expected) {
    const Canvas shown(doc.picture);
    if (doc.width != expected.width || doc.height != expected.height || shown.width != doc.width ||
        shown.height != doc.height) {
        return ::testing::AssertionFailure() << "document " << doc.width << "x" << doc.height;
    }
    const size_t at =
        std::mismatch(shown.pixels.begin(), shown.pixels.end(), expected.pixels.begin()).first -
        shown.pixels.begin();
    return at == shown.pixels.size() ? ::testing::AssertionSuccess()
                                     : ::testing::AssertionFailure() << "pixel " << at % shown.width
                                                                     << "," << at / shown.width;
}

std::string Describe(const CellRect& c) {
    return "(" + std::to_string(c.x) + "," + std::to_string(c.y) + "," + std::to_string(c.width) +
           "," + std::to_string(c.height) + ")";
}

#define EXPECT_CELL(actual, x, y, w, h) EXPECT_EQ(Describe(actual), Describe(CellRect{x, y, w, h}))

// Makes a noise picture and keeps what it looks like, since pasting
// consumes it.
Canvas Picture(Image& img, int w, int h, std::uint32_t seed) {
    EXPECT_TRUE(img.Create(w, h, 24));
    testpictures::FillNoise(img, seed);
    return Canvas(img);
}

bool Paste(JoinDocument& doc, int w, int h, bool below, const PasteParameters& s, int wrap = 0,
           std::uint32_t seed = 1) {
    Image img;
    Picture(img, w, h, seed);
    return doc.PasteImage(img, below, wrap, s);
}

// A document whose canvases can be refused on demand, as when memory runs out.
class StarvedDocument : public JoinDocument {
public:
    bool refuse = false;

protected:
    bool CreateCanvas(Image& canvas, int width, int height, int roomWidth,
                      int roomHeight) override {
        return !refuse && JoinDocument::CreateCanvas(canvas, width, height, roomWidth, roomHeight);
    }
};

} // namespace

TEST(JoinDocument, WorkedExamplesRightRightBelowAndWrappedAt150) {
    PasteParameters s = Colours(4);
    JoinDocument doc;
    Image a, b, c;
    const Canvas pa = Picture(a, 100, 50, 1);
    const Canvas pb = Picture(b, 80, 70, 2);
    const Canvas pc = Picture(c, 60, 30, 3);

    ASSERT_TRUE(doc.PasteImage(a, false, 0, s));
    EXPECT_TRUE(a.IsEmpty()) << "the source is consumed";
    EXPECT_CELL(doc.lastCell, 0, 0, 100, 50);
    ASSERT_TRUE(doc.PasteImage(b, false, 0, s));
    EXPECT_CELL(doc.lastCell, 100, 0, 84, 70);

    ASSERT_TRUE(doc.PasteImage(c, true, 0, s));
    EXPECT_CELL(doc.lastCell, 0, 70, 60, 34);
    Canvas third(184, 104, BackgroundPixel);
    third.Put(pa, 0, 0);
    third.Put(Canvas(4, 70, GapPixel), 100, 0);
    third.Put(pb, 104, 0);
    third.Put(Canvas(60, 4, GapPixel), 0, 70);
    third.Put(pc, 0, 74);
    EXPECT_TRUE(Shows(doc, third));

    // The same two pictures wrapped at 150.
    JoinDocument wrapped;
    Picture(a, 100, 50, 1);
    Picture(b, 80, 70, 2);
    ASSERT_TRUE(wrapped.PasteImage(a, false, 150, s));
    ASSERT_TRUE(wrapped.PasteImage(b, false, 150, s));
    EXPECT_CELL(wrapped.lastCell, 0, 50, 80, 74);
    Canvas expected(100, 124, BackgroundPixel);
    expected.Put(pa, 0, 0);
    expected.Put(Canvas(80, 4, GapPixel), 0, 50);
    expected.Put(pb, 0, 54);
    EXPECT_TRUE(Shows(wrapped, expected));

    // The next right paste continues the new row with both gaps, level with
    // its first picture; one wider than the wrap width still gets a row.
    ASSERT_TRUE(Paste(wrapped, 30, 20, false, s, 150));
    EXPECT_CELL(wrapped.lastCell, 80, 50, 34, 24);
    ASSERT_TRUE(Paste(wrapped, 200, 10, false, s, 150));
    EXPECT_CELL(wrapped.lastCell, 0, 124, 200, 14);
    EXPECT_EQ(wrapped.width, 200);
    // A below paste never tests the width.
    ASSERT_TRUE(Paste(wrapped, 300, 10, true, s, 150));
    EXPECT_CELL(wrapped.lastCell, 0, 138, 300, 14);
}

TEST(JoinDocument, FirstPasteAndGapRules) {
    PasteParameters s = Colours(6);
    JoinDocument first; // a first paste below gets no gaps either
    ASSERT_TRUE(Paste(first, 30, 20, true, s));
    EXPECT_CELL(first.lastCell, 0, 0, 30, 20);

    // Without a gap no strips are drawn and cells are the boxes.
    s.gapWidth = 0;
    JoinDocument plain;
    Image a, b;
    const Canvas pa = Picture(a, 10, 10, 4);
    const Canvas pb = Picture(b, 5, 15, 5);
    ASSERT_TRUE(plain.PasteImage(a, false, 0, s));
    ASSERT_TRUE(plain.PasteImage(b, false, 0, s));
    Canvas expected(15, 15, BackgroundPixel);
    expected.Put(pa, 0, 0);
    expected.Put(pb, 10, 0);
    EXPECT_TRUE(Shows(plain, expected));

    // A negative gap is no gap: cells must not overlap.
    s.gapWidth = -5;
    ASSERT_TRUE(Paste(plain, 4, 4, false, s));
    EXPECT_CELL(plain.lastCell, 15, 0, 4, 4);
}

TEST(JoinDocument, FittedBoxesKeepTheirBackground) {
    PasteParameters s = Colours(4);
    s.byPercent = 0;
    s.boxWidth = 100;
    s.boxHeight = 100;
    JoinDocument doc;
    Image wide;
    ASSERT_TRUE(wide.Create(200, 100, 24));
    testpictures::FillPhoto(wide, 9);
    Image resized;
    ASSERT_TRUE(image::Resample(wide, resized, 100, 50));
    ASSERT_TRUE(doc.PasteImage(wide, false, 0, s));
    Canvas expected(100, 100, BackgroundPixel);
    expected.Put(Canvas(resized), 0, 25);
    EXPECT_TRUE(Shows(doc, expected));

    // A picture so thin that its fitted height is 0: the cell and its gap
    // are laid out, the box stays background.
    ASSERT_TRUE(Paste(doc, 1000, 1, false, s));
    EXPECT_CELL(doc.lastCell, 100, 0, 104, 100);
    expected = Canvas(204, 100, BackgroundPixel);
    expected.Put(Canvas(resized), 0, 25);
    expected.Put(Canvas(4, 100, GapPixel), 100, 0);
    EXPECT_TRUE(Shows(doc, expected));
}

TEST(JoinDocument, UndoTakesBackEachPaste) {
    PasteParameters s = Colours(4);
    // Each paste and the cell it takes: right, right (grows right), below
    // (grows down), right of the short lower row (grows down again), and
    // one that fits inside, where undo must paint the colour the cell had,
    // not the current background setting.
    struct Step {
        int w, h;
        bool below;
        CellRect cell;
    };
    const Step steps[] = {{100, 50, false, {0, 0, 100, 50}},
                          {80, 70, false, {100, 0, 84, 70}},
                          {50, 20, true, {0, 70, 50, 24}},
                          {30, 60, false, {50, 70, 34, 64}},
                          {20, 20, false, {84, 70, 24, 24}}};
    JoinDocument doc;
    std::vector<Canvas> shown;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        const HBITMAP before = doc.picture.Bitmap;
        s.background = i == 4 ? 0x000000FF : Background;
        ASSERT_TRUE(Paste(doc, step.w, step.h, step.below, s, 0, static_cast<std::uint32_t>(i)));
        EXPECT_CELL(doc.lastCell, step.cell.x, step.cell.y, step.cell.width, step.cell.height);
        shown.emplace_back(doc.picture);
        if (i == 4) {
            EXPECT_EQ(doc.picture.Bitmap, before) << "a paste that fits keeps the canvas";
        }
    }
    EXPECT_EQ(doc.UndoRecords().size(), std::size(steps));
    // One undo and the same paste again give the same picture.
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(Paste(doc, 20, 20, false, s, 0, 4));
    EXPECT_TRUE(Shows(doc, shown.back()));

    // Each undo shows the picture as it was; the cell follows it.
    for (size_t i = std::size(steps) - 1; i > 0; --i) {
        ASSERT_TRUE(doc.Undo());
        EXPECT_TRUE(Shows(doc, shown[i - 1])) << "undo of paste " << i;
    }
    EXPECT_CELL(doc.lastCell, 0, 0, 100, 50);
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsEmpty());
    EXPECT_TRUE(doc.picture.IsEmpty());
    EXPECT_CELL(doc.lastCell, 0, 0, 0, 0);
    EXPECT_FALSE(doc.Undo());

    ASSERT_TRUE(Paste(doc, 10, 10, false, s));
    ASSERT_TRUE(Paste(doc, 10, 10, true, s));
    doc.Clear();
    EXPECT_TRUE(doc.picture.IsEmpty() && doc.UndoRecords().empty());
    ASSERT_TRUE(Paste(doc, 10, 10, false, s));
    EXPECT_CELL(doc.lastCell, 0, 0, 10, 10);
}

TEST(JoinDocument, FailedEnlargementChangesNothing) {
    PasteParameters s = Colours(4);
    StarvedDocument doc;
    ASSERT_TRUE(Paste(doc, 40, 30, false, s));
    const Canvas before(doc.picture);
    const HBITMAP bitmap = doc.picture.Bitmap;

    doc.refuse = true;
    Image source;
    Picture(source, 20, 50, 7);
    EXPECT_FALSE(doc.PasteImage(source, false, 0, s));
    EXPECT_TRUE(source.IsEmpty()) << "released even when the paste fails";
    EXPECT_EQ(doc.picture.Bitmap, bitmap);
    EXPECT_TRUE(Shows(doc, before));
    EXPECT_CELL(doc.lastCell, 0, 0, 40, 30);
    EXPECT_FALSE(Paste(doc, 10, 10, true, s));
    EXPECT_EQ(doc.UndoRecords().size(), 1u);

    // A picture whose resized copy cannot be made (its weight table is over
    // the resampler's limit) fails the same way, though its box would fit.
    doc.refuse = false;
    s.widthPercent = 50;
    s.heightPercent = 50;
    Image wide;
    ASSERT_TRUE(wide.Create(45000000, 1, 24));
    EXPECT_FALSE(doc.PasteImage(wide, false, 0, s));
    EXPECT_TRUE(Shows(doc, before));
    EXPECT_EQ(doc.UndoRecords().size(), 1u);
    s.widthPercent = 100;
    s.heightPercent = 100;

    // A paste that needs no larger canvas works even without memory.
    ASSERT_TRUE(Paste(doc, 10, 10, true, s));
    EXPECT_CELL(doc.lastCell, 0, 30, 10, 14);
    doc.refuse = true;
    ASSERT_TRUE(Paste(doc, 10, 10, false, s));
    EXPECT_CELL(doc.lastCell, 10, 30, 14, 14);
    EXPECT_EQ(doc.UndoRecords().size(), 3u);
}

// Undo only narrows the view of the canvas, so it needs no memory; what the
// undone paste left in the spare room must never show again.
TEST(JoinDocument, UndoNeedsNoMemoryAndLeavesNothingBehind) {
    PasteParameters s = Colours(0);
    StarvedDocument doc;
    ASSERT_TRUE(Paste(doc, 40, 30, false, s, 0, 1));
    const Canvas first(doc.picture);
    ASSERT_TRUE(Paste(doc, 20, 50, false, s, 0, 2));

    doc.refuse = true;
    ASSERT_TRUE(doc.Undo());
    EXPECT_CELL(doc.lastCell, 0, 0, 40, 30);
    EXPECT_TRUE(Shows(doc, first));

    // A shorter picture where the undone one was: the rows below it are
    // background, not what the undone picture left there.
    Image small;
    const Canvas smallShown = Picture(small, 10, 20, 3);
    ASSERT_TRUE(doc.PasteImage(small, false, 0, s));
    Canvas expected(50, 30, BackgroundPixel);
    expected.Put(first, 0, 0);
    expected.Put(smallShown, 40, 0);
    EXPECT_TRUE(Shows(doc, expected));
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(Shows(doc, first));
}

// Pastes and undos in both directions, with and without a reserved room,
// give exactly the picture an independent painter makes.
TEST(JoinDocument, SpareRoomNeverShows) {
    PasteParameters s = Colours(3);
    for (const bool reserve : {false, true}) {
        JoinDocument doc;
        if (reserve) {
            doc.ReserveRoom(400, 300);
        }
        std::vector<Canvas> shown;
        for (int i = 0; i < 24; ++i) {
            const bool below = i % 7 == 6;
            ASSERT_TRUE(
                Paste(doc, 9 + i % 4, 5 + i % 6, below, s, 0, static_cast<std::uint32_t>(i)));
            shown.emplace_back(doc.picture);
            if (i % 5 == 4) {
                ASSERT_TRUE(doc.Undo());
                shown.pop_back();
                EXPECT_TRUE(Shows(doc, shown.back())) << "undo after paste " << i;
            }
        }
        const std::int64_t room =
            static_cast<std::int64_t>(doc.picture.RoomWidth()) * doc.picture.RoomHeight();
        doc.ReleaseRoom();
        EXPECT_TRUE(Shows(doc, shown.back()));
        EXPECT_LE(static_cast<std::int64_t>(doc.picture.RoomWidth()) * doc.picture.RoomHeight(),
                  2 * static_cast<std::int64_t>(doc.width) * doc.height);
        EXPECT_EQ(room >= 400 * 300, reserve);
        while (doc.Undo()) {
            if (!doc.IsEmpty()) {
                shown.pop_back();
                EXPECT_TRUE(Shows(doc, shown.back()));
            }
        }
    }
}

TEST(JoinDocument, CanvasSizesBeyond32BitsFail) {
    PasteParameters s = Colours(INT_MAX - 10);
    JoinDocument doc;
    ASSERT_TRUE(Paste(doc, 80, 70, false, s));
    const Canvas before(doc.picture);
    // Right: the gap pushes the row past INT_MAX. Below: the height does.
    EXPECT_FALSE(Paste(doc, 30, 30, false, s));
    EXPECT_FALSE(Paste(doc, 30, 30, true, s));
    EXPECT_TRUE(Shows(doc, before));

    // Boxes no canvas could hold: a percentage far past 32 bits, and a fixed
    // size whose pixel block alone passes 2 GB.
    s.gapWidth = 0;
    s.widthPercent = INT_MAX;
    EXPECT_FALSE(Paste(doc, 1000, 10, false, s));
    s.byPercent = 0;
    s.keepAspect = 0;
    s.boxWidth = 40000;
    s.boxHeight = 40000;
    EXPECT_FALSE(Paste(doc, 10, 10, true, s));
    EXPECT_TRUE(Shows(doc, before));
    EXPECT_EQ(doc.UndoRecords().size(), 1u);
}

TEST(JoinDocument, ReadersNeverSeeAHalfDonePaste) {
    PasteParameters s = Colours(1);
    JoinDocument doc;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 150; ++i) {
            Paste(doc, 8 + i % 5, 6 + i % 7, false, s, 60, static_cast<std::uint32_t>(i));
            if (i % 10 == 9) {
                doc.Undo();
            }
        }
        done = true;
    });
    bool consistent = true;
    while (!done && consistent) {
        JoinDocument::ReadGuard guard(doc);
        consistent = doc.picture.Width == doc.width && doc.picture.Height == doc.height &&
                     doc.lastCell.x + doc.lastCell.width <= doc.width &&
                     doc.lastCell.y + doc.lastCell.height <= doc.height;
    }
    worker.join();
    EXPECT_TRUE(consistent);
    EXPECT_EQ(doc.UndoRecords().size(), 135u);
}
