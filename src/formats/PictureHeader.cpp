#include "formats/PictureHeader.h"

#include "formats/ByteOrder.h"
#include "formats/JpegFrameHeader.h"
#include "formats/PictureFormat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace formats {

namespace {

// A JPEG's frame header follows its Exif and other segments; a whole
// thumbnail-laden Exif block fits in 64 KB, so this reaches the first scan.
// Most files reach it within a few kilobytes, which are read first: a job
// reads every header, and the pages of a larger buffer cost more than the
// reading itself.
constexpr DWORD JpegFirstBytes = 4 * 1024;
constexpr DWORD JpegHeadBytes = 256 * 1024;
constexpr DWORD OtherHeadBytes = 32;

std::uint32_t Little32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

int Little16(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8;
}

std::uint32_t Little24(const std::uint8_t* bytes) {
    return Little32(bytes) & 0xFFFFFF;
}

// The canvas of a WebP file from the first chunk after "RIFF....WEBP": the
// extended header's canvas (sides less one, 24 bits each), the lossless
// header's (after its signature byte, 14 bits each, less one) or the lossy
// key frame's (after the frame tag and start code, 14 bits each).
void ReadWebpSize(const std::uint8_t* b, DWORD got, std::int64_t& w, std::int64_t& h) {
    if (got < 30) {
        return;
    }
    if (std::memcmp(b + 12, "VP8X", 4) == 0) {
        w = Little24(b + 24) + 1;
        h = Little24(b + 27) + 1;
    } else if (std::memcmp(b + 12, "VP8L", 4) == 0 && b[20] == 0x2F) {
        const std::uint32_t sides = Little32(b + 21);
        w = (sides & 0x3FFF) + 1;
        h = (sides >> 14 & 0x3FFF) + 1;
    } else if (std::memcmp(b + 12, "VP8 ", 4) == 0 && std::memcmp(b + 23, "\x9d\x01\x2a", 3) == 0) {
        w = Little16(b + 26) & 0x3FFF;
        h = Little16(b + 28) & 0x3FFF;
    }
}

// The size in a PNG's header chunk, from its first head.size() bytes, got of
// which are read. The loader looks for that chunk past any others, and so
// does this, as far as the head goes.
bool ReadPngSize(ByteSource& file, std::vector<std::uint8_t>& head, DWORD got, std::int64_t& w,
                 std::int64_t& h) {
    const std::uint8_t* b = head.data();
    std::size_t size = got;
    // The header chunk nearly always comes first.
    if (got < 16 || std::memcmp(b + 12, "IHDR", 4) != 0) {
        head.resize(JpegHeadBytes);
        b = head.data();
        size += file.Read(head.data() + got, static_cast<DWORD>(head.size()) - got);
    }
    // The signature, then chunks: length, type, data and CRC.
    for (std::size_t at = 8; size >= 8 && at <= size - 8;) {
        const std::uint32_t length = ReadBigEndian32(b + at);
        if (std::memcmp(b + at + 4, "IHDR", 4) == 0) {
            if (length != 13 || size - at < 16) {
                return false;
            }
            w = ReadBigEndian32(b + at + 8);
            h = ReadBigEndian32(b + at + 12);
            return true;
        }
        if (length > size) {
            return false;
        }
        at += 12 + static_cast<std::size_t>(length);
    }
    return false;
}

// The JPEG's size as the loader will turn it, from as much of its start as
// reaches the first scan, got bytes of which are in head; false for a frame
// the loader refuses. A frame that reads from the first bytes reads the same
// from more: the markers are read only up to the first scan.
bool ReadJpegSize(ByteSource& file, std::vector<std::uint8_t>& head, DWORD got, std::int64_t& w,
                  std::int64_t& h) {
    const DWORD fileSize = file.Size();
    JpegFrameHeader frame;
    for (const DWORD wanted : {JpegFirstBytes, JpegHeadBytes}) {
        head.resize(wanted);
        got += file.Read(head.data() + got, wanted - got);
        if (frame.Read(head.data(), got)) {
            // The coded data go on past the head: the whole file counts.
            const std::size_t beyond =
                fileSize != INVALID_FILE_SIZE && fileSize > got ? fileSize - got : 0;
            if (!frame.Decodable(beyond)) {
                return false;
            }
            const bool turned = frame.Orientation() >= 5;
            w = turned ? frame.Height() : frame.Width();
            h = turned ? frame.Width() : frame.Height();
            return true;
        }
        if (got < wanted) {
            return false; // the whole file is in the head
        }
    }
    return false;
}

} // namespace

bool PictureHeader::Read(const char* path) {
    width = 0;
    height = 0;
    ByteSource file;
    return file.OpenFile(path) && Read(file);
}

bool PictureHeader::Read(ByteSource& file) {
    width = 0;
    height = 0;
    if (file.Seek(0, FILE_BEGIN) != 0) {
        return false;
    }
    std::vector<std::uint8_t> head(OtherHeadBytes);
    const DWORD got = file.Read(head.data(), OtherHeadBytes);
    const std::uint8_t* b = head.data();
    std::int64_t w = 0;
    std::int64_t h = 0;
    switch (RecognisePicture(b, got)) {
    case PictureFormat::Png:
        if (!ReadPngSize(file, head, got, w, h)) {
            return false;
        }
        break;
    case PictureFormat::Bmp:
        if (got < 26) {
            return false;
        }
        // BITMAPCOREHEADER (12 bytes) keeps 16-bit sides; the others 32-bit
        // ones, a negative height marking rows stored top-down.
        if (Little32(b + 14) == 12) {
            w = Little16(b + 18);
            h = Little16(b + 20);
        } else {
            w = static_cast<std::int32_t>(Little32(b + 18));
            h = std::llabs(static_cast<std::int32_t>(Little32(b + 22)));
        }
        break;
    case PictureFormat::Gif:
        if (got < 10) {
            return false;
        }
        w = Little16(b + 6);
        h = Little16(b + 8);
        break;
    case PictureFormat::Jpeg:
        if (!ReadJpegSize(file, head, got, w, h)) {
            return false;
        }
        break;
    case PictureFormat::Webp:
        ReadWebpSize(b, got, w, h);
        break;
    default:
        return false;
    }
    if (w < 1 || h < 1 || w > INT32_MAX || h > INT32_MAX) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

} // namespace formats
