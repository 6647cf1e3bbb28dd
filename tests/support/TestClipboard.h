#pragma once

#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <utility>

// The clipboard as another program fills it, for the tests that read it.

namespace testsupport {

// A movable global block holding a copy of the bytes, for the clipboard.
inline HGLOBAL Block(const void* bytes, size_t size) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block != nullptr) {
        std::memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

// Replaces the clipboard's contents with these formats and handles (none
// empties it); the clipboard takes the handles over.
inline bool Offer(std::initializer_list<std::pair<UINT, HANDLE>> formats) {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    bool offered = true;
    for (const auto& [format, data] : formats) {
        offered = SetClipboardData(format, data) != nullptr && offered;
    }
    CloseClipboard();
    return offered;
}

} // namespace testsupport
