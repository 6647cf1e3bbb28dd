#include "formats/PngReader.h"

#include "formats/AlphaBlend.h"
#include "formats/ByteOrder.h"
#include "formats/PngFilter.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cstring>

namespace formats {

namespace {

const std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// The standard caps chunk lengths at 2^31 - 1; a larger length can only be
// damage, and it would not fit the signed distance of a seek.
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr std::uint32_t kCrcBytes = 4;
constexpr std::size_t kMaxInflateRatio = 1032;

// The position of a damaged IDAT chunk when there is none.
constexpr std::uint32_t kNoChunk = 0xFFFFFFFF;

// Owns a libdeflate decompressor; null when it could not be allocated.
class Decompressor {
public:
    Decompressor() : handle(libdeflate_alloc_decompressor()) {}
    ~Decompressor() { libdeflate_free_decompressor(handle); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    libdeflate_decompressor* Get() const { return handle; }

private:
    libdeflate_decompressor* handle;
};

// Owns a zlib inflate stream between a successful init and the end of the
// scope.
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

// How far a zlib stream inflated: whether its end was reached, the bytes it
// took to get there (all of them when it was not) and the bytes it produced.
struct Inflated {
    bool ended = false;
    std::size_t consumed = 0;
    std::size_t produced = 0;
};

// Inflates a whole zlib stream into out; false when the data are damaged, do
// not end or need more room than out has.
bool InflateWhole(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t room,
                  Inflated& done) {
    Decompressor decompressor;
    done.ended =
        decompressor.Get() != nullptr &&
        libdeflate_zlib_decompress_ex(decompressor.Get(), data, size, out, room, &done.consumed,
                                      &done.produced) == LIBDEFLATE_SUCCESS;
    return done.ended;
}

// Inflates as far as the data go. libdeflate takes whole streams only, so a
// stream the file cuts short goes through zlib, which keeps what it produced
// before the data ran out. False when the data are damaged or need more room
// than out has.
bool InflatePartly(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t room,
                   Inflated& done) {
    done = Inflated();
    Inflater inflater;
    if (!inflater.ready) {
        return false;
    }
    z_stream& stream = inflater.stream;
    // Both sizes fit 32 bits: the data come from one file, whose size does,
    // and the room is at most kMaxPictureBytes.
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(room);
    // Once the room is full, a call that cannot finish the stream makes no
    // progress and fails.
    while (stream.avail_in != 0 && !done.ended) {
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) {
            return false;
        }
        done.ended = result == Z_STREAM_END;
    }
    done.consumed = stream.total_in;
    done.produced = stream.total_out;
    return true;
}

// One Adam7 pass: the first pixel's column and row, and the steps between.
struct Pass {
    unsigned x0, y0, dx, dy;
};
const Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
const Pass kWhole = {0, 0, 1, 1};

// The passes of a picture: seven interlaced, else one of every pixel.
const Pass* PassesEnd(bool interlaced) {
    return interlaced ? kAdam7 + 7 : &kWhole + 1;
}

// Pixels a pass holds along a side of the given size.
std::uint32_t PassPixels(std::uint32_t size, unsigned start, unsigned step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

// One raw row of the file's layout with its filter byte.
std::uint64_t RawRowBytes(std::uint32_t width, unsigned bitsPerPixel) {
    return (static_cast<std::uint64_t>(width) * bitsPerPixel + 7) / 8 + 1;
}

// Sample `channel` of pixel `pixel` at its full depth; samples below 8 bits
// (single-channel only) are packed most significant bits first.
unsigned Sample(const std::uint8_t* row, std::uint32_t pixel, unsigned channel, unsigned channels,
                unsigned depth) {
    const std::size_t index = static_cast<std::size_t>(pixel) * channels + channel;
    if (depth == 16) {
        return static_cast<unsigned>(row[index * 2]) << 8 | row[index * 2 + 1];
    }
    if (depth == 8) {
        return row[index];
    }
    const std::size_t bit = index * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

// Stores a value of `depth` bits into a zero-filled row.
void PutSample(std::uint8_t* row, std::uint32_t pixel, unsigned depth, unsigned value) {
    const std::size_t bit = static_cast<std::size_t>(pixel) * depth;
    row[bit / 8] |= static_cast<std::uint8_t>(value << (8 - depth - bit % 8));
}

} // namespace

bool PngReader::Read(const char* path, PngImageInfo& target) {
    ByteSource file;
    const bool opened = file.OpenFile(path);
    return ReadOpened(file, opened, target);
}

bool PngReader::Read(const std::uint8_t* data, std::size_t size, PngImageInfo& target) {
    ByteSource memory;
    const bool opened = memory.OpenMemory(data, size);
    return ReadOpened(memory, opened, target);
}

bool PngReader::Read(ByteSource& source, PngImageInfo& target) {
    const bool opened = source.Seek(0, FILE_BEGIN) == 0;
    return ReadOpened(source, opened, target);
}

bool PngReader::ReadOpened(ByteSource& source, bool opened, PngImageInfo& target) {
    info = &target;
    info->BitsPerPixel = 0;
    info->PaletteCount = info->AlphaCount = 0;
    info->Width = info->Height = info->RowBytes = 0;
    info->Pixels.Free();
    info->Palette.Free();
    info->Alpha.Free();
    hasKey = false;
    damaged = false;
    if (!opened) {
        return false;
    }
    // Positions are 32-bit; larger files are not pictures this program reads.
    input = &source;
    fileSize = input->Size();
    image::ByteBuffer raw;
    bool read = fileSize != INVALID_FILE_SIZE && ReadSignature() && ReadHeader() && ReadPalette() &&
                ReadImageData(raw);
    input = &closed;
    read = read && Convert(raw);
    if (!read) {
        info->Pixels.Free();
        info->Palette.Free();
        info->Alpha.Free();
        return false;
    }
    return true;
}

std::uint32_t PngReader::Remaining() {
    const DWORD position = input->Tell();
    if (position == INVALID_SET_FILE_POINTER || position >= fileSize) {
        return 0;
    }
    return fileSize - position;
}

bool PngReader::Skip(std::uint64_t count) {
    if (count > Remaining()) {
        input->Seek(0, FILE_END);
        return false;
    }
    return count == 0 ||
           input->Seek(static_cast<LONG>(count), FILE_CURRENT) != INVALID_SET_FILE_POINTER;
}

bool PngReader::NextChunk(std::uint8_t type[4], std::uint32_t& length) {
    std::uint8_t head[8];
    if (input->Read(head, sizeof(head)) != sizeof(head)) {
        return false;
    }
    length = ReadBigEndian32(head);
    std::memcpy(type, head + 4, 4);
    return length <= kMaxChunkLength;
}

bool PngReader::FindChunk(const char* type, std::uint32_t& length) {
    std::uint8_t found[4];
    while (NextChunk(found, length)) {
        if (std::memcmp(found, type, 4) == 0) {
            return true;
        }
        if (!Skip(static_cast<std::uint64_t>(length) + kCrcBytes)) {
            return false;
        }
    }
    return false;
}

bool PngReader::CrcMatches(unsigned long crc) {
    std::uint8_t stored[kCrcBytes];
    // A file that ends before the CRC is read as far as it goes.
    return input->Read(stored, kCrcBytes) != kCrcBytes || ReadBigEndian32(stored) == crc;
}

bool PngReader::ReadChunk(const char* type, std::uint32_t length, std::uint8_t* keep,
                          std::uint32_t keepSize) {
    std::uint32_t crc = libdeflate_crc32(0, type, 4);
    std::uint8_t piece[1024];
    for (std::uint32_t done = 0; done < length;) {
        const std::uint32_t wanted = length - done < sizeof(piece) ? length - done : sizeof(piece);
        const std::uint32_t got = input->Read(piece, wanted);
        crc = libdeflate_crc32(crc, piece, got);
        if (done < keepSize) {
            std::memcpy(keep + done, piece, keepSize - done < got ? keepSize - done : got);
        }
        done += got;
        if (got < wanted) {
            return true; // cut short: no CRC to compare
        }
    }
    return CrcMatches(crc);
}

bool PngReader::ReadSignature() {
    std::uint8_t signature[8];
    return input->Read(signature, sizeof(signature)) == sizeof(signature) &&
           std::memcmp(signature, kSignature, sizeof(signature)) == 0;
}

bool PngReader::ReadHeader() {
    std::uint32_t length = 0;
    std::uint8_t header[13];
    if (!FindChunk("IHDR", length) || length != sizeof(header) || Remaining() < sizeof(header) ||
        !ReadChunk("IHDR", length, header, sizeof(header))) {
        return false;
    }
    const std::uint32_t width = ReadBigEndian32(header);
    const std::uint32_t height = ReadBigEndian32(header + 4);
    depth = header[8];
    colourType = header[9];
    // The depths each colour type allows.
    const bool low = depth == 1 || depth == 2 || depth == 4;
    const bool wide = depth == 8 || depth == 16;
    switch (colourType) {
    case 0:
        channels = (low || wide) ? 1 : 0;
        break;
    case 2:
        channels = wide ? 3 : 0;
        break;
    case 3:
        channels = (low || depth == 8) ? 1 : 0;
        break;
    case 4:
        channels = wide ? 2 : 0;
        break;
    case 6:
        channels = wide ? 4 : 0;
        break;
    default:
        channels = 0;
    }
    if (channels == 0 || header[10] != 0 || header[11] != 0 || header[12] > 1) {
        return false;
    }
    interlaced = header[12] == 1;
    // The picture ends up as a 24-bit Image: its size, and the raw rows, must
    // be addressable with int offsets.
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    if (width == 0 || height == 0 || stride > kMaxPictureBytes ||
        stride * height > kMaxPictureBytes) {
        return false;
    }
    info->Width = width;
    info->Height = height;
    // The inflated data: every row of every pass with its filter byte. Width
    // and height are bounded above, so these products fit 64 bits.
    std::uint64_t size = 0;
    for (const Pass* pass = interlaced ? kAdam7 : &kWhole; pass != PassesEnd(interlaced); ++pass) {
        const std::uint32_t w = PassPixels(width, pass->x0, pass->dx);
        const std::uint32_t h = PassPixels(height, pass->y0, pass->dy);
        if (w != 0 && h != 0) {
            size += RawRowBytes(w, channels * depth) * h;
        }
    }
    // Deflate expands its data at most 1032 times. Rows beyond what the file
    // could hold would only ever stay black; a damaged header claiming them
    // must not make the reader allocate gigabytes for a tiny file.
    if (size > kMaxPictureBytes || size / kMaxInflateRatio > fileSize) {
        return false;
    }
    rawSize = static_cast<std::size_t>(size);
    return true;
}

bool PngReader::ReadPalette() {
    info->PaletteCount = 0;
    if (colourType == 0) {
        // A grey ramp over the sample values (16-bit samples keep their high
        // byte).
        const unsigned count = 1u << (depth > 8 ? 8 : depth);
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
    if (colourType != 3) {
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
    info->PaletteCount = static_cast<std::uint16_t>(count);
    // Entries a truncated file does not hold stay black, and no image data
    // follow.
    return ReadChunk("PLTE", length, palette, count * 3);
}

bool PngReader::ReadTransparency(std::uint32_t length) {
    std::uint8_t data[256] = {};
    if (!ReadChunk("tRNS", length, data, length < sizeof(data) ? length : sizeof(data))) {
        return false;
    }
    // Grey and RGB pictures name one transparent colour; where grey samples
    // are palette indices here, that is the alpha of one entry.
    if ((colourType == 0 && length >= 2) || (colourType == 2 && length >= 6)) {
        for (unsigned c = 0; c < (colourType == 0 ? 1u : 3u); ++c) {
            key[c] = static_cast<std::uint16_t>(data[2 * c] << 8 | data[2 * c + 1]);
        }
        hasKey = colourType == 2 || depth == 16;
        if (hasKey || key[0] >= info->PaletteCount) {
            return true;
        }
        std::uint8_t* alpha = info->Alpha.Allocate(info->PaletteCount, false);
        if (alpha == nullptr) {
            return false;
        }
        std::memset(alpha, 255, info->PaletteCount);
        alpha[key[0]] = 0;
        info->AlphaCount = info->PaletteCount;
    } else if (colourType == 3 && length > 0) {
        const std::uint32_t count = length < 256 ? length : 256;
        std::uint8_t* alpha = info->Alpha.Allocate(count, false);
        if (alpha == nullptr) {
            return false;
        }
        std::memcpy(alpha, data, count);
        info->AlphaCount = static_cast<std::uint16_t>(count);
    }
    return true;
}

bool PngReader::ReadImageData(image::ByteBuffer& raw) {
    // The chunks before the image data: a tRNS among them is read.
    std::uint8_t type[4];
    std::uint32_t length = 0;
    for (;;) {
        // A file without image data holds no picture.
        if (!NextChunk(type, length)) {
            return false;
        }
        if (std::memcmp(type, "IDAT", 4) == 0) {
            break;
        }
        const bool skipped = std::memcmp(type, "tRNS", 4) == 0
                                 ? ReadTransparency(length)
                                 : Skip(static_cast<std::uint64_t>(length) + kCrcBytes);
        if (!skipped) {
            return false;
        }
    }
    // The data of every IDAT chunk, in one block for the whole-stream inflate.
    // They lie in what remains of the file, which bounds their total.
    const std::uint32_t capacity = Remaining();
    image::ByteBuffer data;
    // Rows already in the output's layout are inflated straight into it.
    image::ByteBuffer& rows = RowsAsStored() ? info->Pixels : raw;
    if (data.Allocate(capacity != 0 ? capacity : 1, false) == nullptr ||
        rows.Allocate(rawSize, false) == nullptr) {
        return false;
    }
    const std::uint32_t idatCrc = libdeflate_crc32(0, "IDAT", 4);
    // Where the first chunk whose stored CRC does not match starts.
    std::uint32_t damagedAt = kNoChunk;
    std::uint32_t size = 0;
    for (bool more = true; more; more = FindChunk("IDAT", length)) {
        // A chunk cut short by the end of the file offers what is there.
        const std::uint32_t wanted = length < Remaining() ? length : Remaining();
        if (wanted > capacity - size) {
            return false;
        }
        const std::uint32_t got = wanted == 0 ? 0 : input->Read(data.Data() + size, wanted);
        // The CRC is read whatever came before, so that the next chunk is
        // found where it starts.
        if (got == length && !CrcMatches(libdeflate_crc32(idatCrc, data.Data() + size, got)) &&
            damagedAt == kNoChunk) {
            damagedAt = size;
        }
        size += got;
        if (got != length) {
            damaged = true;
            break;
        }
    }
    Inflated done;
    if (!InflateWhole(data.Data(), size, rows.Data(), rawSize, done) &&
        !InflatePartly(data.Data(), size, rows.Data(), rawSize, done)) {
        return false;
    }
    // Chunks count up to the one in which the stream ends: data after the end
    // are never looked at, but a damaged chunk before it refuses the file.
    if (damagedAt != kNoChunk && (!done.ended || damagedAt < done.consumed)) {
        return false;
    }
    // Rows the data did not reach stay zero.
    std::memset(rows.Data() + done.produced, 0, rawSize - done.produced);
    damaged = damaged || done.produced < rawSize;
    return true;
}

unsigned PngReader::OutputBits() const {
    if (colourType == 2 || colourType == 4 || colourType == 6 || (colourType == 0 && depth == 16)) {
        return colourType == 2 && !hasKey ? 24 : colourType == 0 && !hasKey ? 8 : 32;
    }
    return depth;
}

bool PngReader::RowsAsStored() const {
    return !interlaced && depth <= 8 && OutputBits() == channels * depth;
}

bool PngReader::Convert(image::ByteBuffer& raw) {
    const unsigned bits = OutputBits();
    info->BitsPerPixel = static_cast<std::uint16_t>(bits);
    info->RowBytes = PngRowBytes(info->Width, bits);
    const std::size_t size = PngPixelsSize(*info);
    const unsigned fileBits = channels * depth;
    const std::size_t filterBpp = fileBits < 8 ? 1 : fileBits / 8;
    if (RowsAsStored()) {
        if (info->RowBytes == 0 || size != rawSize) {
            return false;
        }
        UnfilterInPlace(filterBpp);
        return true;
    }
    if (info->RowBytes == 0 || size == 0 || info->Pixels.Allocate(size, true) == nullptr) {
        return false;
    }
    // Grey turned RGBA by its transparent value no longer uses the grey ramp.
    if (bits > 8) {
        info->Palette.Free();
        info->PaletteCount = 0;
    }
    std::uint8_t* row = raw.Data();
    for (const Pass* pass = interlaced ? kAdam7 : &kWhole; pass != PassesEnd(interlaced); ++pass) {
        const std::uint32_t w = PassPixels(info->Width, pass->x0, pass->dx);
        const std::uint32_t h = PassPixels(info->Height, pass->y0, pass->dy);
        // Within rawSize, which the header check bounded.
        const std::size_t rowBytes =
            w == 0 ? 0 : static_cast<std::size_t>(RawRowBytes(w, fileBits));
        const std::uint8_t* previous = nullptr;
        for (std::uint32_t y = 0; w != 0 && y < h; ++y, row += rowBytes) {
            UnfilterRow(row[0], row + 1, previous, rowBytes - 1, filterBpp);
            previous = row + 1;
            std::uint8_t* out = info->Pixels.Data() +
                                static_cast<std::size_t>(pass->y0 + y * pass->dy) * info->RowBytes +
                                1;
            for (std::uint32_t x = 0; x < w; ++x) {
                CopyPixel(row + 1, x, out, pass->x0 + x * pass->dx);
            }
        }
    }
    return true;
}

void PngReader::UnfilterInPlace(std::size_t filterBpp) {
    const std::size_t rowBytes = info->RowBytes;
    std::uint8_t* const first = info->Pixels.Data();
    std::uint8_t* row = first;
    for (std::uint32_t y = 0; y < info->Height; ++y, row += rowBytes) {
        UnfilterRow(row[0], row + 1, y == 0 ? nullptr : row + 1 - rowBytes, rowBytes - 1,
                    filterBpp);
        row[0] = kFilterNone;
    }
    // The bits after the last pixel of a row are cleared, as in rows that are
    // built pixel by pixel; only now, since unfiltering the row below used
    // them as they were.
    const unsigned spare = static_cast<unsigned>(
        (rowBytes - 1) * 8 - static_cast<std::uint64_t>(info->Width) * info->BitsPerPixel);
    if (spare != 0) {
        for (row = first + rowBytes - 1; row < first + rowBytes * info->Height; row += rowBytes) {
            *row = static_cast<std::uint8_t>(*row & (0xFF << spare));
        }
    }
}

void PngReader::CopyPixel(const std::uint8_t* row, std::uint32_t from, std::uint8_t* out,
                          std::uint32_t to) const {
    const unsigned bits = info->BitsPerPixel;
    if (bits <= 8) {
        const unsigned value = Sample(row, from, 0, 1, depth);
        PutSample(out, to, bits, depth == 16 ? value >> 8 : value);
        return;
    }
    unsigned samples[4] = {};
    for (unsigned c = 0; c < channels; ++c) {
        samples[c] = Sample(row, from, c, channels, depth);
    }
    const bool grey = channels <= 2;
    const unsigned shift = depth == 16 ? 8 : 0;
    std::uint8_t* pixel = out + static_cast<std::size_t>(to) * (bits / 8);
    bool keyed = hasKey;
    for (unsigned c = 0; c < 3; ++c) {
        const unsigned value = samples[grey ? 0 : c];
        pixel[c] = static_cast<std::uint8_t>(value >> shift);
        keyed = keyed && value == key[grey ? 0 : c];
    }
    if (bits == 32) {
        const bool alpha = channels == 2 || channels == 4;
        pixel[3] =
            static_cast<std::uint8_t>(alpha ? samples[channels - 1] >> shift : (keyed ? 0 : 255));
    }
}

void CopyToBits(const PngImageInfo& info, std::uint8_t* bits, std::uint32_t background) {
    const std::size_t stride = (static_cast<std::size_t>(info.Width) * 3 + 3) & ~std::size_t{3};
    // Blue, green, red: the order of the bytes of a 24-bit pixel.
    const unsigned back[3] = {background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF};
    const auto blend = [&back](const std::uint8_t* rgb, unsigned alpha, std::uint8_t* out) {
        for (unsigned c = 0; c < 3; ++c) {
            out[c] = BlendSample(rgb[2 - c], alpha, back[c]);
        }
    };
    // Palette pictures: each entry blended once.
    std::uint8_t entries[256][3] = {};
    const std::uint8_t* palette = info.Palette.Data();
    const unsigned count = palette != nullptr ? info.PaletteCount : 0;
    const unsigned alphas = info.Alpha.IsEmpty() ? 0 : info.AlphaCount;
    for (unsigned i = 0; i < count && i < 256; ++i) {
        blend(palette + i * 3, i < alphas ? info.Alpha.Data()[i] : 255, entries[i]);
    }
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
                blend(in, in[3], out);
            }
            break;
        default: {
            const unsigned depth = info.BitsPerPixel;
            const unsigned perByte = 8 / depth;
            const unsigned mask = (1u << depth) - 1;
            for (std::uint32_t x = 0; x < info.Width; ++x, out += 3) {
                // Most significant bits first within each byte; entries
                // beyond the palette stay black.
                const unsigned shift = 8 - depth * (x % perByte + 1);
                const unsigned index = (in[x / perByte] >> shift) & mask;
                std::memcpy(out, entries[index], 3);
            }
            break;
        }
        }
        source += info.RowBytes;
        destination -= stride;
    }
}

namespace {

// Makes the picture from what reader read into info; read: whether it did.
bool MakePicture(image::Image& picture, bool read, const PngReader& reader,
                 const PngImageInfo& info, std::uint32_t background, bool* damaged) {
    if (damaged != nullptr) {
        *damaged = false;
    }
    // The picture's bitmap is kept until the new one is made: one of the
    // same size is reused (see Image::Create).
    if (!read) {
        picture.Destroy();
        return false;
    }
    if (!picture.Create(static_cast<int>(info.Width), static_cast<int>(info.Height), 24)) {
        return false;
    }
    CopyToBits(info, picture.Bits, background);
    if (damaged != nullptr) {
        *damaged = reader.Damaged();
    }
    return true;
}

} // namespace

bool LoadPng(image::Image& picture, const char* path, std::uint32_t background, bool* damaged) {
    PngImageInfo info;
    PngReader reader;
    const bool read = reader.Read(path, info);
    return MakePicture(picture, read, reader, info, background, damaged);
}

bool LoadPng(image::Image& picture, ByteSource& source, std::uint32_t background, bool* damaged) {
    PngImageInfo info;
    PngReader reader;
    const bool read = reader.Read(source, info);
    return MakePicture(picture, read, reader, info, background, damaged);
}

bool LoadPng(image::Image& picture, const std::uint8_t* data, std::size_t size,
             std::uint32_t background) {
    PngImageInfo info;
    PngReader reader;
    const bool read = reader.Read(data, size, info);
    return MakePicture(picture, read, reader, info, background, nullptr);
}

} // namespace formats
