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

// The size rule, on the number read as unsigned: 0 (also empty or no number)
// becomes 1, and a number beyond the mode's limit the limit.
std::int32_t SizeInForce(UINT value, bool percent) {
    const UINT limit = percent ? MaxPercent : MaxPixels;
    if (value == 0) {
        value = 1;
    }
    return static_cast<std::int32_t>(value > limit ? limit : value);
}

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
    ShowValueInForce(Width);
    ShowValueInForce(Height);
    SetCheck(IDC_KEEP_RATIO, appSettings.bRatio != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableItem(IDC_KEEP_RATIO, appSettings.fSize == 0);
}

std::int32_t& SizePage::Field(Box which) {
    if (appSettings.fSize != 0) {
        return which == Width ? appSettings.PerW : appSettings.PerH;
    }
    return which == Width ? appSettings.SizeW : appSettings.SizeH;
}

void SizePage::StoreSizeValue(Box which) {
    const auto value = static_cast<UINT>(GetItemInt(IDC_WIDTH + which, FALSE));
    Field(which) = SizeInForce(value, appSettings.fSize != 0);
}

void SizePage::ShowValueInForce(Box which) {
    // A field from the INI file may be out of range. The new text reports a
    // change, which stores the same value again.
    std::int32_t& field = Field(which);
    field = SizeInForce(static_cast<UINT>(field), appSettings.fSize != 0);
    SetItemInt(IDC_WIDTH + which, field, FALSE);
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
        // While typing the box keeps its text; leaving it shows what is in force.
        if (code == EN_CHANGE) {
            StoreSizeValue(id == IDC_WIDTH ? Width : Height);
        } else if (code == EN_KILLFOCUS) {
            ShowValueInForce(id == IDC_WIDTH ? Width : Height);
        }
        return 1;
    default:
        return 0;
    }
}

} // namespace settings
