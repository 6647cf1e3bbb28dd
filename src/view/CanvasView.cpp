#include "view/CanvasView.h"

#include "ui/file/DroppedFiles.h"

namespace view {

bool CanvasView::Create(HWND parent) {
    if (!ui::Window::Create(WS_EX_CLIENTEDGE, "Qtora_Gen", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 200, 200, parent,
                            nullptr)) {
        return false;
    }
    hScroll.Bind(hwnd, SB_HORZ);
    vScroll.Bind(hwnd, SB_VERT);
    return true;
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
    SetStretchBltMode(dc, COLORONCOLOR);
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
