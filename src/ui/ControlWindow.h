#pragma once

#include "ui/Window.h"

#include <windows.h>

// Holder of a standard control's handle, with the Window operations. Its
// handle comes from the dialog or from CreateControl, never from the
// framework's window procedure, so the control's messages do not reach the
// handlers.

namespace ui {

class ControlWindow : public Window {
public:
    // Without a previous procedure (the control is not subclassed) every
    // message gets DefWindowProcA.
    LRESULT DefaultProc(bool notHandled, LRESULT result, UINT msg, WPARAM wParam,
                        LPARAM lParam) override;

    // The dialog's control with that id; the handle, NULL when there is none.
    HWND AttachDlgItem(HWND parent, int id);
    // A control of a system class with an empty title. The rectangle's right
    // and bottom are passed as width and height: callers give a rectangle
    // whose origin is 0,0. TRUE when the control was created.
    BOOL CreateControl(DWORD exStyle, const char* className, DWORD style, const RECT* rect,
                       HWND parent, int id);

protected:
    WNDPROC previousProc = nullptr;
};

} // namespace ui
