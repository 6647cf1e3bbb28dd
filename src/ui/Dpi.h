#pragma once

#include "win/ScopedGdi.h"

#include <windows.h>

// Display scaling. The program is per-monitor aware: every length it lays out
// itself is given for 96 DPI (100 %) and scaled to the DPI of the monitor its
// window is on; a window keeps that DPI and changes it on WM_DPICHANGED.

namespace ui {

constexpr UINT BaseDpi = USER_DEFAULT_SCREEN_DPI;

// A length of 96 DPI at dpi, rounded to the nearest pixel.
int ScaleToDpi(int length, UINT dpi);
// A length of pixels at dpi back at 96 DPI.
int ScaleFromDpi(int length, UINT dpi);

// The DPI of the monitor the window is on; the system's for NULL.
UINT WindowDpi(HWND window);
// The DPI every unaware program's coordinates are scaled by: window places
// saved in those units stay valid whichever awareness reads them.
UINT SystemDpi();

// The images of one strip, drawn at 100, 150 and 200 %. The images are square
// and as high as their strip.
struct ScaledBitmap {
    int at100;
    int at150;
    int at200;
};
// Of 100, 150 and 200 %, the scale nearest to dpi (the smaller on a tie):
// pictures are never stretched, only chosen.
int ImageScalePercent(UINT dpi);
// The resource of the strip drawn at that scale.
int BitmapForDpi(const ScaledBitmap& bitmap, UINT dpi);

// Controls keep their font when their window moves to another DPI: gives the
// control a font made from the one it shows at fromDpi, as large as toDpi
// makes it. The font made is kept in owner (which lets go of the one it held
// only after the control did).
void RescaleFont(HWND control, UINT fromDpi, UINT toDpi, win::GdiObject& owner);

// The rectangle a WM_DPICHANGED message suggests, taken by the window.
void TakeSuggestedRect(HWND window, LPARAM suggested);

} // namespace ui
