#include "formats/TemporaryFile.h"

#include "win/WidePath.h"

#include <windows.h>

namespace formats {

namespace {

// The form in which the W functions take a full path of any length.
std::wstring WideForm(const std::string& path) {
    return file::WidePath(path.c_str()).Text();
}

} // namespace

TemporaryFile::TemporaryFile(const char* targetPath) {
    const file::WidePath given(targetPath);
    if (!given.IsValid()) {
        return;
    }
    // The full path: the folder of the temporary file is the target's own.
    const DWORD needed = GetFullPathNameW(given.Get(), 0, nullptr, nullptr);
    if (needed == 0) {
        return;
    }
    std::wstring full(needed, L'\0');
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(given.Get(), needed, &full[0], &name);
    if (length == 0 || length >= needed || name == nullptr || *name == 0) {
        return;
    }
    const std::string folder = file::NarrowText(full.c_str(), static_cast<int>(name - &full[0]));
    full.resize(length);
    target = WideForm(file::NarrowText(full.c_str()));
    // A read-only file or a folder at the target is never replaced (Windows
    // refuses both when the file is moved; Wine replaces a read-only file).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (folder.empty() || target.empty() ||
        (attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)) {
        return;
    }
    // "qtr", eight hex digits, ".tmp". Creating the file reserves its name; a
    // name already taken moves on to the next, a folder that refuses new files
    // ends the search. The start differs between processes and calls.
    static volatile LONG calls = 0;
    const DWORD start = GetTickCount() ^ (GetCurrentProcessId() << 16) ^
                        (static_cast<DWORD>(InterlockedIncrement(&calls)) * 0x9E3779B9u);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "qtr00000000.tmp";
        for (std::size_t digit = 0; digit < 8; ++digit) {
            candidate[candidate.size() - 5 - digit] =
                "0123456789abcdef"[(start + attempt) >> (4 * digit) & 15];
        }
        const std::wstring wide = WideForm(candidate);
        HANDLE created = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            CloseHandle(created);
            path = candidate;
            widePath = wide;
            ready = true;
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
            error != ERROR_ACCESS_DENIED) {
            return;
        }
    }
}

TemporaryFile::~TemporaryFile() {
    if (ready) {
        DeleteFileW(widePath.c_str());
    }
}

bool TemporaryFile::Commit() {
    if (!ready) {
        return false;
    }
    if (!MoveFileExW(widePath.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    ready = false;
    return true;
}

} // namespace formats
