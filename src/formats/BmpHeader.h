#pragma once

#include <cstdint>
#include <vector>

namespace formats {

// The headers of a BMP file, read and checked before the file goes to a
// system decoder. The system's BMP loader trusts the headers and reads
// wherever they point (Wine's reads past the end of a file whose pixel data
// are shorter than its size fields say, and crashes), so only files whose
// colour table and pixel rows lie wholly inside the file pass.
class BmpHeader {
public:
    // Reads the headers; false when the file cannot be read or is not
    // complete. With whole set the pixel rows are read as well.
    bool Read(const char* path, bool whole);

    // Rows stored top row first (a negative height in the file).
    bool TopDown() const { return height < 0; }
    int Width() const { return width; }
    int Height() const { return height < 0 ? -height : height; }
    // The file from its information header on (a BITMAPINFO as GDI takes it)
    // and, after a whole read, its pixel rows.
    const void* Info() const { return bytes.data() + kFileHeaderSize; }
    const void* Bits() const { return bytes.data() + pixelOffset; }

private:
    static constexpr std::uint32_t kFileHeaderSize = 14;
    // File header, the largest information header accepted, 256 colours.
    static constexpr std::uint32_t kMaxHeadersSize = kFileHeaderSize + 1024 + 1024;
    bool Check(std::uint64_t size);

    std::vector<std::uint8_t> bytes;
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

} // namespace formats
