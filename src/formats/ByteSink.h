#pragma once

#include <windows.h>

namespace formats {

// Where a writer's bytes go: a file (SafeWriter) or memory (MemorySink). Once
// a call has failed every later one fails too, so a writer may check only at
// the end. Positions stay below 2 GiB.
class ByteSink {
public:
    static constexpr DWORD kNoPosition = INVALID_SET_FILE_POINTER;

    virtual ~ByteSink() = default;
    virtual bool Write(const void* data, DWORD count) = 0;
    // The write position, for a field patched once what follows it is known;
    // kNoPosition after a failure.
    virtual DWORD Tell() = 0;
    // Moves the write position to position, or to the end of the data.
    virtual bool SeekTo(DWORD position) = 0;
    virtual bool SeekToEnd() = 0;

protected:
    ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;
};

} // namespace formats
