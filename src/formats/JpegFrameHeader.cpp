#include "formats/JpegFrameHeader.h"

#include "image/Image.h"

#include <climits>

namespace formats {

namespace {

std::size_t Get16(const std::uint8_t* p) {
    return static_cast<std::size_t>(p[0]) << 8 | p[1];
}

// Start-of-frame markers: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
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

bool JpegFrameHeader::Decodable() const {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const int stride = image::RowStride(width, 24);
    return stride != 0 && static_cast<std::int64_t>(stride) * height <= INT_MAX &&
           dataBytes >= Mcus() / 64;
}

} // namespace formats
