#include "formats/PngReader.h"

#include "formats/ByteOrder.h"
#include "formats/PngFilter.h"

#include <zlib.h>

#include <cstring>

namespace formats {

namespace {

const std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint32_t kInputPiece = 32768;
// The standard caps chunk lengths at 2^31 - 1; a larger length can only be
// damage, and it would not fit the signed distance of a seek.
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr std::uint32_t kCrcBytes = 4;
constexpr std::size_t kMaxInflateRatio = 1032;

// Owns an inflate stream between a successful init and the end of the scope.
class Inflater {
public:
    Inflater() { ready = inflateInit(&stream) == Z_OK; }
    ~Inflater() {
        if (ready) {
            inflateEnd(&stream);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool ready = false;
    z_stream stream = {};
};

} // namespace

bool PngReader::Read(const char* path, PngImageInfo& target) {
    info = &target;
    info->BitsPerPixel = 0;
    info->PaletteCount = 0;
    info->Width = info->Height = info->RowBytes = 0;
    info->Pixels.Free();
    info->Palette.Free();
    if (!file.OpenRead(path)) {
        return false;
    }
    // Positions are 32-bit; larger files are not pictures this program reads.
    fileSize = file.Size();
    const bool read = fileSize != INVALID_FILE_SIZE && ReadSignature() && ReadHeader() &&
                      ReadPalette() && ReadImageData();
    file.Close();
    if (!read) {
        info->Pixels.Free();
        info->Palette.Free();
        return false;
    }
    Unfilter();
    return true;
}

std::uint32_t PngReader::Remaining() {
    const DWORD position = file.Tell();
    if (position == INVALID_SET_FILE_POINTER || position >= fileSize) {
        return 0;
    }
    return fileSize - position;
}

bool PngReader::Skip(std::uint64_t count) {
    if (count > Remaining()) {
        file.Seek(0, FILE_END);
        return false;
    }
    return count == 0 ||
           file.Seek(static_cast<LONG>(count), FILE_CURRENT) != INVALID_SET_FILE_POINTER;
}

bool PngReader::FindChunk(const char* type, std::uint32_t& length) {
    for (;;) {
        std::uint8_t head[8];
        if (file.Read(head, sizeof(head)) != sizeof(head)) {
            return false;
        }
        const std::uint32_t size = ReadBigEndian32(head);
        if (size > kMaxChunkLength) {
            return false;
        }
        if (std::memcmp(head + 4, type, 4) == 0) {
            length = size;
            return true;
        }
        if (!Skip(static_cast<std::uint64_t>(size) + kCrcBytes)) {
            return false;
        }
    }
}

bool PngReader::ReadSignature() {
    std::uint8_t signature[8];
    return file.Read(signature, sizeof(signature)) == sizeof(signature) &&
           std::memcmp(signature, kSignature, sizeof(signature)) == 0;
}

bool PngReader::ReadHeader() {
    std::uint32_t length = 0;
    if (!FindChunk("IHDR", length) || length < 13) {
        return false;
    }
    std::uint8_t header[13];
    if (file.Read(header, sizeof(header)) != sizeof(header)) {
        return false;
    }
    const std::uint32_t width = ReadBigEndian32(header);
    const std::uint32_t height = ReadBigEndian32(header + 4);
    const std::uint8_t depth = header[8];
    colourType = header[9];
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8) {
        return false;
    }
    switch (colourType) {
    case 0:
    case 3:
        info->BitsPerPixel = depth;
        break;
    case 2:
        info->BitsPerPixel = 24;
        break;
    case 6:
        info->BitsPerPixel = 32;
        break;
    default:
        return false;
    }
    if (header[10] != 0 || header[11] != 0 || header[12] != 0) {
        return false;
    }
    // The picture ends up as a 24-bit Image: its size, and the raw rows, must
    // be addressable with int offsets.
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    if (width == 0 || height == 0 || stride * height > kMaxPictureBytes) {
        return false;
    }
    info->Width = width;
    info->Height = height;
    info->RowBytes = PngRowBytes(width, info->BitsPerPixel);
    const std::size_t size = PngPixelsSize(*info);
    // Deflate expands its data at most 1032 times. Rows beyond what the file
    // could hold would only ever stay black; a damaged header claiming them
    // must not make the reader allocate gigabytes for a tiny file.
    if (info->RowBytes == 0 || size == 0 || size / kMaxInflateRatio > fileSize) {
        return false;
    }
    // A file that ends here has no further chunks: its rows stay zero.
    Skip(static_cast<std::uint64_t>(length) - sizeof(header) + kCrcBytes);
    return true;
}

bool PngReader::ReadPalette() {
    info->PaletteCount = 0;
    if (info->BitsPerPixel > 8) {
        return true;
    }
    if (colourType == 0) {
        const unsigned count = 1u << info->BitsPerPixel;
        std::uint8_t* palette = info->Palette.Allocate(count * 3, true);
        if (palette == nullptr) {
            return false;
        }
        const unsigned step = 256 / (count - 1);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned level = i * step;
            std::memset(palette + i * 3, level > 255 ? 255 : static_cast<int>(level), 3);
        }
        info->PaletteCount = static_cast<std::uint16_t>(count);
        return true;
    }
    std::uint32_t length = 0;
    if (!FindChunk("PLTE", length)) {
        return false;
    }
    // Indices reach 255 at most: entries beyond the 256th are never used.
    const std::uint32_t count = length / 3 > 256 ? 256 : length / 3;
    std::uint8_t* palette = info->Palette.Allocate(count * 3, true);
    if (palette == nullptr) {
        return false;
    }
    // Entries a truncated file does not hold stay black, and no image data
    // follow.
    file.Read(palette, count * 3);
    info->PaletteCount = static_cast<std::uint16_t>(count);
    Skip(static_cast<std::uint64_t>(length) - count * 3 + kCrcBytes);
    return true;
}

bool PngReader::ReadImageData() {
    const std::size_t size = PngPixelsSize(*info);
    image::ByteBuffer input;
    std::uint32_t inputCapacity = kInputPiece;
    if (input.Allocate(inputCapacity, true) == nullptr ||
        info->Pixels.Allocate(size, false) == nullptr) {
        return false;
    }
    Inflater inflater;
    if (!inflater.ready) {
        return false;
    }
    z_stream& stream = inflater.stream;
    stream.next_out = info->Pixels.Data();
    stream.avail_out = static_cast<uInt>(size);

    std::uint32_t length = 0;
    bool more = FindChunk("IDAT", length);
    while (more) {
        if (stream.avail_in == 0) {
            // A chunk cut short by the end of the file offers what is there.
            const std::uint32_t wanted = length < Remaining() ? length : Remaining();
            if (wanted > inputCapacity) {
                if (!input.Resize(wanted)) {
                    return false;
                }
                inputCapacity = wanted;
            }
            stream.next_in = input.Data();
            stream.avail_in = wanted == 0 ? 0 : file.Read(input.Data(), wanted);
        }
        // An empty chunk has nothing to inflate; zlib would call that an error.
        const int result = stream.avail_in == 0 ? Z_OK : inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            break;
        }
        if (result != Z_OK) {
            return false;
        }
        // Input left over means the rows are full; the next call either
        // finishes the stream or fails for want of room.
        if (stream.avail_in == 0) {
            more = Skip(kCrcBytes) && FindChunk("IDAT", length);
        }
    }
    // Rows the data did not reach stay zero.
    std::memset(stream.next_out, 0, stream.avail_out);
    return true;
}

