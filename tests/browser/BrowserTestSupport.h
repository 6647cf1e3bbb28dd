#pragma once

#include "job/ListEntry.h"
#include "support/TestFiles.h"
#include "win/FileHandle.h"
#include "win/WidePath.h"

#include <windows.h>

#include <string>
#include <vector>

// Files, folders and listings for the browser tests.
namespace browsertest {

using testsupport::MakeFolder;
using testsupport::Repeat;
using testsupport::ScratchFolder;

inline bool WriteFile(const std::string& path, const std::string& bytes) {
    file::FileHandle out;
    return out.CreateWrite(path.c_str()) &&
           out.Write(bytes.data(), static_cast<DWORD>(bytes.size())) == bytes.size();
}

// Each entry as its kind (^ parent, / folder, ~ picture), name and a star when selected.
inline std::vector<std::string> Describe(const std::vector<job::ListEntry>& entries) {
    std::vector<std::string> text;
    for (const job::ListEntry& entry : entries) {
        text.push_back("^/~"[entry.kind] + entry.name + (entry.selected ? "*" : ""));
    }
    return text;
}

} // namespace browsertest
