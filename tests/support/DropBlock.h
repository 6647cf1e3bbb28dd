#pragma once

#include "win/WidePath.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace ui {

// A DROPFILES block as the shell builds it for WM_DROPFILES: wide names, each
// ended by a NUL, and a NUL after the last. The receiver frees it.
inline HGLOBAL MakeDropBlock(const std::vector<std::string>& paths) {
    std::wstring names;
    for (const std::string& path : paths) {
        names += file::WideText(path.c_str()) + L'\0';
    }
    const HGLOBAL block =
        GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    CopyMemory(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    return block;
}

} // namespace ui
