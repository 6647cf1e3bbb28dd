#include "ui/Dpi.h"

#include <utility>

namespace ui {

int ScaleToDpi(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(BaseDpi));
}

int ScaleFromDpi(int length, UINT dpi) {
    // A DPI of 0 (a window handle that is gone) leaves the length as it is.
    return dpi == 0 ? length : MulDiv(length, static_cast<int>(BaseDpi), static_cast<int>(dpi));
}

UINT WindowDpi(HWND window) {
    const UINT dpi = window != nullptr ? GetDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

UINT SystemDpi() {
    const UINT dpi = GetDpiForSystem();
    return dpi != 0 ? dpi : BaseDpi;
}

int ImageScalePercent(UINT dpi) {
    const int percent = MulDiv(static_cast<int>(dpi), 100, static_cast<int>(BaseDpi));
    if (percent <= 125) {
        return 100;
    }
    return percent <= 175 ? 150 : 200;
}

int BitmapForDpi(const ScaledBitmap& bitmap, UINT dpi) {
    switch (ImageScalePercent(dpi)) {
    case 100:
        return bitmap.at100;
    case 150:
        return bitmap.at150;
    default:
        return bitmap.at200;
    }
}

void RescaleFont(HWND control, UINT fromDpi, UINT toDpi, win::GdiObject& owner) {
    if (control == nullptr || fromDpi == 0 || fromDpi == toDpi) {
        return;
    }
    auto shown = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (shown == nullptr) {
        shown = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    LOGFONTA face = {};
    if (GetObjectA(shown, sizeof(face), &face) != sizeof(face)) {
        return;
    }
    face.lfHeight = MulDiv(face.lfHeight, static_cast<int>(toDpi), static_cast<int>(fromDpi));
    win::GdiObject made(CreateFontIndirectA(&face));
    if (made) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(made.Get()), TRUE);
        owner = std::move(made);
    }
}

void TakeSuggestedRect(HWND window, LPARAM suggested) {
    const RECT* rect = reinterpret_cast<const RECT*>(suggested);
    if (rect != nullptr) {
        SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left,
                     rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace ui
