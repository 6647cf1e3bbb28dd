#pragma once

#include "win/String.h"

#include <windows.h>

// The program's outermost frame: common controls, the single-instance guard
// and the message loop that offers every message to the main window's
// accelerators first. It owns the guard's mutex and the event that tells
// later copies the first is ready, which live until the object is destroyed
// at process exit.

namespace app {

class Application {
public:
    Application() = default;
    ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Registers the common control classes when initControls is set, then
    // takes the named mutex (when a name is given). False when another
    // holder of that name exists or the mutex cannot be created; a later
    // successful call replaces the mutex held.
    bool InitInstance(const char* mutexName, bool initControls);
    // Runs until WM_QUIT, with the accelerator table of that id from the
    // program's module acting on mainWindow whichever window has the focus.
    // Returns the code given to PostQuitMessage, or -1 when GetMessageA fails.
    int RunMessageLoop(HWND mainWindow, int acceleratorId);
    // One step of the loop: the message becomes a command of mainWindow when
    // it is one of its accelerator keys and not an editing key of an edit
    // control; otherwise a modeless dialog takes its
    // keyboard navigation keys (Tab, arrows, mnemonics); otherwise it is
    // translated and dispatched. True when an accelerator took it.
    static bool ProcessMessage(HWND mainWindow, HACCEL accelerators, MSG& msg,
                               HWND dialog = nullptr);
    // Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A and Delete typed in an edit
    // control: they edit the box's text and are never the main window's
    // accelerators (undoing a paste while the user corrects a number).
    static bool IsEditingKey(const MSG& msg);
    // The modeless dialog whose navigation keys the loop handles.
    void SetModelessDialog(HWND dialog) { modelessDialog = dialog; }
    // The folder of the executable, without a trailing separator.
    bool ModuleFolder(text::String& folder);

    // The copy holding the guard says its main window takes hand-overs now.
    // A copy refused by the guard waits for that (at most timeout ms) before
    // it looks for the window: copies started together, as Explorer starts
    // one per file, would otherwise find no window yet.
    void AnnounceReady(const char* mutexName);
    static bool WaitUntilReady(const char* mutexName, DWORD timeout);

private:
    HANDLE mutex = nullptr;
    HANDLE readyEvent = nullptr;
    HWND modelessDialog = nullptr;
};

} // namespace app
