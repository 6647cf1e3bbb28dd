#include "formats/PngWriter.h"

#include "formats/ByteOrder.h"
#include "formats/ImageRows.h"
#include "formats/MemorySink.h"
#include "formats/PngFilter.h"
#include "formats/SafeWriter.h"

#include <libdeflate.h>

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace formats {

namespace {

const std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
const std::uint8_t kEnd[12] = {0, 0, 0, 0, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
// The standard caps chunk lengths at 2^31 - 1.
constexpr std::size_t kMaxChunkLength = 0x7FFFFFFF;
// libdeflate's level for saves. Measured against zlib's level 6, which the
// program used before, on photographs, screenshots, charts, noise and joined
// canvases: 2 to 5 times as fast, smaller on most pictures and in total, at
// most about 1.5 % larger on a few canvases and flat charts. No level up to 9
// is never larger; 6 is larger more often, 8 and 9 are slower and no smaller
// overall.
constexpr int kSaveLevel = 7;
// Maps colours to their table slots. Open addressing over four times the
// table's size keeps lookups to a probe or two, which matters because every
// pixel of a large picture goes through here.
class ColourIndex {
public:
    // The slot of value, or -1.
    int Find(image::PixelValue value) const {
        for (unsigned h = Hash(value);; h = (h + 1) & kMask) {
            if (slots[h] == 0) {
                return -1;
            }
            if (colours[slots[h] - 1] == value) {
                return slots[h] - 1;
            }
        }
    }
    // Adds a value not yet present as slot index.
    void Add(image::PixelValue value, int index) {
        unsigned h = Hash(value);
        while (slots[h] != 0) {
            h = (h + 1) & kMask;
        }
        slots[h] = static_cast<std::uint16_t>(index + 1);
    }
    void Attach(const image::PixelValue* table) { colours = table; }

private:
    static constexpr unsigned kSize = 1024;
    static constexpr unsigned kMask = kSize - 1;
    static unsigned Hash(image::PixelValue value) { return (value * 2654435761u) >> 22; }

    std::uint16_t slots[kSize] = {};
    const image::PixelValue* colours = nullptr;
};

inline image::PixelValue PixelAt(const std::uint8_t* p) {
    return p[0] | static_cast<image::PixelValue>(p[1]) << 8 |
           static_cast<image::PixelValue>(p[2]) << 16;
}

} // namespace

int CountColours(const image::Image& picture, image::PixelValue table[256]) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3) {
        return 0;
    }
    ColourIndex index;
    index.Attach(table);
    int count = 0;
    image::PixelValue previous = 0;
    for (int y = 0; y < picture.Height; ++y) {
        const std::uint8_t* p = picture.Bits + static_cast<std::size_t>(y) * picture.Stride;
        for (int x = 0; x < picture.Width; ++x, p += 3) {
            const image::PixelValue value = PixelAt(p);
            // Runs of one colour are common; they skip the lookup.
            if (count > 0 && (value == previous || index.Find(value) >= 0)) {
                previous = value;
                continue;
            }
            if (count == 256) {
                return 0;
            }
            table[count] = value;
            index.Add(value, count);
            ++count;
            previous = value;
        }
    }
    return count;
}

namespace {

// Each colour of the table finds its slot; the first of equal colours wins.
void IndexColours(ColourIndex& index, const image::PixelValue* table, int count) {
    index.Attach(table);
    for (int i = 0; i < count; ++i) {
        if (index.Find(table[i]) < 0) {
            index.Add(table[i], i);
        }
    }
}

// The palette chunk's entries (red, green, blue) for the table's colours.
bool FillPalette(PngImageInfo& info, const image::PixelValue* table, int count) {
    std::uint8_t* palette = info.Palette.Allocate(static_cast<std::size_t>(count) * 3, true);
    if (palette == nullptr) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        palette[i * 3] = static_cast<std::uint8_t>(table[i] >> 16);
        palette[i * 3 + 1] = static_cast<std::uint8_t>(table[i] >> 8);
        palette[i * 3 + 2] = static_cast<std::uint8_t>(table[i]);
    }
    info.PaletteCount = static_cast<std::uint16_t>(count);
    return true;
}

} // namespace

