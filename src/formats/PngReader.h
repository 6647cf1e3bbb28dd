#pragma once

#include "formats/ByteSource.h"
#include "formats/PngImageInfo.h"
#include "image/Image.h"

#include <cstddef>
#include <cstdint>

namespace formats {

// Decodes any PNG the standard allows (every colour type and bit depth,
// interlaced or not) into raw, unfiltered, non-interlaced rows in the layouts
// the writer knows: grey and palette pictures of up to 8 bits as palette
// indices, everything else as 8-bit RGB or RGBA (16-bit samples keep their high
// byte). A tRNS chunk becomes palette alphas, or turns RGB and 16-bit grey into
// RGBA with the transparent colour compared at full sample depth. It walks the
// chunk list itself, gathers the image data and inflates them with libdeflate
// (with zlib when the file cuts the stream short); the CRCs of the chunks it
// uses are checked (a chunk the end of the file cuts short is read as far as it
// goes) and chunks it does not need are skipped. Whatever the file holds, the
// reader never reads or writes outside its buffers: sizes from the file are
// checked before they are used, and pictures too large to address are refused.
class PngReader {
public:
    PngReader() = default;
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // Fills info from the file; false when the file is refused.
    bool Read(const char* path, PngImageInfo& info);
    // The same from a whole file's bytes in memory.
    bool Read(const std::uint8_t* data, std::size_t size, PngImageInfo& info);
    // The same from an open source, from its start; the source stays open.
    bool Read(ByteSource& source, PngImageInfo& info);
    // After a successful Read: the file ended inside its image data, so rows
    // the data did not reach are black (or an image data chunk claimed more
    // than the file holds).
    bool Damaged() const { return damaged; }

    // Scans forward from the current position for a chunk of the given
    // four-character type; on success the file is left at its first data byte.
    bool FindChunk(const char* type, std::uint32_t& length);

private:
    // Reads from source, once opened says it is open.
    bool ReadOpened(ByteSource& source, bool opened, PngImageInfo& info);
    bool ReadSignature();
    bool ReadHeader();
    bool ReadPalette();
    bool ReadTransparency(std::uint32_t length);
    // Inflates the image data into raw, or straight into the output's pixels
    // when RowsAsStored.
    bool ReadImageData(image::ByteBuffer& raw);
    // The output's bits per pixel for the file's colour type and depth.
    unsigned OutputBits() const;
    // Whether the file's rows, once unfiltered, are the output's rows: no
    // interlacing, and 8-bit RGB or RGBA, or grey or palette samples of up
    // to 8 bits, which stay palette indices.
    bool RowsAsStored() const;
    // Unfilters the inflated rows (each interlace pass on its own) and writes
    // their pixels, in the reader's output layout, to where they belong.
    bool Convert(image::ByteBuffer& raw);
    // Unfilters rows that are already the output's.
    void UnfilterInPlace(std::size_t filterBpp);
    void CopyPixel(const std::uint8_t* row, std::uint32_t from, std::uint8_t* out,
                   std::uint32_t to) const;
    // Reads the next chunk's length and type; false at the end of the file or
    // for a length no chunk may have.
    bool NextChunk(std::uint8_t type[4], std::uint32_t& length);
    // Reads a chunk's data, keeping its first keepSize bytes, then compares the
    // stored CRC; false only when a stored CRC does not match.
    bool ReadChunk(const char* type, std::uint32_t length, std::uint8_t* keep,
                   std::uint32_t keepSize);
    bool CrcMatches(unsigned long crc);
    // Moves forward; a move past the end of the file stops at the end (where
    // no further chunk is found) and returns false.
    bool Skip(std::uint64_t count);
    std::uint32_t Remaining();

    // What Read reads from; a closed source between reads.
    ByteSource closed;
    ByteSource* input = &closed;
    PngImageInfo* info = nullptr;
    std::uint32_t fileSize = 0;
    std::uint8_t colourType = 0;
    std::uint8_t depth = 0;
    std::uint8_t channels = 0;
    bool interlaced = false;
    // The transparent grey (one sample) or RGB colour of a tRNS chunk, kept
    // apart from the pixels only where it cannot become a palette alpha.
    bool hasKey = false;
    std::uint16_t key[3] = {};
    std::size_t rawSize = 0;
    bool damaged = false;
};

// Writes the (unfiltered) picture as 24-bit bottom-up pixel memory laid out
// like an Image of the same size, each pixel blended over background (a
// COLORREF, 0x00BBGGRR) by its alpha: (c * a + bg * (255 - a) + 127) / 255,
// which leaves opaque pixels as they are. Palette indices beyond the palette
// read as opaque black.
void CopyToBits(const PngImageInfo& info, std::uint8_t* bits, std::uint32_t background);

// Loads a PNG file into a new 24-bit Image, blended over background (white
// unless given); false (and an empty Image) when the file is refused or the
// Image cannot be created. damaged, when given, tells whether the file was cut
// short in its image data (see PngReader::Damaged).
bool LoadPng(image::Image& picture, const char* path, std::uint32_t background = 0x00FFFFFF,
             bool* damaged = nullptr);
// The same from a whole file's bytes in memory.
bool LoadPng(image::Image& picture, const std::uint8_t* data, std::size_t size,
             std::uint32_t background);
// The same from an open source, from its start.
bool LoadPng(image::Image& picture, ByteSource& source, std::uint32_t background = 0x00FFFFFF,
             bool* damaged = nullptr);

} // namespace formats
