#pragma once

#include "ui/Window.h"
#include "win/String.h"

#include <windows.h>

// A dialog box from a resource template, driven by the same handlers as any
// Window. The object is kept in the dialog's DWLP_USER slot. Handlers answer
// TRUE (handled) or FALSE (the dialog manager's own processing); WM_INITDIALOG
// answers whatever OnInitDialog wrote into its result, so 1 gives the first
// control the focus. A handler that must return another value stores it in
// DWLP_MSGRESULT itself.
//
// `hwnd` is NULL until WM_INITDIALOG and again after End. A modal dialog
// closes only when one of its handlers calls End; IDOK and IDCANCEL (also the
// Esc key and the close box) reach OnCommand like any other id.

namespace ui {

class Dialog : public Window {
public:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

    bool IsBoundWindow() const override;
    LRESULT DefaultProc(bool notHandled, LRESULT result, UINT msg, WPARAM wParam,
                        LPARAM lParam) override;

    // Runs the dialog modally through SystemDialogs, so that tests can answer
    // it without a modal loop: the value given to End, or -1 when the box
    // cannot be created.
    INT_PTR DoModal(int templateId, HWND parent);
    // DialogBoxParamA itself; what the system implementation of the seam calls.
    INT_PTR RunModal(int templateId, HWND parent);
    // TRUE when the dialog was created; `hwnd` is set during the call.
    BOOL CreateModeless(int templateId, HWND parent);
    // EndDialog's result; `hwnd` becomes NULL.
    BOOL End(INT_PTR result);

    BOOL EnableItem(int id, BOOL enable);
    // GetDlgItemInt without a success report: text that is no number reads 0.
    int GetItemInt(int id, BOOL isSigned);
    // GetItemInt limited to min..max (an empty field gives min when 0 < min).
    int GetItemIntClamped(int id, BOOL isSigned, int min, int max);
    BOOL SetItemInt(int id, int value, BOOL isSigned);
    // Reads at most capacity - 1 bytes, never growing the string, and never
    // leaves half a character at the end. Returns the length read.
    int GetItemText(int id, text::String& out);
    BOOL SetItemText(int id, const char* text);
    UINT IsChecked(int id);
    BOOL SetCheck(int id, UINT state);
    // Offset of the first checked button of firstId .. firstId + count - 1,
    // -1 when none is checked.
    int GetCheckedIndex(int firstId, int count);
};

} // namespace ui
