#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

// The one way from the program to the modal pieces of system UI: message
// boxes, the file, folder and colour dialogs, ShellExecuteA and the modal
// dialogs of the program's own templates. The program reaches them only
// through Current(); this class itself is the implementation that calls the
// system.
//
// Tests replace it for their own scope so that nothing ever blocks:
//
//     ui::ScriptedDialogs dialogs;        // installs itself (tests/support/ScriptedDialogs.h)
//     dialogs.AnswerMessageBox(IDNO);     // answers, consumed in call order
//     dialogs.AnswerFile("C:\\in.png");
//     ... exercise the code ...
//     EXPECT_EQ(dialogs.Unanswered(), 0);  // no call went unscripted
//                                          // destructor restores the previous one
//
// Another replacement derives from SystemDialogs, overrides what it needs and
// calls Install itself, restoring the previous implementation when done.

namespace ui {

class Dialog;

class SystemDialogs {
public:
    SystemDialogs() = default;
    virtual ~SystemDialogs() = default;

    SystemDialogs(const SystemDialogs&) = delete;
    SystemDialogs& operator=(const SystemDialogs&) = delete;

    // MessageBoxA(NULL, text, caption, type): the pressed button, 0 on failure.
    virtual int ShowMessageBox(const char* text, const char* caption, UINT type);
    // GetOpenFileNameA and GetSaveFileNameA on a filled structure.
    virtual BOOL ShowOpenFileDialog(OPENFILENAMEA* dialog);
    virtual BOOL ShowSaveFileDialog(OPENFILENAMEA* dialog);
    // SHBrowseForFolderA; on confirmation writes the folder's file-system path
    // into path (MaxPathBytes, ui/CommonDialogs.h) and frees the item list. False on cancel and
    // when the chosen item has no file-system path.
    virtual bool ShowFolderDialog(BROWSEINFOA* dialog, char* path);
    // ChooseColorA on a filled structure.
    virtual BOOL ShowColourDialog(CHOOSECOLORA* dialog);
    // ShellExecuteA; a value above 32 means success.
    virtual HINSTANCE ShellExecuteFile(HWND owner, const char* verb, const char* file,
                                       const char* parameters, const char* directory,
                                       int showCommand);
    // A modal dialog of the program's own resources, run with
    // Dialog::RunModal: the value given to End, or -1 when not created.
    virtual INT_PTR RunModalDialog(Dialog& dialog, int templateId, HWND parent);

    // The implementation in use.
    static SystemDialogs& Current();
    // Puts replacement in use (nullptr for the system one) and returns the
    // one it replaces, to be installed again when the replacement ends.
    static SystemDialogs* Install(SystemDialogs* replacement);
};

} // namespace ui
