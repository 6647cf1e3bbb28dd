#pragma once

#include "formats/ByteSource.h"
#include "image/Image.h"
#include "image/PixelValue.h"

#include <cstdint>
#include <vector>

namespace formats {

// A BMP file read whole and checked before GDI draws its rows. GDI trusts the
// headers and reads wherever they point, so only files whose headers, colour
// table and pixel data lie wholly inside the file, in that order, pass; and
// only pictures a canvas can hold, run-length coded ones only when their data
// could paint a good part of them.
class BmpHeader {
public:
    // Reads the file; false when it cannot be read or does not pass.
    bool Read(const char* path);
    // The same from the source's start.
    bool Read(ByteSource& source);

    int Width() const { return width; }
    int Height() const { return height < 0 ? -height : height; }
    // Run-length data may skip pixels; those show colour table entry 0, as
    // the system's loader showed them (it drew onto a zeroed palette bitmap).
    bool RunLength() const { return runLength; }
    image::PixelValue FirstColour() const { return firstColour; }
    // The file from its information header on (a BITMAPINFO as GDI takes it)
    // and its pixel data.
    const void* Info() const { return bytes.data() + kFileHeaderSize; }
    const void* Bits() const { return bytes.data() + pixelOffset; }

    // Blends the picture GDI drew from this file (its 24-bit Image, upright)
    // over background (a COLORREF) by the file's alpha channel: the masked
    // bits of a 16- or 32-bit file whose header (v4, v5 or the 56-byte one)
    // names an alpha mask, or the fourth byte of a 32-bit uncompressed file.
    // A file whose alpha is all zero stays opaque, as Windows shows it: most
    // writers of 32-bit files leave that byte unused.
    void BlendAlpha(image::Image& picture, std::uint32_t background) const;

private:
    static constexpr std::uint32_t kFileHeaderSize = 14;
    bool Check();
    bool SizePixelData(std::uint32_t compression, std::uint32_t imageSize, std::uint32_t infoSize,
                       std::uint64_t rows, std::uint64_t& pixelBytes);

    std::vector<std::uint8_t> bytes;
    // Sets alphaMask and alphaShift for a file of bitCount bits per pixel.
    void ReadAlphaMask(std::uint32_t compression, std::uint32_t infoSize);
    // The alpha value of the pixel at the given stored row and column, 0 to
    // 255.
    unsigned AlphaAt(std::uint32_t row, std::uint32_t column) const;

    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint64_t stride = 0;
    // The bits of a pixel that hold its alpha, shifted down by alphaShift;
    // zero when the file has no alpha channel.
    std::uint32_t alphaMask = 0;
    unsigned alphaShift = 0;
    bool runLength = false;
    image::PixelValue firstColour = 0;
};

} // namespace formats
