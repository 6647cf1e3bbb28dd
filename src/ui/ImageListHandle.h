#pragma once

#include <windows.h>
#include <commctrl.h>

// Owner of one image list, destroyed when it is replaced and when the owner
// is destroyed.

namespace ui {

class ImageListHandle {
public:
    ImageListHandle() = default;
    ~ImageListHandle();

    ImageListHandle(const ImageListHandle&) = delete;
    ImageListHandle& operator=(const ImageListHandle&) = delete;

    // Destroys any list held, then ImageList_Create; TRUE when created.
    BOOL Create(int width, int height, UINT flags, int initialCount, int growCount);
    // A list of the images of a bitmap resource laid side by side, each
    // imageWidth pixels wide and as high as the bitmap, 24-bit, masked by
    // maskColour unless it is CLR_NONE. No bitmap is left behind on any path.
    BOOL LoadFromBitmap(int bitmapId, int imageWidth, int growCount, COLORREF maskColour);
    // ImageList_Destroy's result; 0 when nothing was held.
    BOOL Destroy();

    HIMAGELIST Handle() const { return list; }

private:
    HIMAGELIST list = nullptr;
};

} // namespace ui
