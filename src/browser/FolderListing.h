#pragma once

#include "job/ListEntry.h"

#include <string>
#include <vector>

namespace browser {

// The text of the entry that leads to the parent folder.
extern const char* const ParentEntryText;

// True when the name's text after its last dot is bmp, png, jpg, jpeg or gif,
// without regard to case. A name without a dot is no picture.
bool IsPictureName(const std::string& name);

// True for a folder in the drive-root form the program keeps ("D:"; "D:\"
// too), which has no parent folder.
bool IsDriveRoot(const char* folder);

// The entries of one folder in the file list's order: the parent entry first
// (never at a drive root), then the subfolders, then the pictures (by their
// extension), each group by name without regard to case. Hidden entries, "."
// and files of other kinds are left out. The folder is the program's UTF-8
// text without a trailing separator, of any length; names are read through
// the UTF-16 functions and kept whole. A name that has no exact 8-bit form is
// left out, since the program could not open it. Entries come back
// unselected. False, with no entries, when the folder cannot be enumerated.
bool ListFolder(const char* folder, std::vector<job::ListEntry>& entries);

} // namespace browser
