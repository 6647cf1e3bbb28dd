#include "formats/ClipboardPicture.h"

#include "formats/PngReader.h"
#include "formats/PngWriter.h"

#include <utility>
#include <vector>

namespace formats {

UINT ClipboardPicture::PngFormat() {
    // The same number for every caller in the session; registering again
    // only returns it.
    return RegisterClipboardFormatA("PNG");
}

bool ClipboardPicture::Read(image::Image& picture, std::uint32_t background) {
    std::vector<std::uint8_t> bytes;
    if (image::Image::ReadClipboardBytes(PngFormat(), bytes) &&
        LoadPng(picture, bytes.data(), bytes.size(), background)) {
        return true;
    }
    return picture.ReadClipboardPicture();
}

bool ClipboardPicture::Take(const image::Image& picture) {
    bitmap = picture.ScreenCopy();
    pngMade = bitmap && EncodePng(picture, png);
    return static_cast<bool>(bitmap);
}

bool ClipboardPicture::Put(HWND owner) {
    image::ClipboardBytes beside;
    if (pngMade) {
        beside.format = PngFormat();
        beside.data = png.Bytes().data();
        beside.size = png.Bytes().size();
    }
    return image::Image::PutOnClipboard(owner, std::move(bitmap), beside);
}

} // namespace formats
