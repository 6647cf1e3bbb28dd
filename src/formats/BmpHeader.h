#pragma once

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

private:
    static constexpr std::uint32_t kFileHeaderSize = 14;
    bool Check();

    std::vector<std::uint8_t> bytes;
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool runLength = false;
    image::PixelValue firstColour = 0;
};

} // namespace formats
