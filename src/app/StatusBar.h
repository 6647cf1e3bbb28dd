#pragma once

#include "win/ScopedGdi.h"
#include "ui/Window.h"

#include <windows.h>

#include <string>

namespace app {

// What the main window's status bar tells.
struct StatusInfo {
    int width = 0;
    int height = 0;
    int zoomPercent = 100;
    int pictures = 0;     // pasted since New and not taken back
    bool changed = false; // since the last save
};

// A "msctls_statusbar32" control along the bottom of its parent, in four
// parts: the canvas size, the zoom, the number of pictures and the mark of
// a picture not saved. Its parts and font follow the DPI it is given.
class StatusBar : public ui::Window {
public:
    bool Create(HWND parent, int controlId, UINT dpi);
    // Parts and font for a window now at dpi.
    void SetDpi(UINT dpi);
    void Update(const StatusInfo& info);
    // The part's text; empty when there is no such part.
    std::string PartText(int part) const;
    // Its height while shown, 0 while hidden.
    int VisibleHeight() const;

    static constexpr int PartCount = 4;

private:
    UINT dpi = 96;
    // The font made for a DPI other than the one the control started at.
    win::GdiObject font;
};

} // namespace app
