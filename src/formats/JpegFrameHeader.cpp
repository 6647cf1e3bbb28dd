#include "formats/JpegFrameHeader.h"

#include "image/CellLayout.h"

#include <cstring>

namespace formats {

namespace {

std::size_t Get16(const std::uint8_t* p) {
    return static_cast<std::size_t>(p[0]) << 8 | p[1];
}

// Start-of-frame markers: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Reads a 16- or 32-bit number of a TIFF structure in its byte order.
std::uint32_t TiffNumber(const std::uint8_t* p, int bytes, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint32_t>(p[bigEndian ? i : bytes - 1 - i])
                 << (8 * (bytes - 1 - i));
    }
    return value;
}

// The orientation an APP1 segment's Exif data give, or 0 when the segment is
// not Exif or holds no valid orientation. The segment is "Exif\0\0" and a
// TIFF structure: byte order, 42, the offset of IFD0; IFD0 holds a count and
// 12-byte entries (tag, type, count, value or offset). Every offset is
// checked against the segment.
int ExifOrientation(const std::uint8_t* segment, std::size_t length) {
    constexpr std::size_t kTiffStart = 6;
    if (length < kTiffStart + 8 || std::memcmp(segment, "Exif\0\0", kTiffStart) != 0) {
        return 0;
    }
    const std::uint8_t* tiff = segment + kTiffStart;
    const std::size_t size = length - kTiffStart;
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) {
        return 0;
    }
    const std::uint32_t ifd = TiffNumber(tiff + 4, 4, big);
    if (TiffNumber(tiff + 2, 2, big) != 42 || ifd > size || size - ifd < 2) {
        return 0;
    }
    const std::size_t entries = TiffNumber(tiff + ifd, 2, big);
    for (std::size_t i = 0; i < entries && (size - ifd - 2) / 12 > i; ++i) {
        const std::uint8_t* entry = tiff + ifd + 2 + 12 * i;
        // A SHORT, one of them, stored in the first bytes of the value field.
        if (TiffNumber(entry, 2, big) == 0x0112) {
            const std::uint32_t value = TiffNumber(entry + 8, 2, big);
            const bool valid = TiffNumber(entry + 2, 2, big) == 3 &&
                               TiffNumber(entry + 4, 4, big) == 1 && value >= 1 && value <= 8;
            return valid ? static_cast<int>(value) : 0;
        }
    }
    return 0;
}

} // namespace

bool JpegFrameHeader::Read(const std::uint8_t* data, std::size_t size) {
    *this = JpegFrameHeader();
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return false;
    }
    bool framed = false;
    std::size_t at = 2;
    for (;;) {
        // A marker: 0xFF, any number of 0xFF fill bytes, the marker's code.
        if (at >= size || data[at] != 0xFF) {
            return false;
        }
        while (at < size && data[at] == 0xFF) {
            ++at;
        }
        if (at >= size) {
            return false;
        }
        const std::uint8_t marker = data[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // TEM and RSTn stand alone
        }
        // A stuffed zero, a second start of image or the end of the image
        // cannot come before the first scan.
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || size - at < 2) {
            return false;
        }
        // Every other marker starts a segment whose length counts itself.
        const std::size_t length = Get16(data + at);
        if (length < 2 || length > size - at) {
            return false;
        }
        if (IsFrameMarker(marker)) {
            if (framed || !ReadFrame(data + at + 2, length - 2)) {
                return false;
            }
            framed = true;
        } else if (marker == 0xE1 && !exifSeen && length >= 8 &&
                   std::memcmp(data + at + 2, "Exif\0\0", 6) == 0) {
            // Only the first Exif segment counts; other APP1 data (XMP) do not.
            exifSeen = true;
            const int found = ExifOrientation(data + at + 2, length - 2);
            orientation = found != 0 ? found : 1;
        } else if (marker == 0xDA) {
            dataBytes = size - at - length;
            return framed;
        }
        at += length;
    }
}

bool JpegFrameHeader::ReadFrame(const std::uint8_t* segment, std::size_t length) {
    // Precision, height, width, component count, then three bytes a component:
    // identifier, sampling factors (horizontal in the high nibble), table.
    if (length < 6) {
        return false;
    }
    height = static_cast<int>(Get16(segment + 1));
    width = static_cast<int>(Get16(segment + 3));
    components = segment[5];
    if (components == 0 || length < 6 + 3 * static_cast<std::size_t>(components)) {
        return false;
    }
    for (int i = 0; i < components; ++i) {
        const int h = segment[7 + 3 * i] >> 4;
        const int v = segment[7 + 3 * i] & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4) {
            return false;
        }
        maxH = h > maxH ? h : maxH;
        maxV = v > maxV ? v : maxV;
    }
    return true;
}

std::uint64_t JpegFrameHeader::Mcus() const {
    // A single component is coded block by block whatever its factors.
    const std::uint64_t mcuWidth = 8u * static_cast<unsigned>(components == 1 ? 1 : maxH);
    const std::uint64_t mcuHeight = 8u * static_cast<unsigned>(components == 1 ? 1 : maxV);
    return (width + mcuWidth - 1) / mcuWidth * ((height + mcuHeight - 1) / mcuHeight);
}

bool JpegFrameHeader::Decodable(std::uint64_t moreData) const {
    if (width <= 0 || height <= 0) {
        return false;
    }
    return image::CanvasFits(width, height) && dataBytes + moreData >= Mcus() / 64;
}

} // namespace formats
