#include "settings/BackgroundPage.h"

#include "settings/SettingsIds.h"
#include "ui/CommonDialogs.h"

#include <commctrl.h>

namespace settings {

namespace {

constexpr UINT MaxGap = 30;

} // namespace

bool BackgroundPage::Create(HWND parent) {
    if (!CreateModeless(IDD_SETTINGS_BACKGROUND, parent)) {
        return false;
    }
    backgroundButton.AttachDlgItem(hwnd, IDC_BACKGROUND_COLOUR);
    backgroundButton.SetColour(static_cast<COLORREF>(appSettings.BkColor));
    gapButton.AttachDlgItem(hwnd, IDC_GAP_COLOUR);
    gapButton.SetColour(static_cast<COLORREF>(appSettings.PadCol));
    // The box reports the change, which brings PadSize into its range.
    SetItemInt(IDC_GAP_SIZE, appSettings.PadSize, FALSE);
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
        if (code != EN_CHANGE) {
            return 0;
        }
        {
            // Compared unsigned, so that a number beyond the int range is
            // still "too large".
            const UINT value = static_cast<UINT>(GetItemInt(IDC_GAP_SIZE, FALSE));
            appSettings.PadSize = static_cast<std::int32_t>(value > MaxGap ? MaxGap : value);
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

void BackgroundPage::ChooseInto(std::int32_t& field, ui::ColourButton& button) {
    COLORREF colour = static_cast<COLORREF>(field);
    if (ui::ChooseColour(hwnd, &colour)) {
        field = static_cast<std::int32_t>(colour);
        button.SetColour(colour);
    }
}

} // namespace settings
