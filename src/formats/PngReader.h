#pragma once

#include "formats/PngImageInfo.h"
#include "image/Image.h"
#include "ui/file/FileHandle.h"

#include <cstddef>
#include <cstdint>

namespace formats {

// Decodes a non-interlaced PNG of 8 or fewer bits per sample (greyscale,
// palette, RGB, RGBA) into raw, unfiltered rows. It walks the chunk list
// itself and inflates the image data with zlib; chunk CRCs are not checked and
// chunks it does not need are skipped. Whatever the file holds, the reader
// never reads or writes outside its buffers: sizes from the file are checked
// before they are used, and pictures too large to address are refused.
class PngReader {
public:
    PngReader() = default;
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // Fills info from the file; false when the file is refused.
    bool Read(const char* path, PngImageInfo& info);

    // Scans forward from the current position for a chunk of the given
    // four-character type; on success the file is left at its first data byte.
    bool FindChunk(const char* type, std::uint32_t& length);

private:
    bool ReadSignature();
    bool ReadHeader();
    bool ReadPalette();
    bool ReadImageData();
    void Unfilter();
    // Moves forward; a move past the end of the file stops at the end (where
    // no further chunk is found) and returns false.
    bool Skip(std::uint64_t count);
    std::uint32_t Remaining();

    file::FileHandle file;
    PngImageInfo* info = nullptr;
    std::uint32_t fileSize = 0;
    std::uint8_t colourType = 0;
};

// Writes the (unfiltered) picture as 24-bit bottom-up pixel memory laid out
// like an Image of the same size. Palette indices beyond the palette read as
// black.
void CopyToBits(const PngImageInfo& info, std::uint8_t* bits);

// Loads a PNG file into a new 24-bit Image; false (and an empty Image) when
// the file is refused or the Image cannot be created.
bool LoadPng(image::Image& picture, const char* path);

} // namespace formats
