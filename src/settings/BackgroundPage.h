#pragma once

#include "settings/AppSettings.h"
#include "ui/ColourButton.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <cstdint>

namespace settings {

// The settings page of the background colour and of the gap between pictures
// (its width and colour).
class BackgroundPage : public ui::Dialog {
public:
    explicit BackgroundPage(AppSettings& appSettings) : appSettings(appSettings) {}

    // Creates the hidden page as a child of parent and fills it from the
    // settings; false when the dialog cannot be created.
    bool Create(HWND parent);

    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnDrawItem(DRAWITEMSTRUCT* item) override;

private:
    // Brings PadSize into its range and rewrites the gap box with it, so
    // that the box shows the gap a paste uses.
    void ShowGapInForce();
    void ChooseInto(std::int32_t& field, ui::ColourButton& button);

    AppSettings& appSettings;
    ui::ColourButton backgroundButton;
    ui::ColourButton gapButton;
};

} // namespace settings
