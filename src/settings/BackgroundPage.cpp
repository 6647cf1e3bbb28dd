#include "settings/BackgroundPage.h"

#include "settings/SettingsIds.h"
#include "ui/CommonDialogs.h"

#include <commctrl.h>

namespace settings {

namespace {

constexpr UINT MaxGap = 30;

// Compared unsigned, so that a number beyond the int range is still "too
// large"; an empty box and text that is no number give 0.
std::int32_t GapInForce(UINT value) {
    return static_cast<std::int32_t>(value > MaxGap ? MaxGap : value);
}

} // namespace

bool BackgroundPage::Create(HWND parent) {
    if (!CreateModeless(IDD_SETTINGS_BACKGROUND, parent)) {
        return false;
    }
    backgroundButton.AttachDlgItem(hwnd, IDC_BACKGROUND_COLOUR);
    backgroundButton.SetColour(static_cast<COLORREF>(appSettings.BkColor));
    gapButton.AttachDlgItem(hwnd, IDC_GAP_COLOUR);
    gapButton.SetColour(static_cast<COLORREF>(appSettings.PadCol));
    ShowGapInForce();
    SendDlgItemMessageA(hwnd, IDC_GAP_SIZE_SPIN, UDM_SETRANGE, 0, MAKELPARAM(MaxGap, 0));
    return true;
}

int BackgroundPage::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_BACKGROUND_COLOUR:
    case IDC_GAP_COLOUR:
        // Owner-drawn buttons also report double clicks, which must not open
        // the chooser a second time.
        if (code == BN_CLICKED) {
            if (id == IDC_BACKGROUND_COLOUR) {
                ChooseInto(appSettings.BkColor, backgroundButton);
            } else {
                ChooseInto(appSettings.PadCol, gapButton);
            }
        }
        return 1;
    case IDC_GAP_SIZE:
        // While typing the box keeps its text; leaving it shows what is in force.
        if (code == EN_CHANGE) {
            appSettings.PadSize = GapInForce(static_cast<UINT>(GetItemInt(IDC_GAP_SIZE, FALSE)));
        } else if (code == EN_KILLFOCUS) {
            ShowGapInForce();
        } else {
            return 0;
        }
        return 1;
    default:
        return 0;
    }
}

int BackgroundPage::OnDrawItem(DRAWITEMSTRUCT* item) {
    // Each button draws only when the structure names it.
    backgroundButton.DrawItem(item);
    gapButton.DrawItem(item);
    return 1;
}

void BackgroundPage::ShowGapInForce() {
    // A gap from the INI file may be out of range. The new text reports a
    // change, which stores the same value again.
    appSettings.PadSize = GapInForce(static_cast<UINT>(appSettings.PadSize));
    SetItemInt(IDC_GAP_SIZE, appSettings.PadSize, FALSE);
}

void BackgroundPage::ChooseInto(std::int32_t& field, ui::ColourButton& button) {
    COLORREF colour = static_cast<COLORREF>(field);
    if (ui::ChooseColour(hwnd, &colour)) {
        field = static_cast<std::int32_t>(colour);
        button.SetColour(colour);
    }
}

} // namespace settings
