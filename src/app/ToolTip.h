#pragma once

#include "ui/Window.h"

#include <windows.h>

namespace app {

// Thin wrapper of a "tooltips_class32" control.
class ToolTip : public ui::Window {
public:
    bool Create(HWND owner);
    // A tool over a rectangle of window (its client rectangle when rect is
    // null). The control subclasses the window to see the mouse and keeps its
    // own copy of the text.
    bool AddTool(HWND window, UINT_PTR id, HINSTANCE instance, const char* text, const RECT* rect);
};

} // namespace app
