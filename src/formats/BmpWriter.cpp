#include "formats/BmpWriter.h"

#include "formats/SafeWriter.h"

#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace formats {

namespace {

constexpr DWORD kHeadersSize = 14 + 40;
// Stored as pixels per metre; the program has always written 96 here.
constexpr LONG kResolution = 96;

void Put16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t value) {
    Put16(p, static_cast<std::uint16_t>(value));
    Put16(p + 2, static_cast<std::uint16_t>(value >> 16));
}

} // namespace

bool SaveBmp(const image::Image& picture, const char* path) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3) {
        return false;
    }
    const int rowBytes = image::RowStride(picture.Width, 24);
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(rowBytes) * picture.Height;
    if (pixelBytes + kHeadersSize > 0xFFFFFFFFu) {
        return false;
    }

    // Built byte by byte: the file layout is little-endian whatever the
    // structures' packing.
    std::uint8_t fileHeader[14] = {};
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    Put32(fileHeader + 2, static_cast<std::uint32_t>(pixelBytes + kHeadersSize));
    Put32(fileHeader + 10, kHeadersSize);

    std::uint8_t infoHeader[40] = {};
    Put32(infoHeader, 40);
    Put32(infoHeader + 4, static_cast<std::uint32_t>(picture.Width));
    Put32(infoHeader + 8, static_cast<std::uint32_t>(picture.Height));
    Put16(infoHeader + 12, 1);
    Put16(infoHeader + 14, static_cast<std::uint16_t>(picture.BytesPerPixel * 8));
    Put32(infoHeader + 16, BI_RGB);
    Put32(infoHeader + 24, kResolution);
    Put32(infoHeader + 28, kResolution);

    SafeWriter writer(path);
    if (!writer.Write(fileHeader, sizeof(fileHeader)) ||
        !writer.Write(infoHeader, sizeof(infoHeader))) {
        return false;
    }
    if (picture.Stride == rowBytes) {
        return writer.Write(picture.Bits, static_cast<DWORD>(pixelBytes)) && writer.Finish();
    }
    // A canvas with spare room: each row without the room beyond it, padded
    // with zeros, bottom row first as the file stores them; written a
    // megabyte or so at a time.
    const int rowsPerWrite = std::max(1, (1 << 20) / rowBytes);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowsPerWrite) * rowBytes, 0);
    const std::size_t pixelBytesPerRow = static_cast<std::size_t>(picture.Width) * 3;
    for (int y = 0; y < picture.Height; y += rowsPerWrite) {
        const int count = std::min(rowsPerWrite, picture.Height - y);
        for (int i = 0; i < count; ++i) {
            std::memcpy(&rows[static_cast<std::size_t>(i) * rowBytes],
                        picture.Bits + static_cast<std::ptrdiff_t>(y + i) * picture.Stride,
                        pixelBytesPerRow);
        }
        if (!writer.Write(rows.data(), static_cast<DWORD>(count) * rowBytes)) {
            return false;
        }
    }
    return writer.Finish();
}

} // namespace formats
