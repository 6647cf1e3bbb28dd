#pragma once

#include "ui/Window.h"

#include <windows.h>

#include <string>
#include <vector>

// Shared by the tests that need windows of their own: one window class on the
// framework's procedure, a hidden top-level window of it destroyed at the end
// of the scope, and a pump for what the code under test posted.

namespace testsupport {

constexpr const char* TestClassName = "QtoraTestWindow";

// Creates the object's window as a hidden overlapped window of the test class.
inline bool CreateTopLevel(ui::Window& window, int x = 100, int y = 100, int width = 300,
                           int height = 200) {
    static const ATOM atom = ui::Window::RegisterWindowClass(
        TestClassName, nullptr, nullptr, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr, 0);
    return atom != 0 && window.Create(0, TestClassName, "test", WS_OVERLAPPEDWINDOW, x, y, width,
                                      height, nullptr, nullptr) != FALSE;
}

// A window that records the commands it is sent, with their notification
// codes (1 from an accelerator): the owner the tool windows report to.
class CommandRecorder : public ui::Window {
public:
    int OnCommand(UINT id, UINT code, HWND) override {
        commands.push_back(id);
        codes.push_back(code);
        return 1;
    }

    std::vector<UINT> commands;
    std::vector<UINT> codes;
};

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

// A child window's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A window's text, up to 255 bytes.
inline std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Whether upper lies above lower in the z-order.
inline bool IsAbove(HWND upper, HWND lower) {
    HWND below = GetWindow(upper, GW_HWNDNEXT);
    while (below != nullptr && below != lower) {
        below = GetWindow(below, GW_HWNDNEXT);
    }
    return below != nullptr;
}

// Dispatches every message waiting for this thread; a WM_QUIT a window
// posted as it was destroyed is dropped with the rest.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
}

} // namespace testsupport
