#include "support/ScriptedDialogs.h"

#include "ui/CommonDialogs.h"

#include <cstring>
#include <utility>

namespace ui {

namespace {

std::string Copy(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// A list of NUL-terminated texts ended by an empty one.
std::string CopyList(const char* list) {
    std::string copy;
    if (list == nullptr) {
        return copy;
    }
    while (*list != 0) {
        const size_t length = std::strlen(list);
        copy.append(list, length + 1);
        list += length + 1;
    }
    return copy;
}

} // namespace

ScriptedDialogs::ScriptedDialogs() : previous(Install(this)) {}

ScriptedDialogs::~ScriptedDialogs() {
    Install(previous);
}

void ScriptedDialogs::AnswerMessageBox(int button) {
    messageBoxAnswers.push_back(button);
}

void ScriptedDialogs::AnswerFile(const char* path) {
    fileAnswers.push_back(Choice{path != nullptr, Copy(path), 0});
}

void ScriptedDialogs::AnswerFolder(const char* path) {
    folderAnswers.push_back(Choice{path != nullptr, Copy(path), 0});
}

void ScriptedDialogs::AnswerColour(COLORREF colour) {
    colourAnswers.push_back(Choice{true, std::string(), colour});
}

void ScriptedDialogs::CancelColour() {
    colourAnswers.push_back(Choice{false, std::string(), 0});
}

void ScriptedDialogs::AnswerModal(INT_PTR result) {
    modalAnswers.push_back(result);
}

void ScriptedDialogs::HandleModal(std::function<INT_PTR(Dialog&, int, HWND)> handler) {
    modalHandler = std::move(handler);
}

bool ScriptedDialogs::Take(std::deque<Choice>& queue, Choice& choice) {
    if (queue.empty()) {
        ++unanswered;
        return false;
    }
    choice = std::move(queue.front());
    queue.pop_front();
    return true;
}

int ScriptedDialogs::ShowMessageBox(const char* text, const char* caption, UINT type) {
    messageBoxes.push_back(MessageBoxCall{Copy(text), Copy(caption), caption != nullptr, type});
    if (messageBoxAnswers.empty()) {
        ++unanswered;
        return 0;
    }
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

BOOL ScriptedDialogs::ShowOpenFileDialog(OPENFILENAMEA* dialog) {
    return AnswerFileDialog(false, dialog);
}

BOOL ScriptedDialogs::ShowSaveFileDialog(OPENFILENAMEA* dialog) {
    return AnswerFileDialog(true, dialog);
}

BOOL ScriptedDialogs::AnswerFileDialog(bool save, OPENFILENAMEA* dialog) {
    char* buffer = dialog->lpstrFile != nullptr ? dialog->lpstrFile : dialog->lpstrFileTitle;
    const DWORD size = dialog->lpstrFile != nullptr ? dialog->nMaxFile : dialog->nMaxFileTitle;
    fileDialogs.push_back(FileDialogCall{
        save, *dialog, CopyList(dialog->lpstrFilter), Copy(dialog->lpstrDefExt),
        dialog->lpstrInitialDir != nullptr, Copy(dialog->lpstrInitialDir), Copy(buffer)});
    Choice choice;
    if (!Take(fileAnswers, choice) || !choice.confirmed) {
        return FALSE;
    }
    if (buffer == nullptr || choice.text.size() + 1 > size) {
        return FALSE;
    }
    std::memcpy(buffer, choice.text.c_str(), choice.text.size() + 1);
    return TRUE;
}

bool ScriptedDialogs::ShowFolderDialog(BROWSEINFOA* dialog, char* path) {
    folderDialogs.push_back(FolderDialogCall{*dialog, Copy(dialog->lpszTitle)});
    Choice choice;
    if (!Take(folderAnswers, choice) || !choice.confirmed ||
        choice.text.size() >= static_cast<size_t>(ui::MaxPathBytes)) {
        return false;
    }
    std::memcpy(path, choice.text.c_str(), choice.text.size() + 1);
    return true;
}

BOOL ScriptedDialogs::ShowColourDialog(CHOOSECOLORA* dialog) {
    ColourDialogCall call = {*dialog, {}};
    if (dialog->lpCustColors != nullptr) {
        std::memcpy(call.customColours, dialog->lpCustColors, sizeof(call.customColours));
    }
    colourDialogs.push_back(call);
    Choice choice;
    if (!Take(colourAnswers, choice) || !choice.confirmed) {
        return FALSE;
    }
    dialog->rgbResult = choice.colour;
    return TRUE;
}

HINSTANCE ScriptedDialogs::ShellExecuteFile(HWND owner, const char* verb, const char* file,
                                            const char* parameters, const char* directory,
                                            int showCommand) {
    shellCalls.push_back(
        ShellCall{owner, Copy(verb), Copy(file), Copy(parameters), Copy(directory), showCommand});
    return reinterpret_cast<HINSTANCE>(shellResult);
}

INT_PTR ScriptedDialogs::RunModalDialog(Dialog& dialog, int templateId, HWND parent) {
    modalDialogs.push_back(ModalCall{&dialog, templateId, parent});
    if (modalHandler) {
        return modalHandler(dialog, templateId, parent);
    }
    if (modalAnswers.empty()) {
        ++unanswered;
        return -1;
    }
    const INT_PTR answer = modalAnswers.front();
    modalAnswers.pop_front();
    return answer;
}

} // namespace ui
