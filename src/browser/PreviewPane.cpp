#include "browser/PreviewPane.h"

#include <algorithm>

namespace browser {

bool PreviewPane::Create(HWND parent) {
    return ui::Window::Create(WS_EX_CLIENTEDGE, PreviewClassName, "", WS_CHILD | WS_VISIBLE, 0, 0,
                              200, 100, parent, nullptr) != FALSE;
}

void PreviewPane::Paint(HDC dc) {
    RECT client = {};
    ClientRect(&client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (preview.IsEmpty()) {
        return;
    }
    const int x = std::max(0, static_cast<int>(client.right - preview.Width) / 2);
    const int y = std::max(0, static_cast<int>(client.bottom - preview.Height) / 2);
    preview.DrawTo(dc, x, y, preview.Width, preview.Height, 0, 0);
}

int PreviewPane::OnPaint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(hwnd, &paint);
    if (dc != nullptr) {
        Paint(dc);
    }
    EndPaint(hwnd, &paint);
    return 1;
}

int PreviewPane::FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg == WM_PRINTCLIENT) {
        Paint(reinterpret_cast<HDC>(wParam));
        *result = 0;
        return 1;
    }
    return ui::Window::FilterMessage(msg, wParam, lParam, result);
}

} // namespace browser
