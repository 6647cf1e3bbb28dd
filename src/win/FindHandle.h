#pragma once

#include <windows.h>

namespace file {

// Owns a folder search started with FindFirstFileW and ends it with
// FindClose, on every path out of the scope.
class FindHandle {
public:
    FindHandle(const wchar_t* pattern, WIN32_FIND_DATAW& first)
        : handle(FindFirstFileW(pattern, &first)) {}
    ~FindHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            FindClose(handle);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    // False when the search found nothing or could not start.
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& data) { return FindNextFileW(handle, &data) != FALSE; }

private:
    HANDLE handle;
};

} // namespace file
