#pragma once

#include <string>

namespace job {

// What a file list entry is; also its icon index in the list's image strip.
enum ListItemKind { ParentFolder = 0, Folder = 1, ImageFile = 2 };

// Which pictures of the list a batch job takes (stored as All_File).
enum BatchFileChoice { Selected = 0, AllInFolder = 1, Matching = 2 };

// How a batch job arranges its pictures (stored as All_Arrange).
enum BatchArrangement { OneRow = 0, OneColumn = 1, FitWidth = 2, FixedColumns = 3 };

// One entry of the file list as a job sees it: taken from the list when the
// job starts, so that navigating or selecting during the job changes nothing.
struct ListEntry {
    std::string name; // the entry's text: a file or folder name without its folder
    ListItemKind kind = ImageFile;
    bool selected = false;
};

} // namespace job
