#include "ui/ColourButton.h"
#include "ui/Dialog.h"
#include "ui/ImageListHandle.h"
#include "win/ScopedGdi.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr int TestTemplate = 200;
constexpr int OwnerDrawButton = 1101;
constexpr int StripBitmap = 300;
constexpr COLORREF Sentinel = RGB(255, 0, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

// A memory device context with a 32-bit bitmap selected, filled with one
// colour and read back pixel by pixel.
struct MemoryCanvas {
    MemoryCanvas(int width, int height, COLORREF fill) : width(width), height(height) {
        Fill(fill);
    }
    void Fill(COLORREF colour) {
        const RECT all = {0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(win::GdiObject(CreateSolidBrush(colour)).Get()));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    int CountOf(COLORREF colour) const {
        int count = 0;
        for (int i = 0; i < width * height; ++i) {
            count += At(i % width, i / width) == colour ? 1 : 0;
        }
        return count;
    }

    const int width, height;
    const win::MemoryDC memory;
    const win::GdiObject bitmap{CreateBitmap(width, height, 1, 32, nullptr)};
    const win::SelectScope select{memory.Get(), bitmap.Get()};
    const HDC dc = memory.Get();
};

class ColourButtonDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.CreateModeless(TestTemplate, nullptr));
        handle = dialog.hwnd;
        ASSERT_NE(button.AttachDlgItem(handle, OwnerDrawButton), nullptr);
    }
    void TearDown() override { DestroyWindow(handle); }

    int Draw(HWND item, UINT state) {
        DRAWITEMSTRUCT draw = {ODT_BUTTON, OwnerDrawButton,    0, ODA_DRAWENTIRE, state, item,
                               canvas.dc,  RECT{0, 0, 40, 30}, 0};
        return button.DrawItem(&draw);
    }

    ui::Dialog dialog;
    HWND handle = nullptr;
    ui::ColourButton button;
    MemoryCanvas canvas{40, 30, Sentinel};
};

} // namespace

TEST_F(ColourButtonDrawing, FramesTheSwatchAndMovesItWhenPressed) {
    // Outline from (5, 5) to (34, 24) with the colour inside, one pixel down
    // and right when pressed.
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        const int d = state == ODS_SELECTED ? 1 : 0;
        const COLORREF colour = d ? RGB(255, 128, 0) : RGB(0, 128, 128);
        canvas.Fill(Sentinel);
        button.SetColour(colour);
        EXPECT_EQ(Draw(button.hwnd, state), 1);
        // The face covers the whole item.
        EXPECT_EQ(canvas.CountOf(Sentinel), 0) << state;
        EXPECT_EQ(canvas.CountOf(colour), 28 * 18) << state;
        // Points of the outline, then just outside it.
        const int outline[][2] = {{5, 5}, {34, 24}, {20, 5}, {5, 15}};
        for (const auto& p : outline) {
            EXPECT_EQ(canvas.At(p[0] + d, p[1] + d), Black) << state;
        }
        EXPECT_NE(canvas.At(4 + d, 4 + d), Black) << state;
        EXPECT_NE(canvas.At(35 + d, 25 + d), Black) << state;
    }
}

TEST_F(ColourButtonDrawing, AnotherControlsDrawItemLeavesTheCanvasUntouched) {
    button.SetColour(White);
    EXPECT_EQ(Draw(GetDlgItem(handle, IDOK), 0), 0);
    EXPECT_EQ(canvas.CountOf(Sentinel), 40 * 30);
}

TEST(ImageListHandle, LoadsAStripWithItsMaskColourTransparent) {
    ui::ImageListHandle images;
    ASSERT_TRUE(images.LoadFromBitmap(StripBitmap, 4, 0, RGB(255, 0, 0)));
    ASSERT_NE(images.Handle(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images.Handle()), 2);
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images.Handle(), &width, &height);
    EXPECT_EQ(width * 10 + height, 42);

    MemoryCanvas canvas(20, 4, White);
    ImageList_Draw(images.Handle(), 0, canvas.dc, 0, 0, ILD_NORMAL);
    ImageList_Draw(images.Handle(), 1, canvas.dc, 10, 0, ILD_NORMAL);
    // Red top corners show the background; the rest keeps its colour.
    EXPECT_EQ(canvas.At(0, 0), White);
    EXPECT_EQ(canvas.At(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(13, 0), White);
    EXPECT_EQ(canvas.At(10, 0), RGB(0, 255, 0));

    // Without a mask colour the red pixels are drawn.
    ui::ImageListHandle unmasked;
    ASSERT_TRUE(unmasked.LoadFromBitmap(StripBitmap, 4, 0, CLR_NONE));
    ImageList_Draw(unmasked.Handle(), 0, canvas.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
}

TEST(ImageListHandle, FailuresLeaveNoList) {
    ui::ImageListHandle images;
    EXPECT_FALSE(images.LoadFromBitmap(9999, 4, 0, RGB(255, 0, 0)));
    EXPECT_EQ(images.Handle(), nullptr);
    EXPECT_FALSE(images.LoadFromBitmap(StripBitmap, 0, 0, RGB(255, 0, 0)));
    EXPECT_EQ(images.Handle(), nullptr);
    // Images wider than the whole strip: a list without images is no list.
    EXPECT_FALSE(images.LoadFromBitmap(StripBitmap, 4096, 0, RGB(255, 0, 0)));
    EXPECT_EQ(images.Handle(), nullptr);
    EXPECT_FALSE(images.Destroy());

    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 1, 1));
    EXPECT_TRUE(images.Destroy());
    EXPECT_EQ(images.Handle(), nullptr);
}
