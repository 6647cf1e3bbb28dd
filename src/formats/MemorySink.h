#pragma once

#include "formats/ByteSink.h"

#include <cstdint>
#include <vector>

namespace formats {

// Collects a writer's bytes in memory (a picture for the clipboard). Running
// out of memory is a failed write, never an exception.
class MemorySink : public ByteSink {
public:
    MemorySink() = default;

    bool Write(const void* data, DWORD count) override;
    DWORD Tell() override;
    bool SeekTo(DWORD position) override;
    bool SeekToEnd() override;

    bool Good() const { return good; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes; }

private:
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    bool good = true;
};

} // namespace formats
