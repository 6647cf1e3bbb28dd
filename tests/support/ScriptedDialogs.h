#pragma once

#include "ui/SystemDialogs.h"

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A SystemDialogs for tests: it never shows anything. It installs itself on
// construction and puts the previous implementation back on destruction.
// Each call takes the next queued answer of its kind and is recorded, with
// copies of the texts it was given, for the test to inspect. A call with no
// answer queued gets the cancel answer (0, FALSE, -1) and is counted in
// Unanswered(), so a test that forgot to script a question fails instead of
// blocking. Use it on the thread that runs the code under test.

namespace ui {

class ScriptedDialogs : public SystemDialogs {
public:
    ScriptedDialogs() : previous(Install(this)) {}
    ~ScriptedDialogs() override { Install(previous); }

    // The button the next message box returns (IDYES, IDNO, IDOK, ...).
    void AnswerMessageBox(int button) { messageBoxAnswers.push_back(button); }
    // The path the next open or save dialog returns; nullptr cancels it. A
    // path that does not fit the caller's buffer fails as the system's does.
    void AnswerFile(const char* path) {
        fileAnswers.push_back(Choice{path != nullptr, Copy(path)});
    }
    // The folder the next folder dialog returns; nullptr cancels it.
    void AnswerFolder(const char* path) {
        folderAnswers.push_back(Choice{path != nullptr, Copy(path)});
    }
    void AnswerColour(COLORREF colour) { colourAnswers.push_back(Choice{true, {}, colour}); }
    void CancelColour() { colourAnswers.push_back(Choice{false, {}}); }
    // The value the next modal dialog returns without being created.
    void AnswerModal(INT_PTR result) { modalAnswers.push_back(result); }
    // Decides every modal dialog from now on instead of the queued answers,
    // for example by calling dialog.RunModal for a dialog that ends itself,
    // or by creating it modeless and sending it commands (End clears
    // dialog.hwnd, so keep the handle to destroy the window afterwards).
    void HandleModal(std::function<INT_PTR(Dialog&, int, HWND)> handler) {
        modalHandler = std::move(handler);
    }

    struct MessageBoxCall {
        std::string text;
        std::string caption;
        bool hasCaption;
        UINT type;
    };
    struct FileDialogCall {
        bool save;
        // As passed in; its pointers are only good for comparing.
        OPENFILENAMEA dialog;
        // The filter list: each text with its NUL, without the closing empty one.
        std::string filter;
        std::string defaultExtension;
        std::string initialDirectory;
        // The buffer's text when the dialog opened.
        std::string initialName;
    };
    struct FolderDialogCall {
        BROWSEINFOA dialog;
        std::string title;
    };
    struct ColourDialogCall {
        CHOOSECOLORA dialog;
        COLORREF customColours[16];
    };
    struct ShellCall {
        std::string verb;
        std::string file;
        int showCommand;
    };

    const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes; }
    const std::vector<FileDialogCall>& FileDialogs() const { return fileDialogs; }
    const std::vector<FolderDialogCall>& FolderDialogs() const { return folderDialogs; }
    const std::vector<ColourDialogCall>& ColourDialogs() const { return colourDialogs; }
    const std::vector<ShellCall>& ShellCalls() const { return shellCalls; }
    // Calls that found no answer queued.
    int Unanswered() const { return unanswered; }

    int ShowMessageBox(const char* text, const char* caption, UINT type) override;
    BOOL ShowOpenFileDialog(OPENFILENAMEA* dialog) override {
        return AnswerFileDialog(false, dialog);
    }
    BOOL ShowSaveFileDialog(OPENFILENAMEA* dialog) override {
        return AnswerFileDialog(true, dialog);
    }
    bool ShowFolderDialog(BROWSEINFOA* dialog, char* path) override;
    BOOL ShowColourDialog(CHOOSECOLORA* dialog) override;
    // Answers success (above 32).
    HINSTANCE ShellExecuteFile(HWND, const char* verb, const char* file, const char*, const char*,
                               int showCommand) override {
        shellCalls.push_back(ShellCall{Copy(verb), Copy(file), showCommand});
        return reinterpret_cast<HINSTANCE>(33);
    }
    INT_PTR RunModalDialog(Dialog& dialog, int templateId, HWND parent) override;

private:
    // An answer that may be a cancel.
    struct Choice {
        bool confirmed;
        std::string text;
        COLORREF colour = 0;
    };
    static std::string Copy(const char* text) { return text != nullptr ? text : ""; }

    BOOL AnswerFileDialog(bool save, OPENFILENAMEA* dialog);
    template <typename T> bool Take(std::deque<T>& queue, T& answer);

    SystemDialogs* previous;
    std::deque<int> messageBoxAnswers;
    std::deque<Choice> fileAnswers;
    std::deque<Choice> folderAnswers;
    std::deque<Choice> colourAnswers;
    std::deque<INT_PTR> modalAnswers;
    std::function<INT_PTR(Dialog&, int, HWND)> modalHandler;
    int unanswered = 0;

    std::vector<MessageBoxCall> messageBoxes;
    std::vector<FileDialogCall> fileDialogs;
    std::vector<FolderDialogCall> folderDialogs;
    std::vector<ColourDialogCall> colourDialogs;
    std::vector<ShellCall> shellCalls;
};

} // namespace ui
