#include "support/TestWindows.h"

#include "ui/Placement.h"
#include "ui/Window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

using testsupport::CreateTopLevel;
using testsupport::WindowGuard;

namespace {

// A single 1024 x 768 screen, and the same with a 1280-pixel monitor on its
// left.
constexpr ui::VirtualScreen SingleScreen = {0, 0, 1024, 768};
constexpr ui::VirtualScreen TwoScreens = {-1280, 0, 2304, 768};

// A hidden top-level window of the given size at (x, y).
class PlacedWindow : public ::testing::Test {
protected:
    void Place(int x, int y, int width, int height) {
        ASSERT_TRUE(CreateTopLevel(window, x, y, width, height));
        guard = std::make_unique<WindowGuard>(window.hwnd);
    }
    // The window's top-left corner as "x,y".
    std::string Corner() const {
        RECT rect = {};
        GetWindowRect(window.hwnd, &rect);
        return std::to_string(rect.left) + "," + std::to_string(rect.top);
    }

    ui::Window window;
    std::unique_ptr<WindowGuard> guard;
};

} // namespace

TEST_F(PlacedWindow, KeepOnScreenPullsTheRestoredPositionOntoTheScreens) {
    // The screens, where a 300 x 200 window starts and where it ends up.
    struct Row {
        const ui::VirtualScreen& screen;
        POINT from, to;
    };
    const Row rows[] = {{SingleScreen, {2000, 100}, {724, 100}},
                        {SingleScreen, {-50, 700}, {0, 568}},
                        {TwoScreens, {-1000, 50}, {-1000, 50}}, // on the left monitor
                        {TwoScreens, {1000, 50}, {724, 50}},
                        {TwoScreens, {-2000, -10}, {-1280, 0}}};
    Place(0, 0, 300, 200);
    for (const Row& r : rows) {
        window.SetPosition(r.from.x, r.from.y);
        EXPECT_TRUE(window.KeepOnScreenWithin(nullptr, r.screen));
        EXPECT_EQ(Corner(), std::to_string(r.to.x) + "," + std::to_string(r.to.y)) << r.from.x;
    }
    // Given a position record, only the record is rewritten.
    WINDOWPOS pos = {nullptr, nullptr, 1000, -40, 0, 0, 0};
    EXPECT_TRUE(window.KeepOnScreenWithin(&pos, SingleScreen));
    EXPECT_EQ(pos.x, 724);
    EXPECT_EQ(pos.y, 0);
    EXPECT_EQ(Corner(), "-1280,0");
}

TEST_F(PlacedWindow, WindowLargerThanTheScreenKeepsItsLeftAndTopEdgeOnIt) {
    Place(500, 500, 1200, 900);
    EXPECT_TRUE(window.KeepOnScreenWithin(nullptr, SingleScreen));
    EXPECT_EQ(Corner(), "0,0");

    // The system may trim a window's size to about the screen's; it stays
    // wider than the 1024-pixel work area, so the right edge wins over
    // centring, and it stays taller than the screen, so the top edge wins.
    const SIZE size = window.WindowSize();
    ASSERT_GT(size.cx, 1024);
    ASSERT_GT(size.cy, 768);
    window.SetPosition(300, 300);
    const RECT workArea = {0, 0, 1024, 738};
    EXPECT_TRUE(window.CenterWindowWithin(nullptr, workArea, TwoScreens));
    EXPECT_EQ(Corner(), std::to_string(1024 - size.cx) + ",0");
}

TEST_F(PlacedWindow, CenterWindowCentresOnTheWorkAreaOrAnotherWindow) {
    Place(0, 0, 500, 400);
    const RECT workArea = {0, 30, 1024, 768};
    EXPECT_TRUE(window.CenterWindowWithin(nullptr, workArea, SingleScreen));
    EXPECT_EQ(Corner(), "262,199");

    ui::Window over;
    ASSERT_TRUE(CreateTopLevel(over, 600, 100, 301, 200));
    WindowGuard overGuard(over.hwnd);
    // Narrower than the window: its left edge; the half pixel is dropped.
    EXPECT_TRUE(window.CenterWindowWithin(over.hwnd, workArea, SingleScreen));
    EXPECT_EQ(Corner(), "524,100");
    over.SetSize(701, 601);
    EXPECT_TRUE(window.CenterWindowWithin(over.hwnd, workArea, TwoScreens));
    EXPECT_EQ(Corner(), "524,200");
}