void PngReader::Unfilter() {
    const std::size_t bpp = (info->BitsPerPixel + 7u) / 8u;
    const std::size_t dataBytes = info->RowBytes - 1;
    std::uint8_t* row = info->Pixels.Data();
    const std::uint8_t* previous = nullptr;
    for (std::uint32_t y = 0; y < info->Height; ++y) {
        UnfilterRow(row[0], row + 1, previous, dataBytes, bpp);
        previous = row + 1;
        row += info->RowBytes;
    }
}

void CopyToBits(const PngImageInfo& info, std::uint8_t* bits) {
    const std::size_t stride = (static_cast<std::size_t>(info.Width) * 3 + 3) & ~std::size_t{3};
    const std::uint8_t* palette = info.Palette.Data();
    const unsigned count = palette != nullptr ? info.PaletteCount : 0;
    const std::uint8_t black[3] = {0, 0, 0};
    const std::uint8_t* source = info.Pixels.Data();
    std::uint8_t* destination = bits + (info.Height - 1) * stride;
    for (std::uint32_t y = 0; y < info.Height; ++y) {
        const std::uint8_t* in = source + 1;
        std::uint8_t* out = destination;
        switch (info.BitsPerPixel) {
        case 24:
            for (std::uint32_t x = 0; x < info.Width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
            break;
        case 32:
            for (std::uint32_t x = 0; x < info.Width; ++x, in += 4, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
            break;
        default: {
            const unsigned depth = info.BitsPerPixel;
            const unsigned perByte = 8 / depth;
            const unsigned mask = (1u << depth) - 1;
            for (std::uint32_t x = 0; x < info.Width; ++x, out += 3) {
                // Most significant bits first within each byte.
                const unsigned shift = 8 - depth * (x % perByte + 1);
                const unsigned index = (in[x / perByte] >> shift) & mask;
                const std::uint8_t* entry = index < count ? palette + index * 3 : black;
                out[0] = entry[2];
                out[1] = entry[1];
                out[2] = entry[0];
            }
            break;
        }
        }
        source += info.RowBytes;
        destination -= stride;
    }
}

bool LoadPng(image::Image& picture, const char* path) {
    picture.Destroy();
    PngImageInfo info;
    PngReader reader;
    if (!reader.Read(path, info)) {
        return false;
    }
    if (!picture.Create(static_cast<int>(info.Width), static_cast<int>(info.Height), 24)) {
        return false;
    }
    CopyToBits(info, picture.Bits);
    return true;
}

} // namespace formats
