#pragma once

#include "formats/ByteSink.h"
#include "formats/TemporaryFile.h"
#include "win/FileHandle.h"

#include <windows.h>

namespace formats {

// Writes a file through a TemporaryFile and checks every write. Once a write
// has failed every later one fails too, so a writer may check only at the end;
// Finish then refuses to replace the target.
class SafeWriter : public ByteSink {
public:
    explicit SafeWriter(const char* target);

    bool IsOpen() const { return good; }
    bool Write(const void* data, DWORD count) override;
    DWORD Tell() override;
    bool SeekTo(DWORD position) override;
    bool SeekToEnd() override;
    // Flushes and closes the file and moves it over the target.
    bool Finish();

private:
    TemporaryFile temporary;
    file::FileHandle file;
    bool good = false;
};

} // namespace formats
