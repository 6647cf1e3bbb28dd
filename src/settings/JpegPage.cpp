#include "settings/JpegPage.h"

#include "settings/SettingsIds.h"

#include <commctrl.h>

namespace settings {

namespace {

constexpr UINT MinQuality = 1;
constexpr UINT MaxQuality = 100;

} // namespace

bool JpegPage::Create(HWND parent) {
    if (!CreateModeless(IDD_SETTINGS_JPEG, parent)) {
        return false;
    }
    // The box reports the change, which brings JPEGQuality into its range.
    SetItemInt(IDC_QUALITY, appSettings.JPEGQuality, FALSE);
    SendDlgItemMessageA(hwnd, IDC_QUALITY_SPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(MaxQuality, MinQuality));
    SetCheck(IDC_PROGRESSIVE, appSettings.JPEGProg != 0 ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

int JpegPage::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_PROGRESSIVE:
        appSettings.JPEGProg = IsChecked(IDC_PROGRESSIVE) == BST_CHECKED ? 1 : 0;
        return 1;
    case IDC_QUALITY:
        if (code != EN_CHANGE) {
            return 0;
        }
        {
            // Compared unsigned, so that a number beyond the int range is
            // still "too large".
            UINT value = static_cast<UINT>(GetItemInt(IDC_QUALITY, FALSE));
            value = value < MinQuality ? MinQuality : (value > MaxQuality ? MaxQuality : value);
            appSettings.JPEGQuality = static_cast<std::int32_t>(value);
        }
        return 1;
    default:
        return 0;
    }
}

} // namespace settings
