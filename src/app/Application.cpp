#include "app/Application.h"

#include <commctrl.h>

namespace app {

namespace {

// Every class the program may use: list view, tree view, bars, tab, up-down,
// progress, hot-key and animate controls.
constexpr DWORD AllControlClasses = 0xFF;

} // namespace

Application::~Application() {
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
}

bool Application::InitInstance(const char* mutexName, bool initControls) {
    if (initControls) {
        INITCOMMONCONTROLSEX controls = {};
        controls.dwSize = sizeof(controls);
        controls.dwICC = AllControlClasses;
        InitCommonControlsEx(&controls);
    }
    if (mutexName == nullptr) {
        return true;
    }
    SetLastError(ERROR_SUCCESS);
    const HANDLE created = CreateMutexA(nullptr, FALSE, mutexName);
    if (created == nullptr) {
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Only a handle to the other copy's mutex: let it go, so that the
        // guard disappears with the copy that owns it.
        CloseHandle(created);
        return false;
    }
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
    mutex = created;
    return true;
}

int Application::RunMessageLoop(HWND mainWindow, int acceleratorId) {
    // A table loaded from resources is freed with the module; it needs no
    // DestroyAcceleratorTable.
    const HACCEL accelerators =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(acceleratorId & 0xFFFF));
    MSG msg = {};
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return -1;
        }
        ProcessMessage(mainWindow, accelerators, msg, modelessDialog);
    }
}

bool Application::ProcessMessage(HWND mainWindow, HACCEL accelerators, MSG& msg, HWND dialog) {
    if (accelerators != nullptr && TranslateAcceleratorA(mainWindow, accelerators, &msg) != 0) {
        return true;
    }
    // A modeless dialog gets no keyboard navigation unless the loop asks
    // IsDialogMessage for it; a message it takes is already dispatched.
    if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &msg) != FALSE) {
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return false;
}

bool Application::ModuleFolder(text::String& folder) {
    return folder.SetModulePath(nullptr);
}

} // namespace app
