#pragma once

#include <windows.h>

namespace app {

// Whether a window listens to the clipboard, and whether a change it hears of
// came from another program: the program's own Copy is not pasted back.
class ClipboardWatch {
public:
    ClipboardWatch() = default;
    ClipboardWatch(const ClipboardWatch&) = delete;
    ClipboardWatch& operator=(const ClipboardWatch&) = delete;

    // Adds the window to the clipboard's listeners or takes it off; a window
    // must leave the list itself, as it is not taken off when destroyed.
    void Set(HWND window, bool on);
    bool IsOn() const { return on; }
    // Called right after the program's own Copy succeeded.
    void NoteOwnCopy() { ownCopySequence = GetClipboardSequenceNumber(); }
    // On WM_CLIPBOARDUPDATE: true when the watch is on and the new contents
    // are another program's.
    bool IsOthersChange(HWND window) const;

private:
    bool on = false;
    // The clipboard's sequence number right after the program's own Copy.
    DWORD ownCopySequence = 0;
};

} // namespace app
