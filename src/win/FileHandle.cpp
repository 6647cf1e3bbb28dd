#include "win/FileHandle.h"

#include "win/WidePath.h"

namespace file {

FileHandle::~FileHandle() {
    Close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept : handle(other.handle) {
    other.handle = nullptr;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle = other.handle;
        other.handle = nullptr;
    }
    return *this;
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
