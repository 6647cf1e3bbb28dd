#pragma once

#include "settings/AppSettings.h"
#include "ui/Dialog.h"

#include <windows.h>

namespace settings {

// The settings page of the size pasted pictures are given: a fixed width and
// height, or a percentage of their own size, with the keep-ratio choice.
class SizePage : public ui::Dialog {
public:
    enum Box { Width = 0, Height = 1 };

    explicit SizePage(AppSettings& appSettings) : appSettings(appSettings) {}

    // Creates the hidden page as a child of parent and fills it from the
    // settings; false when the dialog cannot be created.
    bool Create(HWND parent);

    // Shows the pair of the current mode and the keep-ratio box, which only
    // the fixed size uses.
    void ShowSizeValues();
    // Stores the number in the width or height box into the field of the
    // current mode, at least 1 and, as a percentage, at most 100.
    void StoreSizeValue(Box which);

    int OnCommand(UINT id, UINT code, HWND control) override;

private:
    AppSettings& appSettings;
};

} // namespace settings
