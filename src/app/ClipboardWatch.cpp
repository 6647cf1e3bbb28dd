#include "app/ClipboardWatch.h"

namespace app {

void ClipboardWatch::Set(HWND window, bool wanted) {
    if (wanted == on || window == nullptr) {
        return;
    }
    if (wanted ? AddClipboardFormatListener(window) : RemoveClipboardFormatListener(window)) {
        on = wanted;
    } else if (!wanted) {
        on = false;
    }
}

bool ClipboardWatch::IsOthersChange(HWND window) const {
    if (!on) {
        return false;
    }
    // The program's own Copy owns the clipboard until someone empties it; the
    // sequence number covers an owner window that is gone by now.
    const DWORD sequence = GetClipboardSequenceNumber();
    return GetClipboardOwner() != window && (ownCopySequence == 0 || sequence != ownCopySequence);
}

} // namespace app
