#pragma once

#include "job/ListEntry.h"
#include "win/FileHandle.h"
#include "win/WidePath.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

// Scratch folders for the browser tests, made through the UTF-16 file
// functions so that long and Korean paths work.
namespace browsertest {

inline bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(file::WidePath(path.c_str()).Get(), nullptr) != FALSE;
}

inline bool WriteFile(const std::string& path, const std::string& bytes) {
    file::FileHandle out;
    return out.CreateWrite(path.c_str()) &&
           out.Write(bytes.data(), static_cast<DWORD>(bytes.size())) == bytes.size();
}

inline std::string Repeat(const char* text, int n) {
    std::string result;
    while (n-- > 0) {
        result += text;
    }
    return result;
}

// Each entry as its kind (^ parent, / folder, ~ picture), name and a star when selected.
inline std::vector<std::string> Describe(const std::vector<job::ListEntry>& entries) {
    std::vector<std::string> text;
    for (const job::ListEntry& entry : entries) {
        text.push_back("^/~"[entry.kind] + entry.name + (entry.selected ? "*" : ""));
    }
    return text;
}

// A new folder under the temporary folder, removed with its contents at the end.
struct ScratchFolder {
    ScratchFolder() {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path = file::NarrowText(temp) + "quiltora_browser_" +
               std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        MakeFolder(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(L"\\\\?\\" + file::WideText(path.c_str()), ignored);
    }
    std::string Join(const std::string& name) const { return path + "\\" + name; }
    std::string path;
};

} // namespace browsertest
