#pragma once

#include "settings/AppSettings.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <cstdint>

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

    // Shows the pair of the current mode, first brought into range, and the
    // keep-ratio box, which only the fixed size uses.
    void ShowSizeValues();
    // Stores the number in the width or height box into the field of the
    // current mode, at least 1 and, as a percentage, at most 100.
    void StoreSizeValue(Box which);
    // Brings the box's field into range by the same rule and rewrites the box
    // with it, so that the box shows the size a paste uses.
    void ShowValueInForce(Box which);

    int OnCommand(UINT id, UINT code, HWND control) override;

private:
    // The field of the current mode behind the width or height box.
    std::int32_t& Field(Box which);

    AppSettings& appSettings;
};

} // namespace settings
