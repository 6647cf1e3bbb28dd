#include "view/CanvasView.h"

#include "ui/Dpi.h"
#include "win/DroppedFiles.h"

namespace view {

namespace {

// Adds a wheel delta (the 16-bit word of the message, signed) to what is left
// over from before and returns the whole notches, keeping the rest. Turning
// the other way drops a fraction left from the old direction.
int TakeNotches(int& remainder, UINT delta) {
    const int signedDelta = static_cast<short>(delta);
    if ((remainder < 0 && signedDelta > 0) || (remainder > 0 && signedDelta < 0)) {
        remainder = 0;
    }
    remainder += signedDelta;
    const int notches = remainder / WHEEL_DELTA;
    remainder -= notches * WHEEL_DELTA;
    return notches;
}

} // namespace

bool CanvasView::Create(HWND parent) {
    if (!ui::Window::Create(WS_EX_CLIENTEDGE, "Qtora_Gen", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 200, 200, parent,
                            nullptr)) {
        return false;
    }
    hScroll.Bind(hwnd, SB_HORZ);
    vScroll.Bind(hwnd, SB_VERT);
    dpi = ui::WindowDpi(hwnd);
    return true;
}

int CanvasView::ScrollStep() const {
    return ui::ScaleToDpi(LineStep, dpi);
}

int CanvasView::ZoomQuarters() const {
    // Scale comes from the INI file unchecked; 0 would divide by zero.
    return settings.Scale == 0 ? 4 : settings.Scale;
}

void CanvasView::UpdateScrollRanges() {
    const long long s = ZoomQuarters();
    long long zoomedWidth;
    long long zoomedHeight;
    {
        image::JoinDocument::ReadGuard guard(document);
        zoomedWidth = s * document.width / 4;
        zoomedHeight = s * document.height / 4;
    }
    // Scroll ranges are ints: a zoomed canvas beyond that is cut to the range.
    const long long limit = 0x7FFFFFFF;
    const int maxX = static_cast<int>((zoomedWidth < limit ? zoomedWidth : limit) - 1);
    const int maxY = static_cast<int>((zoomedHeight < limit ? zoomedHeight : limit) - 1);
    // Showing or hiding one bar changes the client size the other's page was
    // computed from; a second pass sets the pages from the final size.
    SIZE client = ClientSize();
    for (int pass = 0; pass < 2; ++pass) {
        hScroll.SetRange(0, maxX, static_cast<UINT>(client.cx), false, true);
        vScroll.SetRange(0, maxY, static_cast<UINT>(client.cy), false, true);
        const SIZE now = ClientSize();
        if (now.cx == client.cx && now.cy == client.cy) {
            break;
        }
        client = now;
    }
    Invalidate(nullptr, TRUE);
}

void CanvasView::Paint(HDC dc, bool erase) {
    const long long s = ZoomQuarters();
    // The picture may be growing on the batch worker's thread: read and draw
    // it under the document's lock, so a half-built canvas never shows.
    image::JoinDocument::ReadGuard guard(document);
    int sx = 0;
    int sy = 0;
    if (document.width != 0) {
        sx = static_cast<int>(hScroll.GetPos() * 4LL / s);
        sy = static_cast<int>(vScroll.GetPos() * 4LL / s);
    }
    const int vw = document.width - sx;
    const int vh = document.height - sy;
    const int dw = static_cast<int>(s * vw / 4);
    const int dh = static_cast<int>(s * vh / 4);
    if (erase) {
        RECT client = {};
        ClientRect(&client);
        const HBRUSH grey = GetSysColorBrush(COLOR_BTNSHADOW);
        const RECT right = {dw, 0, client.right, client.bottom};
        FillRect(dc, &right, grey);
        if (dw != 0) {
            const RECT bottom = {0, dh, client.right, client.bottom};
            FillRect(dc, &bottom, grey);
        }
    }
    // Reduced, averaging keeps thin lines and small text legible where
    // dropping pixels would break them up; HALFTONE wants the brush origin
    // set after it. At 100 % and above every pixel is copied exactly.
    if (s < 4) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    document.picture.StretchDrawTo(dc, 0, 0, dw, dh, sx, sy, vw, vh);
}

int CanvasView::OnPaint() {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc != nullptr) {
        Paint(dc, paint.fErase != FALSE);
        EndPaint(hwnd, &paint);
    }
    return 1;
}

int CanvasView::FilterMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
    if (msg != WM_PRINTCLIENT) {
        return 0;
    }
    Paint(reinterpret_cast<HDC>(wParam), true);
    *result = 0;
    return 1;
}

