#include "formats/TemporaryFile.h"

#include <cstring>

namespace formats {

TemporaryFile::TemporaryFile(const char* targetPath) {
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(targetPath, MAX_PATH, target, &name);
    if (length == 0 || length >= MAX_PATH || name == nullptr || *name == 0) {
        return;
    }
    // A read-only file or a folder at the target is never replaced (Windows
    // refuses both when the file is moved; Wine replaces a read-only file).
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return;
    }
    char folder[MAX_PATH];
    const std::size_t folderLength = static_cast<std::size_t>(name - target);
    std::memcpy(folder, target, folderLength);
    folder[folderLength] = 0;
    // GetTempFileNameA creates the file, which reserves the name.
    ready = GetTempFileNameA(folder, "qtr", 0, path) != 0;
}

TemporaryFile::~TemporaryFile() {
    if (ready) {
        DeleteFileA(path);
    }
}

bool TemporaryFile::Commit() {
    if (!ready) {
        return false;
    }
    if (!MoveFileExA(path, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    ready = false;
    return true;
}

} // namespace formats
