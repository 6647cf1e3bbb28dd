#include "ui/ColourButton.h"

#include "ui/Dpi.h"

namespace ui {

namespace {

// Gap between the button's edge and the swatch's black outline, at 96 DPI.
constexpr int SwatchInset = 5;

// A solid brush deleted when it goes out of scope.
class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : brush(CreateSolidBrush(colour)) {}
    ~SolidBrush() {
        if (brush != nullptr) {
            DeleteObject(brush);
        }
    }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH Handle() const { return brush; }

private:
    HBRUSH brush;
};

} // namespace

void ColourButton::SetColour(COLORREF value) {
    colour = value;
    InvalidateRect(hwnd, nullptr, FALSE);
}

int ColourButton::DrawItem(const DRAWITEMSTRUCT* item) {
    if (item->hwndItem != hwnd) {
        return 0;
    }
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    RECT face = item->rcItem;
    DrawFrameControl(item->hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    RECT swatch = item->rcItem;
    const int inset = ScaleToDpi(SwatchInset, WindowDpi(hwnd));
    InflateRect(&swatch, -inset, -inset);
    if (pressed) {
        OffsetRect(&swatch, 1, 1);
    }
    FrameRect(item->hDC, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&swatch, -1, -1);
    const SolidBrush fill(colour);
    if (fill.Handle() != nullptr) {
        FillRect(item->hDC, &swatch, fill.Handle());
    }
    return 1;
}

} // namespace ui