int CanvasView::OnVScroll(UINT request, UINT position, HWND scrollBar) {
    vScroll.HandleScroll(request, position, scrollBar);
    Invalidate(nullptr, FALSE);
    return 1;
}

void CanvasView::ScrollTo(ScrollBar& bar, long long position) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(hwnd, bar.barKind, &info);
    const long long last = static_cast<long long>(info.nMax) - info.nPage + 1;
    if (position > last) {
        position = last;
    }
    if (position < info.nMin) {
        position = info.nMin;
    }
    info.fMask = SIF_POS;
    info.nPos = static_cast<int>(position);
    SetScrollInfo(hwnd, bar.barKind, &info, TRUE);
    Invalidate(nullptr, FALSE);
}

void CanvasView::WheelScroll(ScrollBar& bar, int notches) {
    if (notches == 0) {
        return;
    }
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    long long step = static_cast<long long>(lines) * ScrollStep();
    if (lines == WHEEL_PAGESCROLL) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_PAGE;
        GetScrollInfo(hwnd, bar.barKind, &info);
        step = info.nPage;
    }
    ScrollTo(bar, bar.GetPos() + notches * step);
}

int CanvasView::OnMouseWheel(UINT keys, UINT delta, UINT, UINT) {
    if ((keys & MK_CONTROL) != 0) {
        // Away from the user zooms in, one zoom step per notch.
        const int notches = TakeNotches(zoomWheel, delta);
        if (notches != 0 && zoomSteps) {
            zoomSteps(notches);
        }
    } else if ((keys & MK_SHIFT) != 0) {
        WheelScroll(hScroll, -TakeNotches(horizontalWheel, delta));
    } else {
        // A positive delta is the wheel turned away from the user: up.
        WheelScroll(vScroll, -TakeNotches(verticalWheel, delta));
    }
    return 1;
}

int CanvasView::OnMouseHWheel(UINT, UINT delta, UINT, UINT) {
    WheelScroll(hScroll, TakeNotches(horizontalWheel, delta));
    return 1;
}

int CanvasView::OnKeyDown(WPARAM key, LPARAM) {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        ScrollTo(vScroll, vScroll.GetPos() + (key == VK_UP ? -ScrollStep() : ScrollStep()));
        return 1;
    case VK_LEFT:
    case VK_RIGHT:
        ScrollTo(hScroll, hScroll.GetPos() + (key == VK_LEFT ? -ScrollStep() : ScrollStep()));
        return 1;
    case VK_PRIOR:
        return OnVScroll(SB_PAGEUP, 0, nullptr);
    case VK_NEXT:
        return OnVScroll(SB_PAGEDOWN, 0, nullptr);
    case VK_HOME:
        return OnVScroll(SB_TOP, 0, nullptr);
    case VK_END:
        return OnVScroll(SB_BOTTOM, 0, nullptr);
    default:
        return 0;
    }
}

int CanvasView::OnLButtonDown(WPARAM, UINT, UINT) {
    // A child window gets no focus from a click by itself, and the keys only
    // reach the window with the focus.
    SetFocus(hwnd);
    return 0;
}

void CanvasView::ScrollIntoView(const image::CellRect& cell) {
    const long long s = ZoomQuarters();
    const auto reveal = [this](ScrollBar& bar, long long start, long long end) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_PAGE | SIF_POS;
        GetScrollInfo(hwnd, bar.barKind, &info);
        long long position = info.nPos;
        if (end > position + info.nPage) {
            position = end - info.nPage;
        }
        if (start < position) {
            position = start;
        }
        ScrollTo(bar, position);
    };
    reveal(hScroll, s * cell.x / 4, s * (static_cast<long long>(cell.x) + cell.width) / 4);
    reveal(vScroll, s * cell.y / 4, s * (static_cast<long long>(cell.y) + cell.height) / 4);
}

int CanvasView::OnHScroll(UINT request, UINT position, HWND scrollBar) {
    hScroll.HandleScroll(request, position, scrollBar);
    Invalidate(nullptr, FALSE);
    return 1;
}

int CanvasView::OnDropFiles(HDROP drop) {
    const std::vector<std::string> names = file::DroppedFiles(drop).Names();
    // The key's state as of the drop message, not as of now.
    const bool below = GetKeyState(VK_SHIFT) < 0;
    if (filesDropped && !names.empty()) {
        filesDropped(names, below);
    }
    return 1;
}

} // namespace view
