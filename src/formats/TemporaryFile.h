#pragma once

#include <windows.h>

namespace formats {

// A file that a writer fills beside its target and that replaces the target
// only when it is complete. Until Commit succeeds the target is untouched; the
// destructor removes an uncommitted temporary file, so a failed save leaves
// neither a partial file nor a damaged old one.
class TemporaryFile {
public:
    // Creates an empty, uniquely named file in the target's folder (a move
    // within one volume is a rename, which is what makes the swap safe). Not
    // ready when the target is a read-only file or a folder.
    explicit TemporaryFile(const char* target);
    ~TemporaryFile();

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsReady() const { return ready; }
    const char* Path() const { return path; }

    // Moves the (closed) temporary file over the target.
    bool Commit();

private:
    char target[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    bool ready = false;
};

} // namespace formats
