#include "image/Image.h"
#include "image/JoinDocument.h"
#include "win/ScopedGdi.h"
#include "settings/AppSettings.h"
#include "support/TestPictures.h"
#include "view/CanvasView.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>

namespace {

constexpr const char* ParentClass = "QtoraViewTestParent";

// A hidden top-level window holding one canvas over a local document.
class CanvasViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.PadSize = 0; // pictures at 100 %, side by side
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

    // Pastes a picture whose pixel (x, y) is pixel(x, y).
    void PastePicture(int width, int height, image::PixelValue (*pixel)(int, int) = Colour) {
        image::Image picture;
        ASSERT_TRUE(testpictures::MakeImage(picture, width, height, pixel));
        ASSERT_TRUE(document.PasteImage(picture, false, 0, settings.PasteValues()));
    }
    static image::PixelValue Colour(int x, int y) {
        return static_cast<image::PixelValue>(0x400000 | ((x & 0xFF) << 8) | (y & 0xFF));
    }
    // Client area of exactly width x height (the client edge takes 2 pixels
    // a side) before any scroll bar appears.
    void SizeClient(int width, int height) { canvas.SetSize(width + 4, height + 4); }
    SCROLLINFO Bar(int kind) {
        SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(canvas.hwnd, kind, &info);
        return info;
    }
    // Renders the canvas as WM_PRINTCLIENT asks into a 24-bit picture.
    void Render(image::Image& target) {
        const SIZE client = canvas.ClientSize();
        ASSERT_TRUE(target.Create(client.cx, client.cy, 24));
        win::MemoryDC dc;
        win::SelectScope select(dc.Get(), target.Bitmap);
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
    SizeClient(100, 50);
    // The picture's width, the scale and the range's end. 3 pixels at 25 %
    // are 0 zoomed pixels: range 0 to -1, which the system stores as the
    // empty range 0 to 0, as for an empty document.
    const int cases[][3] = {{300, 8, 599}, {300, 4, 299}, {300, 3, 224}, {300, 2, 149},
                            {300, 1, 74},  {3, 1, -1},    {0, 4, -1}};
    for (const auto& [width, scale, max] : cases) {
        SCOPED_TRACE(std::to_string(width) + " pixels at scale " + std::to_string(scale));
        document.Clear();
        if (width > 0) {
            PastePicture(width, 3);
        }
        settings.Scale = static_cast<std::uint16_t>(scale);
        canvas.UpdateScrollRanges();
        const SCROLLINFO h = Bar(SB_HORZ);
        EXPECT_EQ(h.nMin, 0);
        EXPECT_EQ(h.nMax, max < 0 ? 0 : max);
        const int client = canvas.ClientSize().cx;
        EXPECT_EQ((GetWindowLongA(canvas.hwnd, GWL_STYLE) & WS_HSCROLL) != 0, max >= client);
        if (max >= 0) {
            // The system keeps the page within the range.
            EXPECT_EQ(static_cast<int>(h.nPage), client < max + 1 ? client : max + 1);
        }
    }
}

TEST_F(CanvasViewTest, HandleScrollForEveryRequest) {
    PastePicture(1000, 10);
    SizeClient(100, 50);
    canvas.UpdateScrollRanges();
    view::ScrollBar& bar = canvas.hScroll;
    ASSERT_EQ(Bar(SB_HORZ).nMax, 999);
    ASSERT_EQ(Bar(SB_HORZ).nPage, 100u);

    // Each request, its thumb position, and where the bar ends up; the last
    // page ends at the end of the range.
    const int requests[][3] = {
        {SB_LINEDOWN, 0, 1},          {SB_LINEUP, 0, 0},      {SB_LINEUP, 0, 0},
        {SB_PAGEDOWN, 0, 100},        {SB_PAGEUP, 0, 0},      {SB_THUMBTRACK, 500, 500},
        {SB_THUMBPOSITION, 880, 880}, {SB_ENDSCROLL, 0, 880}, {SB_PAGEDOWN, 0, 900},
        {SB_BOTTOM, 0, 900},          {SB_TOP, 0, 0}};
    for (const auto& r : requests) {
        EXPECT_EQ(bar.HandleScroll(r[0], r[1], nullptr), r[2]) << "request " << r[0];
        EXPECT_EQ(bar.GetPos(), r[2]);
    }

    // A message from a scroll bar control is not this window bar's.
    EXPECT_EQ(bar.HandleScroll(SB_LINEDOWN, 0, parent.hwnd), -1);
    EXPECT_EQ(bar.GetPos(), 0);

    // Through the window message as the system sends it.
    canvas.Send(WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(bar.GetPos(), 100);
}

TEST_F(CanvasViewTest, PaintsGreyAndThePictureAtOneHundredAndTwoHundredPercent) {
    SizeClient(100, 80);
    canvas.UpdateScrollRanges();
    image::Image empty;
    Render(empty);
    EXPECT_EQ(empty.ReadPixel(0, 0), Grey());
    EXPECT_EQ(empty.ReadPixel(99, 79), Grey());
    PastePicture(30, 20);
    for (int factor : {1, 2}) {
        settings.Scale = static_cast<std::uint16_t>(4 * factor);
        canvas.UpdateScrollRanges();
        image::Image shot, zoomed;
        Render(shot);
        ASSERT_TRUE(
            testpictures::MakeImage(zoomed, 30 * factor, 20 * factor, [factor](int x, int y) {
                return Colour(x / factor, y / factor);
            }));
        EXPECT_TRUE(testpictures::SameBlock(shot, 0, 0, zoomed, 0, 0, 30 * factor, 20 * factor));
        EXPECT_EQ(shot.ReadPixel(30 * factor, 0), Grey());
        EXPECT_EQ(shot.ReadPixel(0, 20 * factor), Grey());
        EXPECT_EQ(shot.ReadPixel(99, 79), Grey());
    }
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

TEST_F(CanvasViewTest, WheelAndKeysScroll) {
    PastePicture(2000, 2000);
    SizeClient(200, 100);
    canvas.UpdateScrollRanges();
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    const int notch = static_cast<int>(lines) * canvas.ScrollStep();
    const int line = canvas.ScrollStep();
    const int page = static_cast<int>(Bar(SB_VERT).nPage);
    const auto wheel = [](WORD keys, int delta) {
        return MAKEWPARAM(keys, static_cast<WORD>(delta));
    };
    // Message, wParam, then the positions from 500, 500; a positive delta is
    // the wheel turned away from the user.
    const std::tuple<UINT, WPARAM, int, int> cases[] = {
        {WM_MOUSEWHEEL, wheel(0, -2 * WHEEL_DELTA), 500, 500 + 2 * notch},
        {WM_MOUSEWHEEL, wheel(MK_SHIFT, WHEEL_DELTA), 500 - notch, 500},
        {WM_MOUSEHWHEEL, wheel(0, WHEEL_DELTA), 500 + notch, 500},
        {WM_KEYDOWN, VK_UP, 500, 500 - line},
        {WM_KEYDOWN, VK_RIGHT, 500 + line, 500},
        {WM_KEYDOWN, VK_NEXT, 500, 500 + page},
        {WM_KEYDOWN, VK_HOME, 500, 0},
        {WM_KEYDOWN, VK_END, 500, 2000 - page}};
    for (const auto& [msg, wParam, x, y] : cases) {
        canvas.hScroll.HandleScroll(SB_THUMBPOSITION, 500, nullptr);
        canvas.vScroll.HandleScroll(SB_THUMBPOSITION, 500, nullptr);
        canvas.Send(msg, wParam, 0);
        EXPECT_EQ(std::make_pair(canvas.hScroll.GetPos(), canvas.vScroll.GetPos()),
                  std::make_pair(x, y))
            << msg << " " << wParam;
    }
    // Precision touchpads send fractions of a notch: four of 30 make one.
    canvas.vScroll.HandleScroll(SB_TOP, 0, nullptr);
    for (int i = 1; i <= 4; ++i) {
        canvas.Send(WM_MOUSEWHEEL, wheel(0, -30), 0);
        EXPECT_EQ(canvas.vScroll.GetPos(), i < 4 ? 0 : notch) << i;
    }
}

TEST_F(CanvasViewTest, BelowOneHundredPercentThePictureIsAveraged) {
    // A one-pixel checkerboard reduced to 75 % falls between source pixels:
    // averaged it shows shades, copied pixel for pixel only black and white.
    PastePicture(40, 40, [](int x, int y) -> image::PixelValue { return (x + y) % 2 * 0xFFFFFF; });
    for (std::uint16_t scale : {3, 4, 8}) {
        settings.Scale = scale;
        image::Image shot;
        Render(shot);
        const image::PixelValue pixel = shot.ReadPixel(1, 1);
        EXPECT_EQ(pixel != 0 && pixel != 0xFFFFFF, scale == 3) << scale << " " << pixel;
    }
}