bool SavePng(const image::Image& picture, const char* path) {
    image::PixelValue table[256];
    const int count = CountColours(picture, table);
    return PngWriter().WritePicture(path, picture, table, count, kSaveLevel);
}

bool WritePng(RowSource& rows, ByteSink& sink) {
    return PngWriter(true).WritePicture(sink, rows, nullptr, 0, kSaveLevel);
}

bool EncodePng(const image::Image& picture, MemorySink& sink) {
    image::PixelValue table[256];
    const int count = CountColours(picture, table);
    return PngWriter().WritePicture(sink, picture, table, count, kSaveLevel) && sink.Good();
}

bool PngWriter::Write(const char* path, const PngImageInfo& source, int level) {
    // The raw rows must be exactly what the header fields describe, or the
    // copy would read past them.
    if (source.Pixels.IsEmpty() || source.Width == 0 || source.Height == 0 ||
        source.Width > 0x7FFFFFFF || source.Height > 0x7FFFFFFF ||
        source.RowBytes != PngRowBytes(source.Width, source.BitsPerPixel) ||
        PngPixelsSize(source) == 0) {
        return false;
    }
    const std::size_t rowBytes = source.RowBytes;
    const std::uint8_t* rows = source.Pixels.Data();
    // Filter type 0, whatever the rows' filter bytes held before.
    const auto fill = [=](std::uint32_t first, std::uint32_t end, std::uint8_t* out) {
        for (std::uint32_t y = first; y < end; ++y, out += rowBytes) {
            std::memcpy(out, rows + y * rowBytes, rowBytes);
            out[0] = kFilterNone;
        }
    };
    info = &source;
    const bool written = WriteFile(path, fill, level);
    info = nullptr;
    return written;
}

bool PngWriter::WritePicture(const char* path, const image::Image& picture,
                             const image::PixelValue* table, int count, int level) {
    SafeWriter writer(path);
    return writer.IsOpen() && WritePicture(writer, picture, table, count, level) && writer.Finish();
}

bool PngWriter::WritePicture(ByteSink& sink, const image::Image& picture,
                             const image::PixelValue* table, int count, int level) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3) {
        return false;
    }
    ImageRows rows(picture);
    return WritePicture(sink, rows, table, count, level);
}

bool PngWriter::WritePicture(ByteSink& sink, RowSource& rows, const image::PixelValue* table,
                             int count, int level) {
    if (rows.Width() < 1 || rows.Height() < 1 || count < 0 || count > 256 ||
        (count != 0 && table == nullptr)) {
        return false;
    }
    PngImageInfo header;
    header.Width = static_cast<std::uint32_t>(rows.Width());
    header.Height = static_cast<std::uint32_t>(rows.Height());
    header.BitsPerPixel = count != 0 ? 8 : 24;
    header.RowBytes = PngRowBytes(header.Width, header.BitsPerPixel);
    if (header.RowBytes == 0 || PngPixelsSize(header) == 0) {
        return false;
    }
    ColourIndex index;
    if (count != 0) {
        if (!FillPalette(header, table, count)) {
            return false;
        }
        IndexColours(index, table, count);
    }
    const int width = rows.Width();
    // A row that never comes fails the save: the next piece of the stream
    // is refused (see WriteImageData), and every band's piece follows its
    // rows.
    std::atomic<bool> missing{false};
    const auto fill = [&rows, &index, &missing, width,
                       count](std::uint32_t first, std::uint32_t end, std::uint8_t* out) {
        std::vector<std::uint8_t> scratch;
        try {
            scratch.resize(static_cast<std::size_t>(width) * 3);
        } catch (const std::bad_alloc&) {
            missing = true; // the compressing threads must not see it
            return;
        }
        for (std::uint32_t y = first; y < end; ++y) {
            const std::uint8_t* p = rows.Row(static_cast<int>(y), scratch.data());
            *out++ = kFilterNone;
            if (p == nullptr) {
                missing = true;
                return;
            }
            if (count == 0) {
                for (int x = 0; x < width; ++x, p += 3) {
                    *out++ = p[2];
                    *out++ = p[1];
                    *out++ = p[0];
                }
                continue;
            }
            // Runs of one colour are common; they skip the lookup.
            image::PixelValue previous = 0;
            std::uint8_t slot = 0;
            for (int x = 0; x < width; ++x, p += 3) {
                const image::PixelValue value = PixelAt(p);
                if (x == 0 || value != previous) {
                    const int found = index.Find(value);
                    slot = static_cast<std::uint8_t>(found < 0 ? 0 : found);
                    previous = value;
                }
                *out++ = slot;
            }
        }
    };
    info = &header;
    out = &sink;
    abandoned = &missing;
    const bool written = WriteChunks(fill, level) && !missing;
    abandoned = nullptr;
    out = nullptr;
    info = nullptr;
    return written;
}

