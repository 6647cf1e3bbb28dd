#pragma once

#include <windows.h>

// Owner of one Win32 file handle: raw reads, writes and seeks. The handle is NULL while no file is
// open (never INVALID_HANDLE_VALUE) and is closed by Close, the destructor, or an open of another
// file. Paths are the program's UTF-8 text, of any length.

namespace file {

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle();

    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    // The handle changes owner, position and all; the one moved from is left
    // with none. An assignment closes the handle it replaces.
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;

    // Opens an existing file for reading, shared with other readers.
    bool OpenRead(const char* path);
    // Creates or truncates a file for writing, with no sharing: a second open of
    // the same path fails while this one is open.
    bool CreateWrite(const char* path);
    // CloseHandle's result, or false when nothing was open.
    bool Close();
    bool IsOpen() const { return handle != nullptr; }
    HANDLE Handle() const { return handle; }

    // Byte counts; 0 on failure. A short count is passed through.
    DWORD Read(void* buffer, DWORD count);
    DWORD Write(const void* buffer, DWORD count);

    // 32-bit positions: files of 4 GiB or more are outside the program's use,
    // and their size reads INVALID_FILE_SIZE, as does a size that cannot be
    // read, never the low 32 bits of the real size.
    DWORD Size() const;
    DWORD Seek(LONG distance, DWORD method);
    DWORD Tell();

private:
    bool Open(const char* path, DWORD access, DWORD share, DWORD disposition);

    HANDLE handle = nullptr;
};

} // namespace file
