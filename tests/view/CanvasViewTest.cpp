#include "image/Image.h"
#include "image/JoinDocument.h"
#include "image/ScopedGdi.h"
#include "settings/AppSettings.h"
#include "view/CanvasView.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr const char* ParentClass = "QtoraViewTestParent";

// A hidden top-level window holding one canvas over a local document.
class CanvasViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.fSize = 1;
        settings.PerW = 100;
        settings.PerH = 100;
        settings.PadSize = 0;
        static const ATOM parentClass = ui::Window::RegisterWindowClass(
            ParentClass, nullptr, nullptr, nullptr, nullptr, nullptr, 0);
        static const ATOM canvasClass = ui::Window::RegisterWindowClass(
            "Qtora_Gen", nullptr, nullptr, nullptr, nullptr, nullptr, 0);
        ASSERT_NE(parentClass, 0);
        ASSERT_NE(canvasClass, 0);
        ASSERT_TRUE(parent.Create(0, ParentClass, "parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  0, 0, 800, 600, nullptr, nullptr));
        ASSERT_TRUE(canvas.Create(parent.hwnd));
    }
    void TearDown() override {
        if (parent.hwnd != nullptr && IsWindow(parent.hwnd)) {
            DestroyWindow(parent.hwnd);
        }
    }

    // Pastes a picture whose pixel (x, y) is Colour(x, y).
    void PastePicture(int width, int height) {
        image::Image picture;
        ASSERT_TRUE(picture.Create(width, height, 24));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                picture.WritePixel(x, y, Colour(x, y), false);
            }
        }
        ASSERT_TRUE(document.PasteImage(picture, false, 0, settings));
    }
    static image::PixelValue Colour(int x, int y) {
        return static_cast<image::PixelValue>(0x400000 | ((x & 0xFF) << 8) | (y & 0xFF));
    }
    // Client area of exactly width x height (the client edge takes 2 pixels
    // a side) before any scroll bar appears.
    void SizeClient(int width, int height) { canvas.SetSize(width + 4, height + 4); }
    SCROLLINFO Bar(int kind) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(canvas.hwnd, kind, &info);
        return info;
    }
    // Renders the canvas as WM_PRINTCLIENT asks into a 24-bit picture.
    void Render(image::Image& target) {
        const SIZE client = canvas.ClientSize();
        ASSERT_TRUE(target.Create(client.cx, client.cy, 24));
        image::MemoryDC dc;
        image::SelectScope select(dc.Get(), target.Bitmap);
        canvas.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()),
                    PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
    }

    settings::AppSettings settings;
    image::JoinDocument document;
    ui::Window parent;
    view::CanvasView canvas{document, settings};
};

image::PixelValue Grey() {
    return image::ColourToPixel(GetSysColor(COLOR_BTNSHADOW));
}

} // namespace

TEST_F(CanvasViewTest, ScrollRangesFollowTheZoom) {
    PastePicture(300, 3);
    SizeClient(100, 50);
    struct Case {
        std::uint16_t scale;
        int max;
    };
    for (const Case& c : {Case{8, 599}, Case{4, 299}, Case{3, 224}, Case{2, 149}, Case{1, 74}}) {
        settings.Scale = c.scale;
        canvas.UpdateScrollRanges();
        const SCROLLINFO h = Bar(SB_HORZ);
        EXPECT_EQ(h.nMin, 0) << "scale " << c.scale;
        EXPECT_EQ(h.nMax, c.max) << "scale " << c.scale;
        // The system keeps the page within the range.
        const int client = canvas.ClientSize().cx;
        EXPECT_EQ(static_cast<int>(h.nPage), client < c.max + 1 ? client : c.max + 1)
            << "scale " << c.scale;
    }

    // 3 pixels at 25 % are 0 zoomed pixels: range 0 to -1, which the system
    // stores as the empty range 0 to 0, and no bar.
    image::JoinDocument narrow;
    view::CanvasView other(narrow, settings);
    ASSERT_TRUE(other.Create(parent.hwnd));
    image::Image picture;
    ASSERT_TRUE(picture.Create(3, 3, 24));
    ASSERT_TRUE(narrow.PasteImage(picture, false, 0, settings));
    settings.Scale = 1;
    other.UpdateScrollRanges();
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE;
    GetScrollInfo(other.hwnd, SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 0);
    EXPECT_EQ(GetWindowLongA(other.hwnd, GWL_STYLE) & WS_HSCROLL, 0);
}