TEST_F(PlacedWindow, WithoutAPlacementNothingMoves) {
    Place(2000, 100, 300, 200);
    const HWND live = window.hwnd;
    ui::Window stale;
    stale.hwnd = live;
    DestroyWindow(live);
    EXPECT_FALSE(stale.KeepOnScreenWithin(nullptr, SingleScreen));

    int x = 11;
    int y = 22;
    RECT rect = {1, 2, 3, 4};
    EXPECT_FALSE(stale.GetNormalPosition(&x, &y));
    EXPECT_FALSE(stale.GetNormalRect(&rect));
    EXPECT_EQ(x, 11);
    EXPECT_EQ(y, 22);
    EXPECT_EQ(rect.right, 3);
}

TEST_F(PlacedWindow, NormalRectangleSurvivesMaximising) {
    Place(40, 50, 300, 200);
    ShowWindow(window.hwnd, SW_SHOWMAXIMIZED);
    int x = 0;
    int y = 0;
    RECT rect = {};
    ASSERT_TRUE(window.GetNormalPosition(&x, &y));
    ASSERT_TRUE(window.GetNormalRect(&rect));
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);

    WINDOWPLACEMENT placement = {};
    ASSERT_TRUE(window.GetPlacement(&placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = RECT{70, 80, 370, 280};
    placement.length = 0;
    ASSERT_TRUE(window.SetPlacement(&placement));
    ASSERT_TRUE(window.GetNormalPosition(&x, &y));
    EXPECT_EQ(x, 70);
    EXPECT_FALSE(IsZoomed(window.hwnd));
}

TEST(Placement, ClampSizingRectMovesTheDraggedEdge) {
    // The dragged edge and the rectangle after: a 100 x 80 rectangle held to
    // 200 x 200; one large enough already (edge 0) is left alone.
    const std::pair<WPARAM, RECT> cases[] = {
        {0, {300, 300, 550, 600}},
        {WMSZ_LEFT, {200, 300, 400, 500}},
        {WMSZ_TOPLEFT, {200, 180, 400, 380}},
        {WMSZ_BOTTOMRIGHT, {300, 300, 500, 500}},
    };
    for (const auto& [edge, expected] : cases) {
        RECT rect = edge == 0 ? RECT{300, 300, 550, 600} : RECT{300, 300, 400, 380};
        ui::ClampSizingRect(edge, &rect, 200, 200);
        EXPECT_TRUE(EqualRect(&rect, &expected)) << "edge " << edge;
    }
}

TEST(Placement, TrimSystemMenuLeavesSizeMoveAndClose) {
    ui::Window window;
    ASSERT_TRUE(CreateTopLevel(window));
    WindowGuard guard(window.hwnd);
    ui::TrimSystemMenu(window.hwnd);
    const HMENU menu = GetSystemMenu(window.hwnd, FALSE);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        ids.push_back(GetMenuItemID(menu, i));
    }
    EXPECT_EQ(ids, (std::vector<UINT>{SC_MOVE, SC_SIZE, SC_CLOSE}));
}

TEST(Placement, VirtualScreenMetricsWithAndWithoutMultiMonitorSupport) {
    // Wine exports the multi-monitor functions; the answer is remembered.
    EXPECT_TRUE(ui::InitMultiMonitor());
    // Without it the virtual screen is the one screen; other metrics pass through.
    const int metrics[][2] = {{SM_XVIRTUALSCREEN, 0},
                              {SM_CXVIRTUALSCREEN, GetSystemMetrics(SM_CXSCREEN)},
                              {SM_CMONITORS, 1},
                              {SM_CXVSCROLL, GetSystemMetrics(SM_CXVSCROLL)}};
    for (const auto& m : metrics) {
        EXPECT_EQ(ui::SingleScreenMetric(m[0]), m[1]) << m[0];
    }
}
