#pragma once

#include <windows.h>

// Non-copyable owners of the GDI objects the image code uses for a moment:
// a memory device context, and an object selected into a context that is put
// back before the context or the object goes away.

namespace image {

class MemoryDC {
public:
    // A memory context compatible with the screen (CreateCompatibleDC(NULL)).
    MemoryDC() : dc(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC() {
        if (dc != nullptr) {
            DeleteDC(dc);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HDC dc;
};

// Selects an object for the life of the scope. A bitmap selected into a memory
// context cannot be deleted or selected elsewhere, so the old object must be
// restored before the DC or the bitmap is released.
class SelectScope {
public:
    SelectScope(HDC context, HGDIOBJ object) : dc(context), old(SelectObject(context, object)) {}
    ~SelectScope() {
        if (old != nullptr && old != HGDI_ERROR) {
            SelectObject(dc, old);
        }
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

    bool Selected() const { return old != nullptr && old != HGDI_ERROR; }

private:
    HDC dc;
    HGDIOBJ old;
};

} // namespace image