TEST_F(CanvasViewTest, AnEmptyDocumentHasNoBarsAndPaintsGrey) {
    SizeClient(60, 40);
    canvas.UpdateScrollRanges();
    EXPECT_EQ(Bar(SB_HORZ).nMax, 0);
    EXPECT_EQ(Bar(SB_VERT).nMax, 0);
    EXPECT_EQ(GetWindowLongA(canvas.hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    image::Image shot;
    Render(shot);
    EXPECT_EQ(shot.ReadPixel(0, 0), Grey());
    EXPECT_EQ(shot.ReadPixel(59, 39), Grey());
}

TEST_F(CanvasViewTest, HandleScrollForEveryRequest) {
    PastePicture(1000, 10);
    SizeClient(100, 50);
    canvas.UpdateScrollRanges();
    view::ScrollBar& bar = canvas.hScroll;
    ASSERT_EQ(Bar(SB_HORZ).nMax, 999);
    ASSERT_EQ(Bar(SB_HORZ).nPage, 100u);

    EXPECT_EQ(bar.HandleScroll(SB_LINEDOWN, 0, nullptr), 1);
    EXPECT_EQ(bar.HandleScroll(SB_LINEUP, 0, nullptr), 0);
    EXPECT_EQ(bar.HandleScroll(SB_LINEUP, 0, nullptr), 0);
    EXPECT_EQ(bar.HandleScroll(SB_PAGEDOWN, 0, nullptr), 100);
    EXPECT_EQ(bar.HandleScroll(SB_PAGEUP, 0, nullptr), 0);
    EXPECT_EQ(bar.HandleScroll(SB_THUMBTRACK, 500, nullptr), 500);
    EXPECT_EQ(bar.HandleScroll(SB_THUMBPOSITION, 880, nullptr), 880);
    EXPECT_EQ(bar.HandleScroll(SB_ENDSCROLL, 0, nullptr), 880);
    // The last page ends at the end of the range.
    EXPECT_EQ(bar.HandleScroll(SB_PAGEDOWN, 0, nullptr), 900);
    EXPECT_EQ(bar.HandleScroll(SB_BOTTOM, 0, nullptr), 900);
    EXPECT_EQ(bar.HandleScroll(SB_TOP, 0, nullptr), 0);
    EXPECT_EQ(bar.GetPos(), 0);

    // A message from a scroll bar control is not this window bar's.
    EXPECT_EQ(bar.HandleScroll(SB_LINEDOWN, 0, parent.hwnd), -1);
    EXPECT_EQ(bar.GetPos(), 0);

    // Through the window message as the system sends it.
    canvas.Send(WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(bar.GetPos(), 100);
}

TEST_F(CanvasViewTest, PaintsThePictureAtOneHundredAndTwoHundredPercent) {
    PastePicture(30, 20);
    SizeClient(100, 80);
    settings.Scale = 4;
    canvas.UpdateScrollRanges();
    image::Image shot;
    Render(shot);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(shot.ReadPixel(x, y), Colour(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(shot.ReadPixel(30, 0), Grey());
    EXPECT_EQ(shot.ReadPixel(0, 20), Grey());
    EXPECT_EQ(shot.ReadPixel(99, 79), Grey());

    settings.Scale = 8;
    canvas.UpdateScrollRanges();
    Render(shot);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            ASSERT_EQ(shot.ReadPixel(x, y), Colour(x / 2, y / 2)) << x << "," << y;
        }
    }
    EXPECT_EQ(shot.ReadPixel(60, 10), Grey());
    EXPECT_EQ(shot.ReadPixel(10, 40), Grey());
}

TEST_F(CanvasViewTest, ScrolledViewStartsAtTheScrolledCanvasPixel) {
    PastePicture(200, 20);
    SizeClient(50, 40);
    settings.Scale = 3;
    canvas.UpdateScrollRanges();
    canvas.hScroll.HandleScroll(SB_THUMBPOSITION, 10, nullptr);
    ASSERT_EQ(canvas.hScroll.GetPos(), 10);
    image::Image shot;
    Render(shot);
    // At 75 % position 10 is canvas pixel 13 (10 * 4 / 3).
    EXPECT_EQ(shot.ReadPixel(0, 0), Colour(13, 0));
}
