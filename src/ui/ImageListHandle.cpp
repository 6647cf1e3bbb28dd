#include "ui/ImageListHandle.h"

namespace ui {

ImageListHandle::~ImageListHandle() {
    Destroy();
}

BOOL ImageListHandle::Create(int width, int height, UINT flags, int initialCount, int growCount) {
    Destroy();
    list = ImageList_Create(width, height, flags, initialCount, growCount);
    return list != nullptr;
}

BOOL ImageListHandle::LoadFromBitmap(int bitmapId, int imageWidth, int growCount,
                                     COLORREF maskColour) {
    if (imageWidth <= 0) {
        return FALSE;
    }
    const HBITMAP bitmap =
        LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId & 0xFFFF));
    if (bitmap == nullptr) {
        return FALSE;
    }
    BITMAP header = {};
    UINT flags = ILC_COLOR24;
    if (maskColour != CLR_NONE) {
        flags |= ILC_MASK;
    }
    const bool created =
        GetObjectA(bitmap, sizeof(header), &header) == sizeof(header) &&
        Create(imageWidth, header.bmHeight, flags, header.bmWidth / imageWidth, growCount);
    if (created) {
        ImageList_AddMasked(list, bitmap, maskColour);
    }
    DeleteObject(bitmap);
    return created ? TRUE : FALSE;
}

BOOL ImageListHandle::Destroy() {
    if (list == nullptr) {
        return FALSE;
    }
    const BOOL destroyed = ImageList_Destroy(list);
    list = nullptr;
    return destroyed;
}

} // namespace ui
