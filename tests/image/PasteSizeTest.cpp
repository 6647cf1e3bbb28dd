#include "image/PasteSize.h"
#include "image/PasteParameters.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using image::ComputePasteSize;
using image::FitRect;
using image::PasteSize;

TEST(PasteSize, BoxAndPictureForEachMode) {
    // Settings (fixed size, keep ratio, SizeW/PerW, SizeH/PerH), the picture,
    // then the box and the picture's place in it.
    struct Row {
        bool fixed, ratio;
        int sideW, sideH, pictureW, pictureH;
        int boxW, boxH, x, y, w, h;
    };
    const Row rows[] = {
        {false, true, 100, 100, 640, 480, 640, 480, 0, 0, 640, 480},
        // 1 % of 50 is 0, raised to 1; the sides are scaled independently.
        {false, true, 1, 250, 50, 7, 1, 17, 0, 0, 1, 17},
        // Products past 32 bits neither wrap nor go negative.
        {false, true, INT_MAX, -20, 1000, 10, INT_MAX, 1, 0, 0, INT_MAX, 1},
        {true, true, 100, 100, 400, 200, 100, 100, 0, 25, 100, 50},
        {true, true, 100, 100, 10, 10, 100, 100, 0, 0, 100, 100}, // enlarged
        {true, true, 100, 100, 0, 0, 100, 100, 0, 0, 0, 0},       // nothing to fit
        {true, false, 37, 5, 400, 200, 37, 5, 0, 0, 37, 5},
        // A fixed size below one pixel (from a hand-edited file) is one pixel.
        {true, false, 0, -3, 4, 4, 1, 1, 0, 0, 1, 1},
    };
    for (const Row& r : rows) {
        image::PasteParameters s;
        s.byPercent = r.fixed ? 0 : 1;
        s.keepAspect = r.ratio ? 1 : 0;
        (r.fixed ? s.boxWidth : s.widthPercent) = r.sideW;
        (r.fixed ? s.boxHeight : s.heightPercent) = r.sideH;
        const PasteSize p = ComputePasteSize(r.pictureW, r.pictureH, s);
        EXPECT_EQ((std::vector<int>{p.boxWidth, p.boxHeight, p.pictureRect.x, p.pictureRect.y,
                                    p.pictureRect.width, p.pictureRect.height}),
                  (std::vector<int>{r.boxW, r.boxH, r.x, r.y, r.w, r.h}))
            << "row " << &r - rows;
    }
}

TEST(FitRect, FitsCentresAndDoesNotOverflow) {
    // The rectangle, the box, no-enlarge, and the rectangle after.
    struct Row {
        RECT r;
        int boxW, boxH;
        bool noEnlarge;
        RECT expected;
    };
    const Row rows[] = {
        {{0, 0, 400, 100}, 200, 200, false, {0, 75, 200, 125}},
        {{0, 0, 50, 50}, 200, 200, true, {75, 75, 125, 125}},
        {{0, 0, 50, 50}, 200, 200, false, {0, 0, 200, 200}},
        // Too large for the box: no-enlarge still reduces.
        {{0, 0, 400, 100}, 200, 200, true, {0, 75, 200, 125}},
        // The rectangle keeps its own origin and moves by the shift.
        {{10, 20, 60, 120}, 100, 100, false, {35, 20, 85, 120}},
        // Equal fitted width: the width is filled (ties go to the full width).
        {{0, 0, 300, 150}, 200, 100, false, {0, 0, 200, 100}},
        // 100000 * 40000 is past 32 bits.
        {{0, 0, 100000, 30000}, 50000, 40000, false, {0, 12500, 50000, 27500}},
        // An empty rectangle is left alone rather than divided by.
        {{5, 5, 5, 9}, 10, 10, false, {5, 5, 5, 9}},
    };
    for (const Row& row : rows) {
        RECT r = row.r;
        FitRect(r, row.boxW, row.boxH, row.noEnlarge);
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<LONG>{row.expected.left, row.expected.top, row.expected.right,
                                     row.expected.bottom}))
            << "row " << &row - rows;
    }
}
