// The clipboard operations of Image: the clipboard's bitmap as a paste source,
// and a copy of a picture put on the clipboard.
#include "image/Image.h"

#include "image/ScopedGdi.h"

#include <cstdlib>

namespace image {

namespace {

// Holds the clipboard open for one scope. Only one window (or thread, for a
// null owner) can have it open, so it is closed on every path.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner) : open(OpenClipboard(owner) != FALSE) {}
    ~ClipboardScope() {
        if (open) {
            CloseClipboard();
        }
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;

    bool IsOpen() const { return open; }

private:
    bool open;
};

// The desktop window's device context for one scope.
class DesktopDC {
public:
    DesktopDC() : window(GetDesktopWindow()), dc(GetDC(window)) {}
    ~DesktopDC() {
        if (dc != nullptr) {
            ReleaseDC(window, dc);
        }
    }
    DesktopDC(const DesktopDC&) = delete;
    DesktopDC& operator=(const DesktopDC&) = delete;

    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

} // namespace

bool Image::ReadClipboardPicture() {
    if (!IsClipboardFormatAvailable(CF_BITMAP)) {
        return false;
    }
    ClipboardScope clipboard(nullptr);
    if (!clipboard.IsOpen()) {
        return false;
    }
    // The clipboard keeps owning this bitmap; it is only read here.
    auto* shared = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info = {};
    if (shared == nullptr || GetObjectA(shared, sizeof(info), &info) == 0) {
        return false;
    }
    // A top-down bitmap reports a negative height.
    const int width = info.bmWidth;
    const int height = std::abs(info.bmHeight);
    if (width < 1 || height < 1 || !Create(width, height, 24)) {
        return false;
    }
    MemoryDC from;
    MemoryDC to;
    bool copied = false;
    if (from && to) {
        SelectScope selectFrom(from.Get(), shared);
        SelectScope selectTo(to.Get(), Bitmap);
        copied = selectFrom.Selected() && selectTo.Selected() &&
                 BitBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
    }
    if (!copied) {
        Destroy();
    }
    return copied;
}

GdiObject Image::ScreenCopy() const {
    if (Bitmap == nullptr) {
        return GdiObject();
    }
    GdiObject copy;
    {
        DesktopDC desktop;
        if (desktop.Get() == nullptr) {
            return GdiObject();
        }
        copy = GdiObject(CreateCompatibleBitmap(desktop.Get(), Width, Height));
    }
    if (!copy) {
        return GdiObject();
    }
    MemoryDC to;
    MemoryDC from;
    if (!to || !from) {
        return GdiObject();
    }
    // The copy leaves its context at the end of the scope: a bitmap handed to
    // the clipboard must not be selected into any device context.
    SelectScope selectTo(to.Get(), copy.Get());
    SelectScope selectFrom(from.Get(), Bitmap);
    if (!selectTo.Selected() || !selectFrom.Selected() ||
        BitBlt(to.Get(), 0, 0, Width, Height, from.Get(), 0, 0, SRCCOPY) == FALSE) {
        return GdiObject();
    }
    GdiFlush();
    return copy;
}

bool Image::PutOnClipboard(HWND owner, GdiObject bitmap) {
    // The user's clipboard is emptied only when there is something to put
    // in its place.
    if (!bitmap) {
        return false;
    }
    ClipboardScope clipboard(owner);
    if (!clipboard.IsOpen() || EmptyClipboard() == FALSE ||
        SetClipboardData(CF_BITMAP, bitmap.Get()) == nullptr) {
        return false;
    }
    // The clipboard owns the bitmap from now on.
    bitmap.Release();
    return true;
}

bool Image::CopyToClipboard(HWND owner) const {
    return PutOnClipboard(owner, ScreenCopy());
}

} // namespace image
