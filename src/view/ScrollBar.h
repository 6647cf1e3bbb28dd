#pragma once

#include "ui/ControlWindow.h"

#include <windows.h>

namespace view {

// One scroll bar: a window's own horizontal or vertical bar (hwnd is the
// window that owns it) or a scroll bar control (SB_CTL, hwnd is the control).
class ScrollBar : public ui::ControlWindow {
public:
    void Bind(HWND owner, int kind) {
        hwnd = owner;
        barKind = kind;
    }

    // Sets range and page. Without disableWhenUseless a bar whose range is
    // empty or fits in one page is hidden by the system.
    BOOL SetRange(int min, int max, UINT page, bool disableWhenUseless, bool redraw);
    int GetPos() const;
    // Applies one WM_HSCROLL/WM_VSCROLL request; the new position, or -1 when
    // the message belongs to another bar. Thumb requests use the 32-bit track
    // position, so ranges beyond 65535 scroll to where the thumb is.
    int HandleScroll(UINT request, UINT position, HWND scrollBar);

    int barKind = SB_HORZ;
};

} // namespace view
