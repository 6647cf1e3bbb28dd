#include "ui/SystemDialogs.h"

#include "ui/CommonDialogs.h"
#include "ui/Dialog.h"

#include <shellapi.h>

#include <atomic>
#include <string>

namespace ui {

namespace {

SystemDialogs& SystemImplementation() {
    static SystemDialogs system;
    return system;
}

// The batch worker thread may show a message too, so the pointer is read and
// written atomically; replacing it is for tests, on one thread.
std::atomic<SystemDialogs*> current{nullptr};

} // namespace

int SystemDialogs::ShowMessageBox(const char* text, const char* caption, UINT type) {
    return MessageBoxA(nullptr, text, caption, type);
}

BOOL SystemDialogs::ShowOpenFileDialog(OPENFILENAMEA* dialog) {
    return GetOpenFileNameA(dialog);
}

BOOL SystemDialogs::ShowSaveFileDialog(OPENFILENAMEA* dialog) {
    return GetSaveFileNameA(dialog);
}

bool SystemDialogs::ShowFolderDialog(BROWSEINFOA* dialog, char* path) {
    PIDLIST_ABSOLUTE list = SHBrowseForFolderA(dialog);
    if (list == nullptr) {
        return false;
    }
    // A confirmed item without a file-system path (BIF_RETURNONLYFSDIRS
    // should prevent it) counts as no choice rather than a stale path.
    // The path is asked for in UTF-16 with room for the longest one Windows
    // takes, then converted: the A form would cut it at MAX_PATH bytes.
    std::wstring wide(32768, L'\0');
    const BOOL found =
        SHGetPathFromIDListEx(list, &wide[0], static_cast<DWORD>(wide.size()), GPFIDL_DEFAULT);
    CoTaskMemFree(list);
    if (found == FALSE) {
        return false;
    }
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, path, MaxPathBytes, nullptr, nullptr);
    return bytes > 0;
}

BOOL SystemDialogs::ShowColourDialog(CHOOSECOLORA* dialog) {
    return ChooseColorA(dialog);
}

HINSTANCE SystemDialogs::ShellExecuteFile(HWND owner, const char* verb, const char* file,
                                          const char* parameters, const char* directory,
                                          int showCommand) {
    return ShellExecuteA(owner, verb, file, parameters, directory, showCommand);
}

INT_PTR SystemDialogs::RunModalDialog(Dialog& dialog, int templateId, HWND parent) {
    return dialog.RunModal(templateId, parent);
}

SystemDialogs& SystemDialogs::Current() {
    SystemDialogs* replacement = current.load();
    return replacement != nullptr ? *replacement : SystemImplementation();
}

SystemDialogs* SystemDialogs::Install(SystemDialogs* replacement) {
    if (replacement == &SystemImplementation()) {
        replacement = nullptr;
    }
    SystemDialogs* previous = current.exchange(replacement);
    return previous != nullptr ? previous : &SystemImplementation();
}

} // namespace ui
