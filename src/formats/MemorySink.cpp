#include "formats/MemorySink.h"

#include <cstring>
#include <new>

namespace formats {

namespace {

constexpr std::size_t kLimit = 0x80000000u;

} // namespace

bool MemorySink::Write(const void* data, DWORD count) {
    good = good && count <= kLimit - position;
    if (!good || count == 0) {
        return good;
    }
    if (position + count > bytes.size()) {
        try {
            bytes.resize(position + count);
        } catch (const std::bad_alloc&) {
            good = false;
            return false;
        }
    }
    std::memcpy(bytes.data() + position, data, count);
    position += count;
    return true;
}

DWORD MemorySink::Tell() {
    good = good && position < kLimit;
    return good ? static_cast<DWORD>(position) : kNoPosition;
}

bool MemorySink::SeekTo(DWORD to) {
    good = good && to <= bytes.size();
    position = good ? to : position;
    return good;
}

bool MemorySink::SeekToEnd() {
    position = bytes.size();
    return good;
}

} // namespace formats
