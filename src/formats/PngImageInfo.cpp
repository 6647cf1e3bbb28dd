#include "formats/PngImageInfo.h"

namespace formats {

std::uint32_t PngRowBytes(std::uint32_t width, unsigned bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 24:
    case 32:
        break;
    default:
        return 0;
    }
    const std::uint64_t bits = static_cast<std::uint64_t>(width) * bitsPerPixel;
    const std::uint64_t bytes = (bits + 7) / 8 + 1;
    return bytes > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(bytes);
}

std::size_t PngPixelsSize(const PngImageInfo& info) {
    const std::uint64_t size = static_cast<std::uint64_t>(info.RowBytes) * info.Height;
    return size > kMaxPictureBytes ? 0 : static_cast<std::size_t>(size);
}

} // namespace formats
