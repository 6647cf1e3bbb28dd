#pragma once

#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "ui/Window.h"
#include "view/ScrollBar.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace view {

// The child window that shows the joined picture at the zoom of Scale
// (quarters), anchored at the top-left, with the window's own scroll bars.
// Everything right of and below the picture is button-shadow grey. It only
// paints and scrolls; the main window calls UpdateScrollRanges whenever the
// document, the zoom or the size changed. Scroll units are zoomed pixels.
class CanvasView : public ui::Window {
public:
    CanvasView(image::JoinDocument& document, settings::AppSettings& settings)
        : document(document), settings(settings) {}

    // A child of parent with class "Qtora_Gen" (registered by start-up
    // without a background brush: only OnPaint erases).
    bool Create(HWND parent);
    void UpdateScrollRanges();

    int OnPaint() override;
    int OnVScroll(UINT request, UINT position, HWND scrollBar) override;
    int OnHScroll(UINT request, UINT position, HWND scrollBar) override;
    // Answers WM_PRINTCLIENT by painting into the caller's context.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // Files dropped on the canvas (once DragAcceptFiles is on): their names
    // and whether Shift was held, which asks for them below.
    int OnDropFiles(HDROP drop) override;
    std::function<void(const std::vector<std::string>& paths, bool below)> filesDropped;

    // Draws the view into dc: the visible part of the picture and, with
    // erase, the grey around it.
    void Paint(HDC dc, bool erase);

    ScrollBar hScroll;
    ScrollBar vScroll;

private:
    int ZoomQuarters() const;

    image::JoinDocument& document;
    settings::AppSettings& settings;
};

} // namespace view
