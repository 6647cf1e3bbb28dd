#include "win/FileHandle.h"

#include "win/WidePath.h"
#include "win/String.h"

#include <cstring>

namespace file {

FileHandle::~FileHandle() {
    Close();
}

bool FileHandle::Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
    // A handle already open would be lost with its lock on the file.
    Close();
    const WidePath wide(path);
    if (!wide.IsValid()) {
        return false;
    }
    HANDLE opened = CreateFileW(wide.Get(), access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    handle = opened == INVALID_HANDLE_VALUE ? nullptr : opened;
    return handle != nullptr;
}

bool FileHandle::OpenRead(const char* path) {
    return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

bool FileHandle::CreateWrite(const char* path) {
    return Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
}

bool FileHandle::Close() {
    if (handle == nullptr) {
        return false;
    }
    const BOOL closed = CloseHandle(handle);
    handle = nullptr;
    return closed != FALSE;
}

DWORD FileHandle::Read(void* buffer, DWORD count) {
    DWORD done = 0;
    if (!ReadFile(handle, buffer, count, &done, nullptr)) {
        return 0;
    }
    return done;
}

DWORD FileHandle::Write(const void* buffer, DWORD count) {
    DWORD done = 0;
    if (!WriteFile(handle, buffer, count, &done, nullptr)) {
        return 0;
    }
    return done;
}

DWORD FileHandle::WriteText(const char* text) {
    return Write(text, static_cast<DWORD>(std::strlen(text)));
}

DWORD FileHandle::WriteNewLine() {
    return Write("\r\n", 2);
}

DWORD FileHandle::WriteIntEntry(const char* key, int value) {
    // Room for '=', an 11-character signed decimal, CR LF and the terminator.
    // wsprintfA never writes more than 1024 bytes, which also bounds a long key.
    text::String line;
    const int keyLength = static_cast<int>(std::strlen(key));
    line.Reserve(keyLength < 1024 ? keyLength + 20 : 1024);
    wsprintfA(line.Data(), "%s=%d\r\n", key, value);
    return WriteText(line.Data());
}

bool FileHandle::WriteStringEntry(const char* key, const char* text) {
    const DWORD expected = static_cast<DWORD>(std::strlen(key) + 1 + std::strlen(text) + 2);
    DWORD written = WriteText(key);
    written += WriteText("=");
    written += WriteText(text);
    written += WriteNewLine();
    return written == expected;
}

DWORD FileHandle::Size() const {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle, &size) || size.QuadPart >= INVALID_FILE_SIZE) {
        return INVALID_FILE_SIZE;
    }
    return static_cast<DWORD>(size.QuadPart);
}

DWORD FileHandle::Seek(LONG distance, DWORD method) {
    return SetFilePointer(handle, distance, nullptr, method);
}

DWORD FileHandle::Tell() {
    return SetFilePointer(handle, 0, nullptr, FILE_CURRENT);
}

} // namespace file
