#include "ui/Dialog.h"

#include "ui/SystemDialogs.h"
#include "win/CharStep.h"

namespace ui {

namespace {

// Bytes a UTF-8 sequence announces in its first byte; 1 for anything that is
// not a lead byte.
int AnnouncedLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// Length of text without a multi-byte sequence that the end cuts short.
int WholeCharacterLength(const char* text, int length) {
    const int firstCandidate = length > 3 ? length - 3 : 0;
    for (int start = length - 1; start >= firstCandidate; --start) {
        const auto byte = static_cast<unsigned char>(text[start]);
        if (byte < 0x80 || byte >= 0xC0) {
            return start + AnnouncedLength(byte) > length ? start : length;
        }
    }
    return length;
}

} // namespace

INT_PTR CALLBACK Dialog::DialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* object = nullptr;
    if (msg == WM_INITDIALOG) {
        object = reinterpret_cast<Dialog*>(lParam);
        if (object == nullptr) {
            return FALSE;
        }
        object->hwnd = dialog;
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(object));
    } else {
        // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
        object = reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (object == nullptr) {
            return FALSE;
        }
    }
    try {
        return object->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // A handler that could not finish leaves the message to the dialog
        // manager.
        return FALSE;
    }
}

bool Dialog::IsBoundWindow() const {
    return hwnd != nullptr && IsWindow(hwnd) &&
           GetWindowLongPtrA(hwnd, DWLP_USER) == reinterpret_cast<LONG_PTR>(this);
}

LRESULT Dialog::DefaultProc(bool notHandled, LRESULT result, UINT msg, WPARAM, LPARAM) {
    // These few messages take the dialog procedure's return value itself as
    // their result (a brush, an index, the focus choice of WM_INITDIALOG).
    const bool direct = msg == WM_INITDIALOG || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM ||
                        msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON ||
                        (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
    if (msg == WM_INITDIALOG) {
        return result;
    }
    if (notHandled) {
        return FALSE;
    }
    if (direct) {
        return result;
    }
    // Every other result reaches the sender only through DWLP_MSGRESULT, with
    // TRUE returned to say that the message was handled.
    if (hwnd != nullptr) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    }
    return TRUE;
}

INT_PTR Dialog::DoModal(int templateId, HWND parent) {
    return SystemDialogs::Current().RunModalDialog(*this, templateId, parent);
}

INT_PTR Dialog::RunModal(int templateId, HWND parent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId & 0xFFFF), parent,
                           DialogProcedure, reinterpret_cast<LPARAM>(this));
}

BOOL Dialog::CreateModeless(int templateId, HWND parent) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId & 0xFFFF),
                              parent, DialogProcedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL Dialog::End(INT_PTR result) {
    const BOOL ended = EndDialog(hwnd, result);
    hwnd = nullptr;
    return ended;
}

BOOL Dialog::EnableItem(int id, BOOL enable) {
    return EnableWindow(GetDlgItem(hwnd, id), enable);
}

int Dialog::GetItemInt(int id, BOOL isSigned) {
    return static_cast<int>(GetDlgItemInt(hwnd, id, nullptr, isSigned));
}

int Dialog::GetItemIntClamped(int id, BOOL isSigned, int min, int max) {
    const int value = GetItemInt(id, isSigned);
    if (value < min) {
        return min;
    }
    if (value > max) {
        return max;
    }
    return value;
}

BOOL Dialog::SetItemInt(int id, int value, BOOL isSigned) {
    return SetDlgItemInt(hwnd, id, static_cast<UINT>(value), isSigned);
}

int Dialog::GetItemText(int id, text::String& out) {
    int length = static_cast<int>(GetDlgItemTextA(hwnd, id, out.Data(), out.Capacity()));
    if (length < 0 || length >= out.Capacity()) {
        length = 0;
    }
    // A field longer than the string is cut at a byte count, which can split
    // a character in two.
    if (text::IsUtf8CodePage()) {
        length = WholeCharacterLength(out.Data(), length);
    }
    out.Data()[length] = 0;
    return length;
}

BOOL Dialog::SetItemText(int id, const char* text) {
    return SetDlgItemTextA(hwnd, id, text);
}

UINT Dialog::IsChecked(int id) {
    return IsDlgButtonChecked(hwnd, id);
}

BOOL Dialog::SetCheck(int id, UINT state) {
    return CheckDlgButton(hwnd, id, state);
}

int Dialog::GetCheckedIndex(int firstId, int count) {
    for (int i = 0; i < count; ++i) {
        if (IsDlgButtonChecked(hwnd, firstId + i) == BST_CHECKED) {
            return i;
        }
    }
    return -1;
}

} // namespace ui
