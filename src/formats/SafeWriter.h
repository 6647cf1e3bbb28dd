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
    bool Finish() { return Complete() && Commit(); }
    // The two halves of Finish, for a file written ahead of knowing whether
    // it will be wanted: Complete flushes and closes it, Commit moves it over
    // the target. A file never committed is removed with the writer.
    bool Complete();
    bool Commit() { return good && temporary.Commit(); }

private:
    TemporaryFile temporary;
    file::FileHandle file;
    bool good = false;
};

} // namespace formats
