#pragma once

#include <string>

// Scratch folders for the browser tests, made and removed through the UTF-16
// file functions so that long and Korean paths work.

namespace browsertest {

// A new folder under the system's temporary folder, removed with everything
// in it when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, UTF-8, without a trailing separator.
    const std::string& Path() const { return path; }
    // Path() + "\" + relative.
    std::string Join(const std::string& relative) const;

private:
    std::string path;
};

// True when the folder (any length, UTF-8) was made or already exists.
bool MakeFolder(const std::string& path);
// Writes the bytes to a new file; true on success.
bool WriteFile(const std::string& path, const std::string& bytes);
// Adds FILE_ATTRIBUTE_HIDDEN; true when the attribute reads back set.
bool MakeHidden(const std::string& path);
// Writes a PNG of width x height whose pixel (x, y) is Colour(x, y, seed).
bool WritePicture(const std::string& path, int width, int height, unsigned seed);
unsigned Colour(int x, int y, unsigned seed);
bool Exists(const std::string& path);

} // namespace browsertest
