#pragma once

#include "ui/Window.h"

#include <windows.h>

// Shared by the ui tests: one window class on the framework's procedure, and
// a hidden top-level window of it destroyed at the end of the scope.

namespace uitest {

constexpr const char* TestClassName = "QtoraUiTest";

inline ATOM RegisterTestClass() {
    static const ATOM atom = ui::Window::RegisterWindowClass(
        TestClassName, nullptr, nullptr, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr, 0);
    return atom;
}

// Creates the object's window as a hidden overlapped window of the test class.
inline bool CreateTopLevel(ui::Window& window, int x = 100, int y = 100, int width = 300,
                           int height = 200) {
    RegisterTestClass();
    return window.Create(0, TestClassName, "test", WS_OVERLAPPEDWINDOW, x, y, width, height,
                         nullptr, nullptr) != FALSE;
}

// Destroys a window when the scope ends, if it still exists.
class WindowGuard {
public:
    explicit WindowGuard(HWND window) : window(window) {}
    ~WindowGuard() {
        if (window != nullptr && IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;

private:
    HWND window;
};

} // namespace uitest
