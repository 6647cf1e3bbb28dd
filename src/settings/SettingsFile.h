#pragma once

#include "settings/AppSettings.h"
#include "win/String.h"

#include <windows.h>

namespace settings {

// Marks a window position that the settings file does not hold; the window
// then gets its default place.
constexpr int NoPosition = -1000;

// The window positions of the settings file: read at start-up and applied
// once, and written back from the windows when the program closes.
struct StartupLayout {
    WINDOWPLACEMENT mainPlacement = {}; // only showCmd and rcNormalPosition
    RECT listRect = {NoPosition, 0, 350, 400};
    POINT settingsPos = {NoPosition, NoPosition};
    int previewHeight = 80;
};

// The file keeps places and sizes in the units of a program unaware of
// display scaling, which are pixels at 96 DPI: converts them (multiplied by
// numerator / denominator, e.g. system DPI / 96 after reading) to the pixels
// of the windows and back. NoPosition stays NoPosition.
void ScaleLayout(StartupLayout& layout, int numerator, int denominator);

// "Quiltora.ini" beside the executable; false when the module name cannot
// be read.
bool SettingsPath(text::String& path);

// Fills settings and layout from the file; missing keys (or a missing file)
// give the defaults. Never fails. An empty ListDir becomes the executable's
// folder.
void LoadSettings(const char* path, AppSettings& settings, StartupLayout& layout);

// Writes the whole file, 35 lines, from settings, the windows' layout and
// the settings window's page. The old file is replaced only once the new one
// is complete, so a failed save leaves it as it was. False when nothing was
// written.
bool SaveSettings(const char* path, const AppSettings& settings, const StartupLayout& layout,
                  int tabSel);

} // namespace settings
