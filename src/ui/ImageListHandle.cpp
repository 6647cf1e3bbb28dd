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
    // A strip narrower than one image adds nothing, which is as much a
    // failure as the list refusing the images.
    const int count = created ? header.bmWidth / imageWidth : 0;
    const bool added = count > 0 && ImageList_AddMasked(list, bitmap, maskColour) >= 0 &&
                       ImageList_GetImageCount(list) == count;
    DeleteObject(bitmap);
    if (!added) {
        Destroy();
    }
    return added ? TRUE : FALSE;
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
