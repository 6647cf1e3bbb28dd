#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace formats {

// Deflates rows of a picture into one zlib stream, in bands of whole rows
// compressed on up to two threads and handed to a sink in order. Each band is
// built into, and compressed from, a buffer reused for later bands, so memory
// stays a few bands whatever the picture's size. Bands have independent
// dictionaries; every band but the last ends in a non-final, byte-aligned
// block, so their raw streams follow one another as one stream.
class BandDeflater {
public:
    // Writes rows first to end - 1 (rowBytes each) to out. Called from
    // several threads at once for different rows.
    using FillRows = std::function<void(std::uint32_t first, std::uint32_t end, std::uint8_t* out)>;
    // Takes the next piece of the stream; false stops the work.
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

    // level: libdeflate's, 0 to 12. lean: no thread starts a band ahead of
    // the one waiting to be written, which saves a band's memory where the
    // rows come no faster than a job loads them.
    BandDeflater(std::uint32_t rowCount, std::size_t rowBytes, int level, bool lean = false);
    BandDeflater(const BandDeflater&) = delete;
    BandDeflater& operator=(const BandDeflater&) = delete;

    // Sends the whole zlib stream of the rows to sink. False when memory, a
    // thread, the compressor or the sink failed; never throws.
    bool Write(const FillRows& fill, const Sink& sink);

    // Rows per band for rows of rowBytes (at least one).
    static std::uint32_t BandRows(std::size_t rowBytes);

private:
    bool WriteBands(const FillRows& fill, const Sink& sink);

    std::uint32_t rowCount;
    std::size_t rowBytes;
    int level;
    bool lean;
};

} // namespace formats
