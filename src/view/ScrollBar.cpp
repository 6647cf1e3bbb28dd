#include "view/ScrollBar.h"

namespace view {

BOOL ScrollBar::SetRange(int min, int max, UINT page, bool disableWhenUseless, bool redraw) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | (disableWhenUseless ? SIF_DISABLENOSCROLL : 0);
    info.nMin = min;
    info.nMax = max;
    info.nPage = page;
    SetScrollInfo(hwnd, barKind, &info, redraw ? TRUE : FALSE);
    return TRUE;
}

int ScrollBar::GetPos() const {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    if (!GetScrollInfo(hwnd, barKind, &info)) {
        return 0;
    }
    return info.nPos;
}

int ScrollBar::HandleScroll(UINT request, UINT position, HWND scrollBar) {
    const bool mine = barKind == SB_CTL ? scrollBar == hwnd : scrollBar == nullptr;
    if (!mine) {
        return -1;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(hwnd, barKind, &info);

    // Positions are computed in 64 bits: pos + page can pass INT_MAX on a
    // huge zoomed canvas.
    long long pos = info.nPos;
    const long long page = info.nPage;
    bool clamp = true;
    switch (request) {
    case SB_LINEUP:
        pos -= 1;
        break;
    case SB_LINEDOWN:
        pos += 1;
        break;
    case SB_PAGEUP:
        pos -= page;
        break;
    case SB_PAGEDOWN:
        pos += page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        // The message carries only the low 16 bits of the thumb position; the
        // system's track position has all 32. A message that was not produced
        // by a thumb drag disagrees with it and is taken as it stands.
        pos = (static_cast<UINT>(info.nTrackPos) & 0xFFFF) == (position & 0xFFFF)
                  ? info.nTrackPos
                  : static_cast<long long>(position & 0xFFFF);
        break;
    case SB_TOP:
        pos = info.nMax < info.nMin ? info.nMax : info.nMin;
        clamp = false;
        break;
    case SB_BOTTOM:
        pos = info.nMax;
        break;
    default:
        break;
    }
    if (clamp) {
        if (pos < info.nMin) {
            pos = info.nMin;
        } else if (pos > info.nMax) {
            pos = info.nMax;
        }
    }
    if (pos + page > static_cast<long long>(info.nMax) + 1) {
        pos = static_cast<long long>(info.nMax) - page + 1;
    }
    SCROLLINFO update = {};
    update.cbSize = sizeof(update);
    update.fMask = SIF_POS;
    update.nPos = static_cast<int>(pos);
    SetScrollInfo(hwnd, barKind, &update, TRUE);
    return update.nPos;
}

} // namespace view
