#include "settings/SizePage.h"

#include "settings/SettingsIds.h"

#include <commctrl.h>

#include <cstdint>
#include <limits>

namespace settings {

namespace {

constexpr UINT MaxPercent = 100;
constexpr UINT MaxUpDown = 1000;
// The fields are signed: a longer number must not turn negative.
constexpr UINT MaxPixels = static_cast<UINT>(std::numeric_limits<std::int32_t>::max());

} // namespace

bool SizePage::Create(HWND parent) {
    if (!CreateModeless(IDD_SETTINGS_SIZE, parent)) {
        return false;
    }
    CheckRadioButton(hwnd, IDC_FIXED_SIZE, IDC_PERCENT_SIZE,
                     appSettings.fSize != 0 ? IDC_PERCENT_SIZE : IDC_FIXED_SIZE);
    SendDlgItemMessageA(hwnd, IDC_WIDTH_SPIN, UDM_SETRANGE, 0, MAKELPARAM(MaxUpDown, 1));
    SendDlgItemMessageA(hwnd, IDC_HEIGHT_SPIN, UDM_SETRANGE, 0, MAKELPARAM(MaxUpDown, 1));
    ShowSizeValues();
    return true;
}

void SizePage::ShowSizeValues() {
    const bool percent = appSettings.fSize != 0;
    // Each box reports its change, which stores the value by the rule before
    // the next box is filled.
    SetItemInt(IDC_WIDTH, percent ? appSettings.PerW : appSettings.SizeW, FALSE);
    SetItemInt(IDC_HEIGHT, percent ? appSettings.PerH : appSettings.SizeH, FALSE);
    SetCheck(IDC_KEEP_RATIO, appSettings.bRatio != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableItem(IDC_KEEP_RATIO, !percent);
}

void SizePage::StoreSizeValue(Box which) {
    UINT value = static_cast<UINT>(GetItemInt(IDC_WIDTH + which, FALSE));
    if (value == 0) {
        value = 1;
    }
    if (appSettings.fSize != 0) {
        const auto percent = static_cast<std::int32_t>(value > MaxPercent ? MaxPercent : value);
        (which == Width ? appSettings.PerW : appSettings.PerH) = percent;
    } else {
        const auto pixels = static_cast<std::int32_t>(value > MaxPixels ? MaxPixels : value);
        (which == Width ? appSettings.SizeW : appSettings.SizeH) = pixels;
    }
}

int SizePage::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_ORIGINAL_SIZE:
        if (code == BN_CLICKED) {
            appSettings.fSize = 1;
            appSettings.PerW = 100;
            appSettings.PerH = 100;
            CheckRadioButton(hwnd, IDC_FIXED_SIZE, IDC_PERCENT_SIZE, IDC_PERCENT_SIZE);
            ShowSizeValues();
        }
        return 1;
    case IDC_FIXED_SIZE:
    case IDC_PERCENT_SIZE:
        if (code == BN_CLICKED) {
            appSettings.fSize = static_cast<std::uint16_t>(id - IDC_FIXED_SIZE);
            ShowSizeValues();
        }
        return 1;
    case IDC_KEEP_RATIO:
        appSettings.bRatio = IsChecked(IDC_KEEP_RATIO) == BST_CHECKED ? 1 : 0;
        return 1;
    case IDC_WIDTH:
    case IDC_HEIGHT:
        if (code == EN_CHANGE) {
            StoreSizeValue(id == IDC_WIDTH ? Width : Height);
        }
        return 1;
    default:
        return 0;
    }
}

} // namespace settings
