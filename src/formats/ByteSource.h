#pragma once

#include "win/FileHandle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace formats {

// What a reader reads from: a file, or a block of memory (a picture another
// program put on the clipboard), through the same calls, with FileHandle's
// meaning: 32-bit positions, short counts passed through, a move past the end
// allowed (reads there get nothing).
class ByteSource {
public:
    ByteSource() = default;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    bool OpenFile(const char* path);
    // Reads from a file opened elsewhere, taking its handle over (opened is
    // left with none) and reading from its start; false when it holds no
    // file or cannot be rewound (the handle is taken all the same).
    bool Adopt(file::FileHandle& opened);
    // Gives the file back, at wherever it was read to; the source is then
    // closed. A memory block gives an empty handle.
    file::FileHandle ReleaseFile();
    // Reads from the block, which must stay as it is until Close; false (and
    // nothing open) when it is larger than 32-bit positions reach.
    bool OpenMemory(const std::uint8_t* data, std::size_t size);
    void Close();

    DWORD Read(void* buffer, DWORD count);
    // The block when reading from memory, Size() bytes, so that a reader
    // that wants every byte at once needs no copy; null for a file.
    const std::uint8_t* Memory() const { return memory; }
    // INVALID_FILE_SIZE when it cannot be read.
    DWORD Size() const;
    // The new position, or INVALID_SET_FILE_POINTER (nothing moved) for a
    // position before the start.
    DWORD Seek(LONG distance, DWORD method);
    DWORD Tell();

private:
    file::FileHandle file;
    const std::uint8_t* memory = nullptr;
    DWORD memorySize = 0;
    DWORD position = 0;
};

} // namespace formats