bool PngWriter::WriteFile(const char* path, const BandDeflater::FillRows& fill, int level) {
    SafeWriter writer(path);
    if (!writer.IsOpen()) {
        return false;
    }
    out = &writer;
    const bool written = WriteChunks(fill, level) && writer.Finish();
    out = nullptr;
    return written;
}

bool PngWriter::WriteChunk(const char* type, const std::uint8_t* data, std::uint32_t length) {
    std::uint8_t head[8];
    WriteBigEndian32(head, length);
    std::memcpy(head + 4, type, 4);
    std::uint8_t crc[4];
    WriteBigEndian32(crc, libdeflate_crc32(libdeflate_crc32(0, head + 4, 4), data, length));
    return out->Write(head, sizeof(head)) && (length == 0 || out->Write(data, length)) &&
           out->Write(crc, sizeof(crc));
}

bool PngWriter::WriteChunks(const BandDeflater::FillRows& fill, int level) {
    std::uint8_t header[13];
    WriteBigEndian32(header, info->Width);
    WriteBigEndian32(header + 4, info->Height);
    if (info->BitsPerPixel == 32 || info->BitsPerPixel == 24) {
        header[8] = 8;
        header[9] = info->BitsPerPixel == 32 ? 6 : 2;
    } else {
        header[8] = static_cast<std::uint8_t>(info->BitsPerPixel);
        header[9] = 3;
    }
    header[10] = header[11] = header[12] = 0;
    if (!out->Write(kSignature, sizeof(kSignature)) || !WriteChunk("IHDR", header, 13)) {
        return false;
    }
    if (info->BitsPerPixel <= 8 && info->PaletteCount != 0 && !info->Palette.IsEmpty() &&
        !WriteChunk("PLTE", info->Palette.Data(), info->PaletteCount * 3u)) {
        return false;
    }

    return WriteImageData(fill, level) && out->Write(kEnd, sizeof(kEnd));
}

bool PngWriter::WriteImageData(const BandDeflater::FillRows& fill, int level) {
    // The chunk's length comes before its data: a placeholder is written,
    // then patched once the whole stream has gone to the file.
    const DWORD start = out->Tell();
    const std::uint8_t head[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
    if (start == ByteSink::kNoPosition || !out->Write(head, sizeof(head))) {
        return false;
    }
    std::uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    std::size_t length = 0;
    const auto sink = [&](const std::uint8_t* data, std::size_t size) {
        if (abandoned != nullptr && *abandoned) {
            return false;
        }
        // The stream goes into one chunk, so it may not grow past a chunk's
        // largest length: the save then fails.
        if (size > kMaxChunkLength - length) {
            return false;
        }
        length += size;
        crc = libdeflate_crc32(crc, data, size);
        return out->Write(data, static_cast<DWORD>(size));
    };
    if (!BandDeflater(info->Height, info->RowBytes, level, lean).Write(fill, sink)) {
        return false;
    }
    std::uint8_t tail[4];
    WriteBigEndian32(tail, crc);
    std::uint8_t size[4];
    WriteBigEndian32(size, static_cast<std::uint32_t>(length));
    return out->Write(tail, sizeof(tail)) && out->SeekTo(start) && out->Write(size, sizeof(size)) &&
           out->SeekToEnd();
}

} // namespace formats
