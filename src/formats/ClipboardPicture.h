#pragma once

#include "formats/MemorySink.h"
#include "image/Image.h"
#include "win/ScopedGdi.h"

#include <windows.h>

#include <cstdint>

namespace formats {

// A picture on the clipboard in the two forms programs exchange: a bitmap,
// and a PNG file under the registered format "PNG", which browsers, screen
// shot tools and image editors put (often beside a bitmap that has lost the
// transparency, sometimes alone) and which keeps a picture exact.
class ClipboardPicture {
public:
    ClipboardPicture() = default;

    // The registered format "PNG"; 0 when it cannot be registered.
    static UINT PngFormat();

    // Makes picture a 24-bit copy of the clipboard's picture: its "PNG",
    // transparency blended over background (a COLORREF), when it holds one
    // that decodes, otherwise its bitmap (see Image::ReadClipboardPicture).
    // False, with the picture empty or unchanged, when neither gives one.
    static bool Read(image::Image& picture, std::uint32_t background);

    // Makes both forms of a 24-bit picture, once, while the caller holds it: a
    // copy in the screen's format and the PNG file SavePng would write. False
    // when there is no bitmap; a PNG that cannot be made is left out.
    bool Take(const image::Image& picture);
    // Replaces the clipboard's contents by what Take made (see
    // Image::PutOnClipboard); the clipboard owns the bitmap from then on.
    bool Put(HWND owner);

private:
    win::GdiObject bitmap;
    MemorySink png;
    bool pngMade = false;
};

} // namespace formats
