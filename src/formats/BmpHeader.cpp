#include "formats/BmpHeader.h"

#include "formats/AlphaBlend.h"
#include "image/CellLayout.h"

#include <windows.h>

namespace formats {

namespace {

std::uint32_t Get16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}

std::uint32_t Get32(const std::uint8_t* p) {
    return Get16(p) | Get16(p + 2) << 16;
}

// Entries of the colour table: up to 2^bitCount colours for palette
// pictures (all of them when the header says 0), the three colour masks that
// follow a 40-byte header, otherwise none.
std::uint32_t TableEntries(std::uint32_t bitCount, std::uint32_t compression,
                           std::uint32_t infoSize, std::uint32_t colours) {
    if (bitCount <= 8) {
        return colours == 0 || colours > (1u << bitCount) ? 1u << bitCount : colours;
    }
    return compression == BI_BITFIELDS && infoSize == sizeof(BITMAPINFOHEADER) ? 3 : 0;
}

} // namespace

bool BmpHeader::Read(const char* path) {
    ByteSource file;
    return file.OpenFile(path) && Read(file);
}

bool BmpHeader::Read(ByteSource& source) {
    const DWORD size = source.Size();
    // Pixel memory of the Image stays below 2 GiB; so must the file.
    if (size == INVALID_FILE_SIZE || size < kFileHeaderSize + 12 || size > 0x7FFFFFFF ||
        source.Seek(0, FILE_BEGIN) != 0) {
        return false;
    }
    bytes.assign(size, 0);
    return source.Read(bytes.data(), size) == size && Check();
}

// The bytes of pixel data the header's compression and sizes call for,
// checked against what the picture could need or paint; false for a
// compression or bit depth that is not a BMP's, or run-length data that
// could paint only a small part of the picture.
bool BmpHeader::SizePixelData(std::uint32_t compression, std::uint32_t imageSize,
                              std::uint32_t infoSize, std::uint64_t rows,
                              std::uint64_t& pixelBytes) {
    const std::uint8_t* info = bytes.data() + kFileHeaderSize;
    switch (compression) {
    case BI_RGB:
    case BI_BITFIELDS:
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
            bitCount != 32) {
            return false;
        }
        // GDI takes a non-zero image size field at its word and reads that far.
        pixelBytes = imageSize > pixelBytes ? imageSize : pixelBytes;
        ReadAlphaMask(compression, infoSize);
        break;
    case BI_RLE8:
    case BI_RLE4:
        // Run-length data are as long as the header says; the decoder stops
        // at that length. They are never stored top-down.
        if (height < 0 || imageSize == 0 || bitCount != (compression == BI_RLE8 ? 8u : 4u)) {
            return false;
        }
        pixelBytes = imageSize;
        // Each 2-byte run paints at most 255 pixels, so the data can paint at
        // most about 128 pixels a byte; the rest only skips (a few bytes jump
        // to the end of the picture). A picture more than twice as large as
        // its runs could paint, beyond a small allowance, is mostly nothing
        // and yet costs its full memory: refused.
        if (static_cast<std::uint64_t>(width) * rows > pixelBytes * 256 + 65536) {
            return false;
        }
        firstColour = info[infoSize] | info[infoSize + 1] << 8 | info[infoSize + 2] << 16;
        break;
    default:
        return false;
    }
    return true;
}

