#pragma once

#include "image/ByteBuffer.h"

#include <cstddef>
#include <cstdint>

namespace formats {

// A PNG picture in memory as the reader produces it and the writer consumes it:
// raw rows (top row first, each led by its filter-type byte) and an RGB palette.
// Greyscale pictures carry a grey ramp as their palette.
struct PngImageInfo {
    // 1, 2, 4 or 8 for greyscale and palette pictures, 24 for RGB, 32 for RGBA.
    std::uint16_t BitsPerPixel = 0;
    std::uint16_t PaletteCount = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    // One raw row with its filter byte.
    std::uint32_t RowBytes = 0;
    // RowBytes x Height bytes.
    image::ByteBuffer Pixels;
    // PaletteCount x 3 bytes: red, green, blue.
    image::ByteBuffer Palette;
    // Opacity (255: opaque) of the first AlphaCount palette entries; the
    // entries after them are opaque. Only the reader sets these.
    std::uint16_t AlphaCount = 0;
    image::ByteBuffer Alpha;
};

// Bytes of one raw row of the given width, filter byte included: the whole bytes
// that hold width x bitsPerPixel bits, plus one. 0 when that does not fit in
// 32 bits or the bit count is not one PNG rows can have.
std::uint32_t PngRowBytes(std::uint32_t width, unsigned bitsPerPixel);

// The largest block of raw rows, and of 24-bit pixel memory, the reader and the
// writer accept: offsets into either must stay within a signed 32-bit int.
constexpr std::uint64_t kMaxPictureBytes = 0x7FFFFFFF;

// RowBytes x Height as a byte count, or 0 when it exceeds kMaxPictureBytes.
std::size_t PngPixelsSize(const PngImageInfo& info);

} // namespace formats
