#include "ui/CommonDialogs.h"

#include "ui/ActivationScope.h"
#include "ui/SystemDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

namespace ui {

namespace {

OPENFILENAMEA FileDialog(HWND owner, const char* filter, const char* defaultExtension,
                         const char* initialDirectory, bool fullPath, text::String& result) {
    result.Reserve(MaxPathBytes - 1);
    OPENFILENAMEA dialog = {};
    // The size without the Windows 2000 fields keeps the classic structure
    // layout that every system version accepts.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 0;
    dialog.lpstrInitialDir = initialDirectory;
    dialog.lpstrDefExt = defaultExtension;
    if (fullPath) {
        dialog.lpstrFile = result.Data();
        dialog.nMaxFile = static_cast<DWORD>(result.BufferSize());
    } else {
        dialog.lpstrFileTitle = result.Data();
        dialog.nMaxFileTitle = static_cast<DWORD>(result.BufferSize());
    }
    return dialog;
}

} // namespace

int MessageBoxTopmost(const char* text, const char* caption, UINT type) {
    ActivationScope keepActivation;
    return SystemDialogs::Current().ShowMessageBox(text, caption, type | MB_TOPMOST | MB_TASKMODAL);
}

int WarningBox(const char* text) {
    return MessageBoxTopmost(text, nullptr, MB_ICONWARNING);
}

bool ChooseOpenFile(HWND owner, const char* filter, const char* defaultExtension,
                    const char* initialDirectory, bool fullPath, bool allowMissing,
                    text::String& result) {
    OPENFILENAMEA dialog =
        FileDialog(owner, filter, defaultExtension, initialDirectory, fullPath, result);
    dialog.Flags = OFN_HIDEREADONLY | (allowMissing ? 0 : OFN_FILEMUSTEXIST);
    return SystemDialogs::Current().ShowOpenFileDialog(&dialog) != FALSE;
}

bool ChooseSaveFile(HWND owner, const char* filter, const char* defaultExtension,
                    const char* initialDirectory, bool fullPath, bool overwritePrompt,
                    text::String& result) {
    OPENFILENAMEA dialog =
        FileDialog(owner, filter, defaultExtension, initialDirectory, fullPath, result);
    dialog.Flags = OFN_HIDEREADONLY | (overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    return SystemDialogs::Current().ShowSaveFileDialog(&dialog) != FALSE;
}

bool ChooseFolder(HWND owner, const char* title, text::String& result, bool stripRoot) {
    result.Reserve(MaxPathBytes - 1);
    BROWSEINFOA dialog = {};
    dialog.hwndOwner = owner;
    dialog.lpszTitle = title;
    dialog.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!SystemDialogs::Current().ShowFolderDialog(&dialog, result.Data())) {
        return false;
    }
    if (stripRoot) {
        CutDriveRoot(result);
    }
    return true;
}

void CutDriveRoot(text::String& path) {
    const char* text = path.Data();
    if (path.Length() == 3 && text[1] == ':' && text[2] == '\\') {
        path.SetAt(2, 0);
    }
}

bool ChooseColour(HWND owner, COLORREF* colour) {
    // Custom colours live only for this call: the colour being edited, then
    // white.
    COLORREF customColours[16];
    customColours[0] = *colour;
    for (int i = 1; i < 16; ++i) {
        customColours[i] = RGB(255, 255, 255);
    }
    CHOOSECOLORA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.rgbResult = *colour;
    dialog.lpCustColors = customColours;
    dialog.Flags = CC_RGBINIT;
    if (!SystemDialogs::Current().ShowColourDialog(&dialog)) {
        return false;
    }
    *colour = dialog.rgbResult;
    return true;
}

} // namespace ui
