#include "app/Application.h"

#include <commctrl.h>

#include <string>

namespace app {

namespace {

// Every class the program may use: list view, tree view, bars, tab, up-down,
// progress, hot-key and animate controls.
constexpr DWORD AllControlClasses = 0xFF;

std::string ReadyEventName(const char* mutexName) {
    return std::string(mutexName) + " ready";
}

bool IsEditControl(HWND window) {
    char name[16] = {};
    return window != nullptr && GetClassNameA(window, name, sizeof(name)) != 0 &&
           lstrcmpiA(name, "Edit") == 0;
}

} // namespace

bool Application::IsEditingKey(const MSG& msg) {
    // Key messages are posted to the window with the focus: msg.hwnd is the
    // edit control itself while the user types in it.
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || !IsEditControl(msg.hwnd)) {
        return false;
    }
    if (msg.wParam == VK_DELETE) {
        return true;
    }
    // The editing letters with Ctrl alone; Ctrl+Alt is AltGr on many keyboards.
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    switch (msg.wParam) {
    case 'Z':
    case 'X':
    case 'C':
    case 'V':
    case 'A':
        return control && !alt;
    default:
        return false;
    }
}

Application::~Application() {
    for (HANDLE handle : {mutex, readyEvent}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
}

void Application::AnnounceReady(const char* mutexName) {
    if (readyEvent == nullptr) {
        readyEvent = CreateEventA(nullptr, TRUE, FALSE, ReadyEventName(mutexName).c_str());
    }
    if (readyEvent != nullptr) {
        SetEvent(readyEvent);
    }
}

bool Application::WaitUntilReady(const char* mutexName, DWORD timeout) {
    // Created here when the first copy has not made it yet: both ends name
    // one manual-reset event, and whichever comes first makes it.
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, ReadyEventName(mutexName).c_str());
    if (ready == nullptr) {
        return false;
    }
    const bool signalled = WaitForSingleObject(ready, timeout) == WAIT_OBJECT_0;
    CloseHandle(ready);
    return signalled;
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
    if (accelerators != nullptr && !IsEditingKey(msg) &&
        TranslateAcceleratorA(mainWindow, accelerators, &msg) != 0) {
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
