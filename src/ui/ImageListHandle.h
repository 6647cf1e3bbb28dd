#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

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
    // The same for a strip of square images, as wide as the strip is high,
    // whatever their number and size.
    BOOL LoadSquares(int bitmapId, COLORREF maskColour);
    // Width and height of one image; 0 by 0 when nothing is held.
    SIZE ImageSize() const;
    // ImageList_Destroy's result; 0 when nothing was held.
    BOOL Destroy();

    HIMAGELIST Handle() const { return list; }
    void Swap(ImageListHandle& other) { std::swap(list, other.list); }

private:
    // imageWidth 0: as wide as the bitmap is high.
    BOOL Load(int bitmapId, int imageWidth, int growCount, COLORREF maskColour);

    HIMAGELIST list = nullptr;
};

} // namespace ui
