#include "settings/JpegPage.h"

#include "settings/SettingsIds.h"

#include <commctrl.h>

#include <cstdint>

namespace settings {

namespace {

constexpr UINT MinQuality = 1;
constexpr UINT MaxQuality = 100;

// Compared unsigned, so that a number beyond the int range is still "too
// large"; 0, an empty box and text that is no number give the least.
std::int32_t QualityInForce(UINT value) {
    return static_cast<std::int32_t>(
        value < MinQuality ? MinQuality : (value > MaxQuality ? MaxQuality : value));
}

} // namespace

bool JpegPage::Create(HWND parent) {
    if (!CreateModeless(IDD_SETTINGS_JPEG, parent)) {
        return false;
    }
    ShowQualityInForce();
    SendDlgItemMessageA(hwnd, IDC_QUALITY_SPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(MaxQuality, MinQuality));
    SetCheck(IDC_PROGRESSIVE, appSettings.JPEGProg != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetCheck(IDC_WEBP_LOSSLESS, appSettings.WebPLossless != 0 ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

int JpegPage::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_PROGRESSIVE:
        appSettings.JPEGProg = IsChecked(IDC_PROGRESSIVE) == BST_CHECKED ? 1 : 0;
        return 1;
    case IDC_WEBP_LOSSLESS:
        appSettings.WebPLossless = IsChecked(IDC_WEBP_LOSSLESS) == BST_CHECKED ? 1 : 0;
        return 1;
    case IDC_QUALITY:
        // While typing the box keeps its text; leaving it shows what is in force.
        if (code == EN_CHANGE) {
            appSettings.JPEGQuality =
                QualityInForce(static_cast<UINT>(GetItemInt(IDC_QUALITY, FALSE)));
        } else if (code == EN_KILLFOCUS) {
            ShowQualityInForce();
        } else {
            return 0;
        }
        return 1;
    default:
        return 0;
    }
}

void JpegPage::ShowQualityInForce() {
    // A quality from the INI file may be out of range. The new text reports
    // a change, which stores the same value again.
    appSettings.JPEGQuality = QualityInForce(static_cast<UINT>(appSettings.JPEGQuality));
    SetItemInt(IDC_QUALITY, appSettings.JPEGQuality, FALSE);
}

} // namespace settings
