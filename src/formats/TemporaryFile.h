#pragma once

#include <string>

namespace formats {

// A file that a writer fills beside its target and that replaces the target
// only when it is complete. Until Commit succeeds the target is untouched; the
// destructor removes an uncommitted temporary file, so a failed save leaves
// neither a partial file nor a damaged old one. Paths are UTF-8 text of any
// length; the file system sees them only through the wide functions.
class TemporaryFile {
public:
    // Creates an empty, uniquely named file in the target's folder (a move
    // within one volume is a rename, which is what makes the swap safe). Not
    // ready when the target is a read-only file or a folder, or its folder
    // cannot take a new file.
    explicit TemporaryFile(const char* target);
    ~TemporaryFile();

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsReady() const { return ready; }
    // The temporary file's full path: UTF-8 for file::FileHandle, and UTF-16
    // (with the "\\?\" prefix when it is long) for the wide functions.
    const char* Path() const { return path.c_str(); }
    const wchar_t* WidePath() const { return widePath.c_str(); }

    // Moves the (closed) temporary file over the target.
    bool Commit();

private:
    std::wstring target;
    std::string path;
    std::wstring widePath;
    bool ready = false;
};

} // namespace formats
