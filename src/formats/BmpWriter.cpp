#include "formats/BmpWriter.h"

#include "formats/SafeWriter.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

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
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(picture.Stride) * picture.Height;
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
    return writer.Write(fileHeader, sizeof(fileHeader)) &&
           writer.Write(infoHeader, sizeof(infoHeader)) &&
           writer.Write(picture.Bits, static_cast<DWORD>(pixelBytes)) && writer.Finish();
}

} // namespace formats
