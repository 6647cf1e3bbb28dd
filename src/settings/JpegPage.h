#pragma once

#include "settings/AppSettings.h"
#include "ui/Dialog.h"

#include <windows.h>

namespace settings {

// The settings page of the JPEG and WebP quality, the progressive JPEG choice
// and the lossless WebP one.
class JpegPage : public ui::Dialog {
public:
    explicit JpegPage(AppSettings& appSettings) : appSettings(appSettings) {}

    // Creates the hidden page as a child of parent and fills it from the
    // settings; false when the dialog cannot be created.
    bool Create(HWND parent);

    int OnCommand(UINT id, UINT code, HWND control) override;

private:
    // Brings JPEGQuality into its range and rewrites the box with it, so
    // that the box shows the quality a save uses.
    void ShowQualityInForce();

    AppSettings& appSettings;
};

} // namespace settings
