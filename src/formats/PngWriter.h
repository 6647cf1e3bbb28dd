#pragma once

#include "formats/BandDeflater.h"
#include "formats/PngImageInfo.h"
#include "image/Image.h"
#include "image/PixelValue.h"

#include <atomic>
#include <cstdint>

namespace formats {

class ByteSink;
class MemorySink;
class RowSource;

// Writes a 24-bit Image, or a PngImageInfo, as a PNG file: IHDR, PLTE as the
// picture needs, one IDAT holding the whole zlib stream of rows of filter
// type 0 (deflated in bands by BandDeflater and streamed to the file), IEND.
// The file replaces the target only when it is complete.
class PngWriter {
public:
    // lean: the compression holds a band less (see BandDeflater).
    explicit PngWriter(bool lean = false) : lean(lean) {}
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // The reader's layouts (palette indices, RGB, RGBA), as a test makes a
    // picture with transparency; level: libdeflate's, 0 to 12. False, with
    // no file left behind and an existing target untouched, when anything
    // fails.
    bool Write(const char* path, const PngImageInfo& info, int level);

    // Writes the rows of a 24-bit Image with filter type 0, without a copy of
    // the picture: as indices into the count colours of table (the palette)
    // when count is 1 to 256, as red, green, blue when it is 0.
    bool WritePicture(const char* path, const image::Image& picture, const image::PixelValue* table,
                      int count, int level);
    // The same into any sink (memory), which is left unfinished.
    bool WritePicture(ByteSink& sink, const image::Image& picture, const image::PixelValue* table,
                      int count, int level);
    // The same from rows that may still be coming; false when one never
    // comes.
    bool WritePicture(ByteSink& sink, RowSource& rows, const image::PixelValue* table, int count,
                      int level);

private:
    bool WriteFile(const char* path, const BandDeflater::FillRows& fill, int level);
    bool WriteChunks(const BandDeflater::FillRows& fill, int level);
    bool WriteChunk(const char* type, const std::uint8_t* data, std::uint32_t length);
    bool WriteImageData(const BandDeflater::FillRows& fill, int level);

    const bool lean;
    const PngImageInfo* info = nullptr;
    ByteSink* out = nullptr;
    const std::atomic<bool>* abandoned = nullptr; // a row did not come
};

// The distinct colours of a 24-bit Image in order of first appearance, walking
// the pixel memory from the bottom-left pixel, row by row upwards. Returns the
// count (1 to 256) with table filled, or 0 when there are more than 256 colours
// or the Image is not 24-bit.
int CountColours(const image::Image& picture, image::PixelValue table[256]);

// Saves a 24-bit Image as PNG: a palette picture when it has at most 256
// colours, RGB otherwise; filter type 0, deflated by libdeflate at a level
// whose files match zlib's level 6 in size.
bool SavePng(const image::Image& picture, const char* path);
// What SavePng writes for a picture of more than 256 colours, from rows that
// may still be coming, into a sink left unfinished. The rows come while
// pictures still load, whose memory the compression's spare band would add
// to.
bool WritePng(RowSource& rows, ByteSink& sink);
// The bytes SavePng would write, into a new sink; false when memory runs out.
bool EncodePng(const image::Image& picture, MemorySink& sink);

} // namespace formats
