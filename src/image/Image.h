#pragma once

#include "image/PixelValue.h"
#include "win/ScopedGdi.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace image {

// Bytes in a registered clipboard format (a PNG file) that Image puts beside
// a bitmap; none when format is 0 or there are no bytes.
struct ClipboardBytes {
    UINT format = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// One picture in memory: a DIB section and the geometry cached from it so that
// pixels can be addressed directly. The canonical format is 24 bits per pixel,
// bottom-up, bytes blue, green, red, rows padded to 4 bytes; pixel operations
// count y from the top row. The Image owns its bitmap and is never copied.
//
// A canvas may keep spare room: its bitmap is larger than the picture, which
// is the bitmap's top-left Width x Height corner, so that a growing join adds
// pixels without copying the old ones. Every field and operation describes
// that corner only; Stride is the bitmap's row pitch and may exceed
// RowStride(Width).
//
// The numeric fields are valid only while Bitmap is not null; an empty Image
// has every field zero.
class Image {
public:
    Image() = default;
    ~Image() { Destroy(); }

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Deletes the current bitmap first, so a failed Create leaves the Image
    // empty; a 24-bit bitmap of exactly this size is kept instead, cleared.
    // Either way the pixels are all zero. palette: 256 RGBQUAD entries for
    // 8-bit Images, or null.
    bool Create(int width, int height, int bitCount, const RGBQUAD* palette = nullptr);
    // A 24-bit picture of width x height inside a bitmap of roomWidth x
    // roomHeight (each at least the picture's side).
    bool CreateWithRoom(int width, int height, int roomWidth, int roomHeight);
    // Shows more or less of the bitmap: its top-left width x height corner.
    // Pixels that come into view keep whatever the bitmap held there. False,
    // with nothing changed, when the corner does not fit the bitmap.
    bool SetVisibleSize(int width, int height);
    int RoomWidth() const { return roomWidth; }
    int RoomHeight() const { return roomHeight; }
    // Takes ownership of a DIB section (for example one made by GDI) and
    // reads its geometry; false (and empty) when it is not a DIB section.
    bool Attach(HBITMAP bitmap);
    void RefreshFromBitmap();
    bool Destroy();
    bool IsEmpty() const { return Bitmap == nullptr; }
    // Exchanges the bitmaps and geometry of two Images.
    void Swap(Image& other);

    // Draws the whole Image onto the whole (already created) destination.
    bool StretchTo(Image& destination, bool halftone) const;

    std::uint8_t* PixelAddress(int x, int y) const;
    std::uint8_t* WritePixel(int x, int y, PixelValue value);
    void FillArea(int x, int y, int w, int h, PixelValue value);
    void FillAll(PixelValue value);
    PixelValue ReadPixel(int x, int y) const;
    void BlitFrom(int dstX, int dstY, const Image& source, int srcX, int srcY, int w, int h);
    void DrawTo(HDC dc, int x, int y, int w, int h, int srcX, int srcY) const;
    // Draws a source rectangle (top-down coordinates; 0 width or height means
    // the whole side) stretched into a destination rectangle, with the stretch
    // mode already set on dc. The source is clipped to the Image.
    void StretchDrawTo(HDC dc, int x, int y, int w, int h, int srcX, int srcY, int srcW,
                       int srcH) const;

    // Makes this Image a 24-bit copy of the clipboard's bitmap (CF_BITMAP,
    // which the system also offers for a device-independent bitmap). False,
    // with the Image empty or unchanged, when there is none, the clipboard is
    // busy or there is no memory for the copy.
    bool ReadClipboardPicture();
    // Copying to the clipboard comes in two halves, so that a caller can let
    // go of the picture before the clipboard is opened (opening and emptying
    // it sends messages to other programs). ScreenCopy: a copy in the
    // screen's format, empty on failure. PutOnClipboard: replaces the
    // clipboard's contents by the bitmap, which the clipboard then owns; the
    // clipboard is left as it was when there is no bitmap or it cannot be
    // opened. owner: the window that opens the clipboard, or null.
    win::GdiObject ScreenCopy() const;
    // The bytes go before the bitmap, the richer format first; when there is
    // no memory for them the bitmap goes alone.
    static bool PutOnClipboard(HWND owner, win::GdiObject bitmap,
                               const ClipboardBytes& beside = {});
    // A copy of the clipboard's data in a registered format; false, with
    // bytes empty, when it has none or cannot be opened.
    static bool ReadClipboardBytes(UINT format, std::vector<std::uint8_t>& bytes);

    HBITMAP Bitmap = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    int BytesPerPixel = 0;
    std::uint8_t* Bits = nullptr;
    int TopRowOffset = 0;

private:
    void ClearFields();
    // Points Bits and TopRowOffset at the visible corner of the bitmap.
    void PlaceVisibleCorner();
    // The header that describes the pixel memory to the DIB drawing calls.
    BITMAPINFO DrawHeader() const;

    int roomWidth = 0;
    int roomHeight = 0;
    std::uint8_t* bitmapBits = nullptr; // the bitmap's bottom row
};

// Bytes per row of a picture of the given width and bit count, rounded up to
// 4 bytes; 0 when the row would not fit in an int.
int RowStride(int width, int bitCount);

} // namespace image
