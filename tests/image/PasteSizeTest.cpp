#include "image/PasteSize.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <climits>

using image::ComputePasteSize;
using image::FitRect;
using image::PasteSize;
using settings::AppSettings;

namespace {

::testing::AssertionResult Is(const PasteSize& p, int boxW, int boxH, int x, int y, int w, int h) {
    if (p.boxWidth == boxW && p.boxHeight == boxH && p.pictureRect.x == x && p.pictureRect.y == y &&
        p.pictureRect.width == w && p.pictureRect.height == h) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "box " << p.boxWidth << "x" << p.boxHeight << ", picture " << p.pictureRect.width
           << "x" << p.pictureRect.height << " at " << p.pictureRect.x << "," << p.pictureRect.y;
}

::testing::AssertionResult Is(const RECT& r, int left, int top, int right, int bottom) {
    if (r.left == left && r.top == top && r.right == right && r.bottom == bottom) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

} // namespace

TEST(PasteSize, Percentages) {
    AppSettings s; // percentage mode, 100 % by default
    EXPECT_TRUE(Is(ComputePasteSize(640, 480, s), 640, 480, 0, 0, 640, 480));
    s.PerW = 50;
    s.PerH = 50;
    EXPECT_TRUE(Is(ComputePasteSize(3, 3, s), 1, 1, 0, 0, 1, 1));
    s.PerW = 1;
    s.PerH = 250;
    // 1 % of 50 is 0, raised to 1; the sides are scaled independently.
    EXPECT_TRUE(Is(ComputePasteSize(50, 7, s), 1, 17, 0, 0, 1, 17));
    s.bRatio = 0; // not consulted in percentage mode
    EXPECT_TRUE(Is(ComputePasteSize(50, 7, s), 1, 17, 0, 0, 1, 17));

    // Products past 32 bits neither wrap nor go negative.
    s.PerW = INT_MAX;
    s.PerH = -20;
    const PasteSize huge = ComputePasteSize(1000, 10, s);
    EXPECT_EQ(huge.boxWidth, INT_MAX);
    EXPECT_EQ(huge.boxHeight, 1);
}

TEST(PasteSize, FixedSizes) {
    AppSettings s;
    s.fSize = 0; // keep-ratio by default
    EXPECT_TRUE(Is(ComputePasteSize(400, 200, s), 100, 100, 0, 25, 100, 50));
    EXPECT_TRUE(Is(ComputePasteSize(200, 400, s), 100, 100, 25, 0, 50, 100));
    EXPECT_TRUE(Is(ComputePasteSize(10, 10, s), 100, 100, 0, 0, 100, 100)); // enlarged
    // The fitted height of a very flat picture comes out 0: the box stays.
    EXPECT_TRUE(Is(ComputePasteSize(1000, 1, s), 100, 100, 0, 50, 100, 0));
    EXPECT_TRUE(Is(ComputePasteSize(1, 1000, s), 100, 100, 50, 0, 0, 100));
    // Nothing to fit.
    EXPECT_TRUE(Is(ComputePasteSize(0, 0, s), 100, 100, 0, 0, 0, 0));

    s.bRatio = 0;
    s.SizeW = 37;
    s.SizeH = 5;
    EXPECT_TRUE(Is(ComputePasteSize(400, 200, s), 37, 5, 0, 0, 37, 5));
    EXPECT_TRUE(Is(ComputePasteSize(1, 1, s), 37, 5, 0, 0, 37, 5));
    // A fixed size below one pixel (from a hand-edited file) is one pixel.
    s.SizeW = 0;
    s.SizeH = -3;
    EXPECT_TRUE(Is(ComputePasteSize(4, 4, s), 1, 1, 0, 0, 1, 1));
}

TEST(FitRect, FitsCentresAndTies) {
    RECT r = {0, 0, 400, 100};
    FitRect(r, 200, 200, false);
    EXPECT_TRUE(Is(r, 0, 75, 200, 125));
    r = {0, 0, 100, 400};
    FitRect(r, 200, 200, false);
    EXPECT_TRUE(Is(r, 75, 0, 125, 200));
    r = {0, 0, 50, 50};
    FitRect(r, 200, 200, true);
    EXPECT_TRUE(Is(r, 75, 75, 125, 125));
    r = {0, 0, 50, 50};
    FitRect(r, 200, 200, false);
    EXPECT_TRUE(Is(r, 0, 0, 200, 200));
    // Too large for the box: no-enlarge still reduces.
    r = {0, 0, 400, 100};
    FitRect(r, 200, 200, true);
    EXPECT_TRUE(Is(r, 0, 75, 200, 125));
    // The rectangle keeps its own origin and moves by the shift.
    r = {10, 20, 60, 120};
    FitRect(r, 100, 100, false);
    EXPECT_TRUE(Is(r, 35, 20, 85, 120));
    // Equal fitted width: the width is filled (ties go to the full width).
    r = {0, 0, 300, 150};
    FitRect(r, 200, 100, false);
    EXPECT_TRUE(Is(r, 0, 0, 200, 100));
}

TEST(FitRect, LargeSidesDoNotOverflow) {
    // 100000 * 40000 is past 32 bits.
    RECT r = {0, 0, 100000, 30000};
    FitRect(r, 50000, 40000, false);
    EXPECT_TRUE(Is(r, 0, 12500, 50000, 27500));
    r = {0, 0, 30000, 100000};
    FitRect(r, 40000, 50000, false);
    EXPECT_TRUE(Is(r, 12500, 0, 27500, 50000));
    // An empty rectangle is left alone rather than divided by.
    r = {5, 5, 5, 9};
    FitRect(r, 10, 10, false);
    EXPECT_TRUE(Is(r, 5, 5, 5, 9));
}
