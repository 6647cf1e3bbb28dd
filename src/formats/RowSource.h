#pragma once

#include <cstdint>

namespace formats {

// The rows a writer saves, top row first, each Width x 3 bytes of blue,
// green, red: a picture in memory (ImageRows), or a canvas still being
// joined, whose rows come as they become final. Writers ask for every row in
// order within a band; bands may be asked for from two threads at once.
class RowSource {
public:
    RowSource(int width, int height) : width(width), height(height) {}
    virtual ~RowSource() = default;
    RowSource(const RowSource&) = delete;
    RowSource& operator=(const RowSource&) = delete;

    int Width() const { return width; }
    int Height() const { return height; }

    // Row y, 0 at the top: either the source's own memory or scratch
    // (Width x 3 bytes of the caller's), which the source may fill instead.
    // Null when the row will never come (the source was abandoned): the
    // writer then fails.
    virtual const std::uint8_t* Row(int y, std::uint8_t* scratch) = 0;

private:
    const int width;
    const int height;
};

} // namespace formats
