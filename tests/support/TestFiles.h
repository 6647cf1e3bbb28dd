#pragma once

#include "win/WidePath.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Files and folders for the tests that write to disk: paths go through the
// UTF-16 file functions, so that long and Korean paths work.

namespace testsupport {

// A file's bytes; empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// text n times, for names and paths of a given length in any script.
inline std::string Repeat(const char* text, int n) {
    std::string result;
    while (n-- > 0) {
        result += text;
    }
    return result;
}

// A folder left by an interrupted run is taken as it is.
inline bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(file::WidePath(path.c_str()).Get(), nullptr) != FALSE ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

// A new folder under the temporary folder, removed with its contents at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path = file::NarrowText(temp) + "quiltora_test_" + std::to_string(GetCurrentProcessId()) +
               "_" + std::to_string(++counter);
        MakeFolder(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(L"\\\\?\\" + file::WideText(path.c_str()), ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Join(const std::string& name) const { return path + "\\" + name; }

    std::string path;
};

} // namespace testsupport
