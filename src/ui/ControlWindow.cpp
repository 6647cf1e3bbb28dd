#include "ui/ControlWindow.h"

namespace ui {

LRESULT ControlWindow::DefaultProc(bool notHandled, LRESULT, UINT msg, WPARAM wParam,
                                   LPARAM lParam) {
    if (previousProc == nullptr) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    if (notHandled) {
        return CallWindowProcA(previousProc, hwnd, msg, wParam, lParam);
    }
    return 0;
}

HWND ControlWindow::AttachDlgItem(HWND parent, int id) {
    hwnd = GetDlgItem(parent, id);
    return hwnd;
}

BOOL ControlWindow::CreateControl(DWORD exStyle, const char* className, DWORD style,
                                  const RECT* rect, HWND parent, int id) {
    hwnd = CreateWindowExA(exStyle, className, "", style, rect->left, rect->top, rect->right,
                           rect->bottom, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
    return hwnd != nullptr;
}

} // namespace ui
