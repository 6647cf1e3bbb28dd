#pragma once

#include "win/ScopedGdi.h"
#include "ui/Dpi.h"
#include "ui/ImageListHandle.h"
#include "ui/Window.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace ui {

// Thin wrapper of a "ToolbarWindow32" control: each operation is one message.
// The main window and the file list window each own one; it owns the
// bitmaps of its images.
class Toolbar : public Window {
public:
    // A child toolbar (WS_CHILD is added) at 0,0 with size 0; it sizes itself
    // when its parent sends it WM_SIZE.
    bool Create(DWORD exStyle, DWORD style, HWND parent, int controlId);
    void SetBitmapSize(int width, int height);
    // Adds a strip of images from a bitmap resource, mapping the transparent
    // colour to the button face; the image index of the first, or -1.
    int AddMappedBitmap(int imageCount, int bitmapId, COLORREF transparent);
    // Adds a strip of images the toolbar keeps until this object goes (the
    // control itself never deletes a bitmap added by handle).
    int AddBitmap(int imageCount, win::GdiObject bitmap);
    // Gives the buttons the images of the strip drawn for dpi (see
    // ScaledBitmap), the transparent colour masked out; a strip set before is
    // replaced, so the buttons keep their image indexes at another DPI. The
    // buttons take the images' size. False, with the images as they were,
    // when the strip cannot be loaded.
    bool SetImageStrip(const ScaledBitmap& strip, UINT dpi, COLORREF transparent);
    // One image's size of the strip set; 0 by 0 before one is set.
    SIZE ImageSize() const;
    SIZE ButtonSize() const;
    bool AddButton(int command, int image, INT_PTR textIndex, BYTE style, BYTE state,
                   DWORD_PTR data);
    // A NUL-separated list ending in a double NUL; the index of the first.
    int AddStrings(const char* list);
    bool CheckButton(int command, int checked);
    bool GetItemRect(int index, RECT* rect) const;
    void SetToolTips(HWND toolTip);

private:
    std::vector<win::GdiObject> bitmaps;
    // The toolbar does not destroy an image list it is given.
    std::unique_ptr<ImageListHandle> images;
};

} // namespace ui
