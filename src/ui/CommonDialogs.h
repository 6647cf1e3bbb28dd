#pragma once

#include "win/String.h"

#include <windows.h>

// The program's message boxes and its four common dialogs. All of them go
// through SystemDialogs (ui/SystemDialogs.h), which tests replace. Each
// dialog is modal over its owner and reports only whether the user
// confirmed; results go into the caller's String or COLORREF.

namespace ui {

// Ownerless, task-modal and topmost: type | MB_TOPMOST | MB_TASKMODAL. When
// the box ends, the window that was active before it is active again.
int MessageBoxTopmost(const char* text, const char* caption, UINT type);
// MessageBoxTopmost with the warning icon and the system's default caption.
int WarningBox(const char* text);

// The longest path Windows takes (32767 UTF-16 units) as UTF-8 bytes, with
// its terminator: the room every dialog gives the path it returns.
constexpr int MaxPathBytes = 32767 * 3 + 1;

// filter: a double-NUL-terminated list of name and pattern pairs, the first
// selected. defaultExtension without the dot; initialDirectory may be NULL.
// fullPath chooses between the whole path and the bare name in result, whose
// current text is the initial file name; result grows to MaxPathBytes.
bool ChooseOpenFile(HWND owner, const char* filter, const char* defaultExtension,
                    const char* initialDirectory, bool fullPath, bool allowMissing,
                    text::String& result);
bool ChooseSaveFile(HWND owner, const char* filter, const char* defaultExtension,
                    const char* initialDirectory, bool fullPath, bool overwritePrompt,
                    text::String& result);
// A folder with a file-system path. With stripRoot a drive root comes back
// without its separator ("D:"), like every other folder the program keeps.
bool ChooseFolder(HWND owner, const char* title, text::String& result, bool stripRoot);
// Turns a drive root such as "D:\" into "D:"; other paths stay as they are.
void CutDriveRoot(text::String& path);
// On confirmation *colour holds the choice; otherwise it is unchanged. The
// custom colours start as the current colour and white every time.
bool ChooseColour(HWND owner, COLORREF* colour);

} // namespace ui
