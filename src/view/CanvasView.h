#pragma once

#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "ui/Window.h"
#include "view/ScrollBar.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace view {

// The child window that shows the joined picture at the zoom of Scale
// (quarters), anchored at the top-left, with the window's own scroll bars.
// Everything right of and below the picture is button-shadow grey. It only
// paints and scrolls; the main window calls UpdateScrollRanges whenever the
// document, the zoom or the size changed. Scroll units are zoomed pixels.
//
// The wheel scrolls down and up, with Shift (or the tilt wheel) sideways, and
// with Ctrl asks its owner to zoom through zoomSteps.
// The arrow keys, Page Up/Down, Home and End scroll while it has the focus,
// which a click gives it.
class CanvasView : public ui::Window {
public:
    CanvasView(image::JoinDocument& document, settings::AppSettings& settings)
        : document(document), settings(settings) {}

    // A child of parent with class "Qtora_Gen" (registered by start-up
    // without a background brush: only OnPaint erases).
    bool Create(HWND parent);
    void UpdateScrollRanges();

    int OnPaint() override;
    int OnVScroll(UINT request, UINT position, HWND scrollBar) override;
    int OnHScroll(UINT request, UINT position, HWND scrollBar) override;
    int OnMouseWheel(UINT keys, UINT delta, UINT x, UINT y) override;
    int OnMouseHWheel(UINT keys, UINT delta, UINT x, UINT y) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    int OnLButtonDown(WPARAM keys, UINT x, UINT y) override;
    // Answers WM_PRINTCLIENT by painting into the caller's context.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // Files dropped on the canvas (once DragAcceptFiles is on): their names
    // and whether Shift was held, which asks for them below.
    int OnDropFiles(HDROP drop) override;
    std::function<void(const std::vector<std::string>& paths, bool below)> filesDropped;
    // Ctrl+wheel: zoom steps in (positive) or out (negative), one a notch;
    // the owner of the zoom decides what a step is.
    std::function<void(int steps)> zoomSteps;

    // Draws the view into dc: the visible part of the picture and, with
    // erase, the grey around it.
    void Paint(HDC dc, bool erase);
    // Scrolls as little as needed to bring the cell (canvas pixels) into
    // view; when it is larger than the view its top-left corner wins.
    void ScrollIntoView(const image::CellRect& cell);

    // Scroll units of one arrow key press and of one wheel line at 96 DPI;
    // ScrollStep is the same length on the window's display.
    static constexpr int LineStep = 20;
    int ScrollStep() const;
    // The DPI of the window's display: the zoom stays the picture's own (at
    // 100 % a picture pixel is a screen pixel), only the steps follow it.
    void SetDpi(UINT windowDpi) { dpi = windowDpi; }

    ScrollBar hScroll;
    ScrollBar vScroll;

private:
    int ZoomQuarters() const;
    // Sets the bar's position, kept where the last page ends at the end of
    // the range, and redraws.
    void ScrollTo(ScrollBar& bar, long long position);
    // Scrolls by notches of the wheel, as many lines each as the user set.
    void WheelScroll(ScrollBar& bar, int notches);

    // Wheel deltas not yet making a whole notch: precision touchpads send
    // fractions of WHEEL_DELTA.
    int verticalWheel = 0;
    int horizontalWheel = 0;
    int zoomWheel = 0;
    UINT dpi = 96;

    image::JoinDocument& document;
    settings::AppSettings& settings;
};

} // namespace view
