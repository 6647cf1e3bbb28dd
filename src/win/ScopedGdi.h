#pragma once

#include <windows.h>

#include <utility>

// Non-copyable owners of the GDI objects the image code uses for a moment:
// a memory device context, an object selected into a context that is put
// back before the context or the object goes away, and a plain GDI object.

namespace win {

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

// Owns one GDI object (a bitmap, brush, pen...) and deletes it; it may be
// handed on to another owner by moving. It must not be selected into a
// context when it goes.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ owned) : object(owned) {}
    ~GdiObject() {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
    GdiObject(GdiObject&& other) noexcept : object(other.object) { other.object = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(object, other.object);
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    HGDIOBJ Get() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    // Gives the object up to a new owner that deletes it (the clipboard).
    void Release() { object = nullptr; }

private:
    HGDIOBJ object = nullptr;
};

} // namespace win