bool BmpHeader::Check() {
    const std::uint64_t size = bytes.size();
    const std::uint8_t* info = bytes.data() + kFileHeaderSize;
    pixelOffset = Get32(bytes.data() + 10);
    const std::uint32_t infoSize = Get32(info);
    bitCount = 0;
    alphaMask = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t imageSize = 0;
    std::uint32_t colours = 0;
    std::uint64_t entrySize = 4;
    if (infoSize == sizeof(BITMAPCOREHEADER)) {
        width = static_cast<std::int32_t>(Get16(info + 4));
        height = static_cast<std::int32_t>(Get16(info + 6));
        bitCount = Get16(info + 10);
        entrySize = 3;
    } else if (infoSize >= sizeof(BITMAPINFOHEADER) && infoSize <= 1024 &&
               kFileHeaderSize + infoSize <= size) {
        width = static_cast<std::int32_t>(Get32(info + 4));
        height = static_cast<std::int32_t>(Get32(info + 8));
        bitCount = Get16(info + 14);
        compression = Get32(info + 16);
        imageSize = Get32(info + 20);
        colours = Get32(info + 32);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        return false;
    }
    colours = TableEntries(bitCount, compression, infoSize, colours);
    // The pixel data start after the colour table (an offset inside the
    // headers made Wine's loader read from before the file) and end in the file.
    const std::uint64_t tableEnd = kFileHeaderSize + infoSize + colours * entrySize;
    if (pixelOffset < tableEnd || tableEnd > size) {
        return false;
    }

    stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    std::uint64_t pixelBytes = stride * rows;
    runLength = compression == BI_RLE8 || compression == BI_RLE4;
    if (!SizePixelData(compression, imageSize, infoSize, rows, pixelBytes)) {
        return false;
    }
    // The 24-bit picture this becomes must be addressable with int offsets.
    return pixelOffset + pixelBytes <= size && image::CanvasFits(width, rows);
}

void BmpHeader::ReadAlphaMask(std::uint32_t compression, std::uint32_t infoSize) {
    // The alpha mask follows the three colour masks in the headers that have
    // one (56 bytes and longer); uncompressed 32-bit pixels keep it in their
    // fourth byte.
    if (compression == BI_RGB && bitCount == 32) {
        alphaMask = 0xFF000000;
    } else if (compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32) &&
               infoSize >= 56) {
        alphaMask = Get32(bytes.data() + kFileHeaderSize + 52);
    }
    for (alphaShift = 0; alphaMask != 0 && (alphaMask & 1) == 0; ++alphaShift) {
        alphaMask >>= 1;
    }
}

unsigned BmpHeader::AlphaAt(std::uint32_t row, std::uint32_t column) const {
    const std::uint8_t* pixel =
        bytes.data() + pixelOffset + row * stride + std::uint64_t{column} * bitCount / 8;
    const std::uint32_t value = bitCount == 32 ? Get32(pixel) : Get16(pixel);
    // A mask of fewer than 8 bits is stretched to the full range.
    return ((value >> alphaShift & alphaMask) * 255 + alphaMask / 2) / alphaMask;
}

void BmpHeader::BlendAlpha(image::Image& picture, std::uint32_t background) const {
    if (alphaMask == 0 || picture.Width != Width() || picture.Height != Height() ||
        picture.BytesPerPixel != 3) {
        return;
    }
    const std::uint32_t rows = static_cast<std::uint32_t>(Height());
    const std::uint32_t columns = static_cast<std::uint32_t>(width);
    bool anyAlpha = false;
    for (std::uint32_t row = 0; row < rows && !anyAlpha; ++row) {
        for (std::uint32_t column = 0; column < columns && !anyAlpha; ++column) {
            anyAlpha = AlphaAt(row, column) != 0;
        }
    }
    if (!anyAlpha) {
        return;
    }
    // Blue, green, red: the order of the bytes of a 24-bit pixel.
    const unsigned back[3] = {background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF};
    for (std::uint32_t row = 0; row < rows; ++row) {
        // Rows are stored bottom-up unless the height is negative.
        const int y = static_cast<int>(height < 0 ? row : rows - 1 - row);
        std::uint8_t* out = picture.PixelAddress(0, y);
        for (std::uint32_t column = 0; column < columns; ++column, out += 3) {
            const unsigned alpha = AlphaAt(row, column);
            for (int c = 0; c < 3; ++c) {
                out[c] = BlendSample(out[c], alpha, back[c]);
            }
        }
    }
}

} // namespace formats
