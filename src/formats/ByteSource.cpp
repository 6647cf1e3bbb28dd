#include "formats/ByteSource.h"

#include <cstring>
#include <utility>

namespace formats {

bool ByteSource::OpenFile(const char* path) {
    Close();
    return file.OpenRead(path);
}

bool ByteSource::Adopt(file::FileHandle& opened) {
    Close();
    file = std::move(opened);
    return file.IsOpen() && file.Seek(0, FILE_BEGIN) == 0;
}

file::FileHandle ByteSource::ReleaseFile() {
    file::FileHandle given = std::move(file);
    Close();
    return given;
}

bool ByteSource::OpenMemory(const std::uint8_t* data, std::size_t size) {
    Close();
    // INVALID_FILE_SIZE itself is no size, as for a file.
    if (data == nullptr || size >= INVALID_FILE_SIZE) {
        return false;
    }
    memory = data;
    memorySize = static_cast<DWORD>(size);
    return true;
}

void ByteSource::Close() {
    file.Close();
    memory = nullptr;
    memorySize = 0;
    position = 0;
}

DWORD ByteSource::Read(void* buffer, DWORD count) {
    if (memory == nullptr) {
        return file.Read(buffer, count);
    }
    const DWORD left = position < memorySize ? memorySize - position : 0;
    const DWORD got = count < left ? count : left;
    if (got != 0) {
        std::memcpy(buffer, memory + position, got);
        position += got;
    }
    return got;
}

DWORD ByteSource::Size() const {
    return memory == nullptr ? file.Size() : memorySize;
}

DWORD ByteSource::Seek(LONG distance, DWORD method) {
    if (memory == nullptr) {
        return file.Seek(distance, method);
    }
    const std::int64_t from = method == FILE_BEGIN ? 0 : method == FILE_END ? memorySize : position;
    const std::int64_t to = from + distance;
    if (to < 0 || to >= INVALID_SET_FILE_POINTER) {
        return INVALID_SET_FILE_POINTER;
    }
    position = static_cast<DWORD>(to);
    return position;
}

DWORD ByteSource::Tell() {
    return memory == nullptr ? file.Tell() : position;
}

} // namespace formats
