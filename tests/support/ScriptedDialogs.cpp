#include "support/ScriptedDialogs.h"

#include "ui/CommonDialogs.h"

#include <cstring>
#include <utility>

namespace ui {

namespace {

// A list of NUL-terminated texts ended by an empty one.
std::string CopyList(const char* list) {
    std::string copy;
    while (list != nullptr && *list != 0) {
        const size_t length = std::strlen(list);
        copy.append(list, length + 1);
        list += length + 1;
    }
    return copy;
}

} // namespace

template <typename T> bool ScriptedDialogs::Take(std::deque<T>& queue, T& answer) {
    if (queue.empty()) {
        ++unanswered;
        return false;
    }
    answer = std::move(queue.front());
    queue.pop_front();
    return true;
}

int ScriptedDialogs::ShowMessageBox(const char* text, const char* caption, UINT type) {
    messageBoxes.push_back(MessageBoxCall{Copy(text), Copy(caption), caption != nullptr, type});
    int answer = 0;
    Take(messageBoxAnswers, answer);
    return answer;
}

BOOL ScriptedDialogs::AnswerFileDialog(bool save, OPENFILENAMEA* dialog) {
    char* buffer = dialog->lpstrFile != nullptr ? dialog->lpstrFile : dialog->lpstrFileTitle;
    const DWORD size = dialog->lpstrFile != nullptr ? dialog->nMaxFile : dialog->nMaxFileTitle;
    fileDialogs.push_back(FileDialogCall{save, *dialog, CopyList(dialog->lpstrFilter),
                                         Copy(dialog->lpstrDefExt), Copy(dialog->lpstrInitialDir),
                                         Copy(buffer)});
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

INT_PTR ScriptedDialogs::RunModalDialog(Dialog& dialog, int templateId, HWND parent) {
    if (modalHandler) {
        return modalHandler(dialog, templateId, parent);
    }
    INT_PTR answer = -1;
    Take(modalAnswers, answer);
    return answer;
}

} // namespace ui
