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
    return imageWidth > 0 ? Load(bitmapId, imageWidth, growCount, maskColour) : FALSE;
}

BOOL ImageListHandle::LoadSquares(int bitmapId, COLORREF maskColour) {
    return Load(bitmapId, 0, 0, maskColour);
}

SIZE ImageListHandle::ImageSize() const {
    int width = 0;
    int height = 0;
    if (list == nullptr || !ImageList_GetIconSize(list, &width, &height)) {
        return SIZE{0, 0};
    }
    return SIZE{width, height};
}

BOOL ImageListHandle::Load(int bitmapId, int imageWidth, int growCount, COLORREF maskColour) {
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
    const bool read = GetObjectA(bitmap, sizeof(header), &header) == sizeof(header);
    if (read && imageWidth == 0) {
        imageWidth = header.bmHeight;
    }
    const bool created =
        read && imageWidth > 0 &&
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
