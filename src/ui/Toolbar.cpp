#include "ui/Toolbar.h"

#include <commctrl.h>

#include <utility>

namespace ui {

bool Toolbar::Create(DWORD exStyle, DWORD style, HWND parent, int controlId) {
    // A system class: the object is not bound to the control's messages.
    hwnd = CreateWindowExA(exStyle, TOOLBARCLASSNAMEA, nullptr, style | WS_CHILD, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                           GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return true;
}

void Toolbar::SetBitmapSize(int width, int height) {
    Send(TB_SETBITMAPSIZE, 0, MAKELONG(width, height));
}

int Toolbar::AddMappedBitmap(int imageCount, int bitmapId, COLORREF transparent) {
    COLORMAP map = {transparent, GetSysColor(COLOR_BTNFACE)};
    return AddBitmap(imageCount, win::GdiObject(CreateMappedBitmap(GetModuleHandleA(nullptr),
                                                                     bitmapId, 0, &map, 1)));
}

int Toolbar::AddBitmap(int imageCount, win::GdiObject bitmap) {
    if (!bitmap) {
        return -1;
    }
    TBADDBITMAP add = {nullptr, reinterpret_cast<UINT_PTR>(bitmap.Get())};
    const int first = static_cast<int>(
        Send(TB_ADDBITMAP, static_cast<WPARAM>(imageCount), reinterpret_cast<LPARAM>(&add)));
    if (first >= 0) {
        bitmaps.push_back(std::move(bitmap));
    }
    return first;
}

bool Toolbar::SetImageStrip(const ScaledBitmap& strip, UINT dpi, COLORREF transparent) {
    auto loaded = std::make_unique<ImageListHandle>();
    if (!loaded->LoadSquares(BitmapForDpi(strip, dpi), transparent)) {
        return false;
    }
    const SIZE size = loaded->ImageSize();
    Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(loaded->Handle()));
    Send(TB_SETBITMAPSIZE, 0, MAKELONG(size.cx, size.cy));
    // The button size follows the bitmap size only while no button size was
    // set; zero asks the control to compute it again from images and texts.
    Send(TB_SETBUTTONSIZE, 0, 0);
    Send(TB_AUTOSIZE, 0, 0);
    // The list the control held until now is released only after it let go.
    images = std::move(loaded);
    return true;
}

SIZE Toolbar::ImageSize() const {
    return images ? images->ImageSize() : SIZE{0, 0};
}

SIZE Toolbar::ButtonSize() const {
    const auto packed = static_cast<DWORD>(Send(TB_GETBUTTONSIZE, 0, 0));
    return SIZE{LOWORD(packed), HIWORD(packed)};
}

bool Toolbar::AddButton(int command, int image, INT_PTR textIndex, BYTE style, BYTE state,
                        DWORD_PTR data) {
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = state;
    button.fsStyle = style;
    button.dwData = data;
    button.iString = textIndex;
    return Send(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)) != 0;
}

int Toolbar::AddStrings(const char* list) {
    return static_cast<int>(Send(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(list)));
}

bool Toolbar::CheckButton(int command, int checked) {
    return Send(TB_CHECKBUTTON, static_cast<WPARAM>(command), MAKELONG(checked & 0xFFFF, 0)) != 0;
}

bool Toolbar::GetItemRect(int index, RECT* rect) const {
    return Send(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)) != 0;
}

void Toolbar::SetToolTips(HWND toolTip) {
    Send(TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(toolTip), 0);
}

} // namespace ui
