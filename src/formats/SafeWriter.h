#pragma once

#include "formats/TemporaryFile.h"
#include "ui/file/FileHandle.h"

#include <windows.h>

namespace formats {

// Writes a file through a TemporaryFile and checks every write. Once a write
// has failed every later one fails too, so a writer may check only at the end;
// Finish then refuses to replace the target.
class SafeWriter {
public:
    explicit SafeWriter(const char* target);

    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    bool IsOpen() const { return good; }
    bool Write(const void* data, DWORD count);
    // The write position, for a field patched once what follows it is known;
    // positions stay below 2 GiB. kNoPosition after a failure.
    DWORD Tell();
    // Moves the write position to position, or to the end of the file.
    bool SeekTo(DWORD position);
    bool SeekToEnd();
    static constexpr DWORD kNoPosition = INVALID_SET_FILE_POINTER;
    // Flushes and closes the file and moves it over the target.
    bool Finish();

private:
    TemporaryFile temporary;
    file::FileHandle file;
    bool good = false;
};

} // namespace formats
