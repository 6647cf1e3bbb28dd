// The clipboard operations of Image: the clipboard's bitmap as a paste source,
// and a copy of a picture put on the clipboard.
#include "image/Image.h"

#include "win/ScopedGdi.h"

#include <cstdlib>
#include <cstring>
#include <new>

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

// Owns a movable global memory block until the clipboard takes it.
class GlobalBlock {
public:
    explicit GlobalBlock(std::size_t size)
        : block(size != 0 ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr) {}
    ~GlobalBlock() {
        if (block != nullptr) {
            GlobalFree(block);
        }
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // Copies size bytes into the block; false when it cannot be locked.
    bool Fill(const std::uint8_t* data, std::size_t size) {
        void* target = block != nullptr ? GlobalLock(block) : nullptr;
        if (target == nullptr) {
            return false;
        }
        std::memcpy(target, data, size);
        GlobalUnlock(block);
        return true;
    }
    HGLOBAL Get() const { return block; }
    void Release() { block = nullptr; }

private:
    HGLOBAL block;
};

// Locks a global memory block that someone else owns for one scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL locked)
        : block(locked), data(locked != nullptr ? GlobalLock(locked) : nullptr) {}
    ~GlobalLockScope() {
        if (data != nullptr) {
            GlobalUnlock(block);
        }
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    const std::uint8_t* Data() const { return static_cast<const std::uint8_t*>(data); }

private:
    HGLOBAL block;
    void* data;
};

} // namespace

bool Image::ReadClipboardBytes(UINT format, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (format == 0 || !IsClipboardFormatAvailable(format)) {
        return false;
    }
    ClipboardScope clipboard(nullptr);
    if (!clipboard.IsOpen()) {
        return false;
    }
    // The clipboard keeps owning its block; it is copied so that the
    // clipboard is closed again before the bytes are decoded.
    HGLOBAL shared = GetClipboardData(format);
    const SIZE_T size = shared != nullptr ? GlobalSize(shared) : 0;
    GlobalLockScope lock(shared);
    if (size == 0 || lock.Data() == nullptr) {
        return false;
    }
    try {
        bytes.assign(lock.Data(), lock.Data() + size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

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
    win::MemoryDC from;
    win::MemoryDC to;
    bool copied = false;
    if (from && to) {
        win::SelectScope selectFrom(from.Get(), shared);
        win::SelectScope selectTo(to.Get(), Bitmap);
        copied = selectFrom.Selected() && selectTo.Selected() &&
                 BitBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
    }
    if (!copied) {
        Destroy();
    }
    return copied;
}

win::GdiObject Image::ScreenCopy() const {
    if (Bitmap == nullptr) {
        return win::GdiObject();
    }
    win::GdiObject copy;
    {
        DesktopDC desktop;
        if (desktop.Get() == nullptr) {
            return win::GdiObject();
        }
        copy = win::GdiObject(CreateCompatibleBitmap(desktop.Get(), Width, Height));
    }
    if (!copy) {
        return win::GdiObject();
    }
    win::MemoryDC to;
    win::MemoryDC from;
    if (!to || !from) {
        return win::GdiObject();
    }
    // The copy leaves its context at the end of the scope: a bitmap handed to
    // the clipboard must not be selected into any device context.
    win::SelectScope selectTo(to.Get(), copy.Get());
    win::SelectScope selectFrom(from.Get(), Bitmap);
    if (!selectTo.Selected() || !selectFrom.Selected() ||
        BitBlt(to.Get(), 0, 0, Width, Height, from.Get(), 0, 0, SRCCOPY) == FALSE) {
        return win::GdiObject();
    }
    GdiFlush();
    return copy;
}

bool Image::PutOnClipboard(HWND owner, win::GdiObject bitmap, const ClipboardBytes& beside) {
    // The user's clipboard is emptied only when there is something to put
    // in its place.
    if (!bitmap) {
        return false;
    }
    const bool extra = beside.format != 0 && beside.data != nullptr && beside.size != 0;
    GlobalBlock block(extra ? beside.size : 0);
    const bool filled = extra && block.Fill(beside.data, beside.size);
    ClipboardScope clipboard(owner);
    if (!clipboard.IsOpen() || EmptyClipboard() == FALSE) {
        return false;
    }
    // The clipboard owns the block once it has taken it.
    if (filled && SetClipboardData(beside.format, block.Get()) != nullptr) {
        block.Release();
    }
    if (SetClipboardData(CF_BITMAP, bitmap.Get()) == nullptr) {
        return false;
    }
    // The clipboard owns the bitmap from now on.
    bitmap.Release();
    return true;
}

} // namespace image
