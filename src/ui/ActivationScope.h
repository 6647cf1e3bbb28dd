#pragma once

#include <windows.h>

namespace ui {

// Gives the activation and the keyboard focus back, at the end of its scope,
// to the window of this thread that had them when it began. The program's
// message boxes are ownerless and task-modal: while one runs it disables the
// thread's windows, and when it ends the system activates whatever window it
// finds next, which is often none of the program's, so every key and
// accelerator would be lost until the user clicks a window.
class ActivationScope {
public:
    ActivationScope() : active(GetActiveWindow()), focus(GetFocus()) {}
    ~ActivationScope();

    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

private:
    HWND active;
    HWND focus;
};

} // namespace ui
