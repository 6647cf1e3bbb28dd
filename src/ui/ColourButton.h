#pragma once

#include "ui/ControlWindow.h"

#include <windows.h>

// An owner-drawn push button of a dialog that shows a colour swatch. It
// overrides no handler: the parent dialog forwards each WM_DRAWITEM to its
// colour buttons, and the one whose handle it names draws itself.

namespace ui {

class ColourButton : public ControlWindow {
public:
    // Stores the colour and repaints the button without erasing it.
    void SetColour(COLORREF value);
    COLORREF Colour() const { return colour; }

    // Paints the button face and the swatch, moved down and right by one
    // pixel while pressed. 1 when the structure is this button's, 0 (nothing
    // drawn) when it belongs to another control.
    int DrawItem(const DRAWITEMSTRUCT* item);

private:
    COLORREF colour = RGB(0, 0, 0);
};

} // namespace ui
