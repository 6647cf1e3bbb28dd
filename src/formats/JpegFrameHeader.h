#pragma once

#include <cstddef>
#include <cstdint>

namespace formats {

// The frame header of a JPEG file and the length of its coded data, read from
// the markers before the first scan. The decoder trusts the frame size: the
// picture is made before any coded data are read, so a file of a few hundred
// bytes that claims 26000 x 26000 pixels would take gigabytes. A file is
// decoded only when its picture fits a canvas and its data could code it.
class JpegFrameHeader {
public:
    // Reads the markers from the start of the file to the first scan header,
    // never past size, and the orientation of the first Exif segment among
    // them. False when the file does not start a JPEG stream, a
    // marker segment is malformed or runs past the end, the picture ends
    // before a scan, or no single frame header precedes the first scan.
    bool Read(const std::uint8_t* data, std::size_t size);

    // Whether the picture may be decoded: neither side is zero, its 24-bit
    // Image fits a canvas (rows of image::RowStride bytes, an int's worth in
    // all), and the coded data after the first scan header hold at least one
    // byte for every 64 MCUs. Huffman coding spends at least one bit on each
    // MCU of the first scan, so real files have eight times that at least.
    // moreData: bytes of the file beyond those Read was given.
    bool Decodable(std::uint64_t moreData = 0) const;

    int Width() const { return width; }
    int Height() const { return height; }
    // MCUs (minimum coded units) of the frame: 8 x 8 pixels for one component,
    // otherwise 8 x 8 times the largest sampling factors.
    std::uint64_t Mcus() const;
    std::uint64_t DataBytes() const { return dataBytes; }
    // The Exif orientation (tag 0x0112 of IFD0): how the stored picture must
    // be turned to show upright, 1 (as stored) to 8. 1 when there is no Exif
    // segment, or it holds no valid orientation.
    int Orientation() const { return orientation; }

private:
    bool ReadFrame(const std::uint8_t* segment, std::size_t length);

    int width = 0;
    int height = 0;
    int components = 0;
    int maxH = 0;
    int maxV = 0;
    int orientation = 1;
    bool exifSeen = false;
    std::uint64_t dataBytes = 0;
};

} // namespace formats
