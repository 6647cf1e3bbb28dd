#pragma once

#include "image/Image.h"
#include "ui/Window.h"

#include <windows.h>

namespace browser {

// The child under the file list that shows the focused picture, scaled down
// to fit and centred on white. A window of class "Qtora_Gen".
class PreviewPane : public ui::Window {
public:
    // A child of parent (WS_EX_CLIENTEDGE), 200 x 100 at 0,0.
    bool Create(HWND parent);
    // Draws the pane into dc: white, and the preview centred on it.
    void Paint(HDC dc);

    int OnPaint() override;
    // Answers WM_PRINTCLIENT by painting into the caller's context.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The picture shown; empty until a picture has been previewed.
    image::Image preview;
};

// The preview's window class, which the main window registers too.
constexpr const char* PreviewClassName = "Qtora_Gen";

} // namespace browser
