#include "formats/BmpWriter.h"

#include "formats/ImageRows.h"
#include "formats/SafeWriter.h"

#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
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

// The two headers of a bottom-up 24-bit file of width x height; false when
// its size would not fit the file's 32-bit field.
bool WriteHeaders(ByteSink& sink, int width, int height) {
    const int rowBytes = image::RowStride(width, 24);
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(rowBytes) * height;
    if (width < 1 || height < 1 || rowBytes == 0 || pixelBytes + kHeadersSize > 0xFFFFFFFFu) {
        return false;
    }
    // Built byte by byte: the file layout is little-endian whatever the
    // structures' packing.
    std::uint8_t headers[kHeadersSize] = {};
    headers[0] = 'B';
    headers[1] = 'M';
    Put32(headers + 2, static_cast<std::uint32_t>(pixelBytes + kHeadersSize));
    Put32(headers + 10, kHeadersSize);
    std::uint8_t* info = headers + 14;
    Put32(info, 40);
    Put32(info + 4, static_cast<std::uint32_t>(width));
    Put32(info + 8, static_cast<std::uint32_t>(height));
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 16, BI_RGB);
    Put32(info + 24, kResolution);
    Put32(info + 28, kResolution);
    return sink.Write(headers, sizeof(headers));
}

} // namespace

bool WriteBmp(RowSource& rows, ByteSink& sink) {
    const int width = rows.Width();
    const int height = rows.Height();
    if (!WriteHeaders(sink, width, height)) {
        return false;
    }
    // Rows come top first but the file keeps the bottom row first: each
    // block of rows, turned over, goes to its own place, from the end of the
    // file towards its start. Padding bytes stay zero. A megabyte or so is
    // written at a time.
    const int rowBytes = image::RowStride(width, 24);
    const int rowsPerWrite = std::max(1, (1 << 20) / rowBytes);
    std::vector<std::uint8_t> block;
    std::vector<std::uint8_t> scratch;
    try {
        block.assign(static_cast<std::size_t>(rowsPerWrite) * rowBytes, 0);
        scratch.resize(static_cast<std::size_t>(width) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < height; y += rowsPerWrite) {
        const int count = std::min(rowsPerWrite, height - y);
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* row = rows.Row(y + i, scratch.data());
            if (row == nullptr) {
                return false;
            }
            std::memcpy(&block[static_cast<std::size_t>(count - 1 - i) * rowBytes], row,
                        scratch.size());
        }
        const DWORD at = kHeadersSize + static_cast<DWORD>(height - y - count) * rowBytes;
        if (!sink.SeekTo(at) || !sink.Write(block.data(), static_cast<DWORD>(count) * rowBytes)) {
            return false;
        }
    }
    return sink.SeekToEnd();
}

bool SaveBmp(const image::Image& picture, const char* path) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3) {
        return false;
    }
    SafeWriter writer(path);
    if (picture.Stride != image::RowStride(picture.Width, 24)) {
        // A canvas with spare room: row by row, without the room.
        ImageRows rows(picture);
        return WriteBmp(rows, writer) && writer.Finish();
    }
    // The pixel memory is the file's pixel array as it stands.
    return WriteHeaders(writer, picture.Width, picture.Height) &&
           writer.Write(picture.Bits, static_cast<DWORD>(picture.Stride) * picture.Height) &&
           writer.Finish();
}

} // namespace formats
