#include "browser/FolderListing.h"

#include "win/FindHandle.h"
#include "win/WidePath.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace browser {

const char* const ParentEntryText = "<상위폴더로이동..>";

namespace {

constexpr const char* PictureExtensions[] = {"bmp", "png", "jpg", "jpeg", "gif", "webp"};

// ASCII case folding only: the extensions are ASCII, and a byte of a UTF-8
// sequence never equals an ASCII letter.
bool EqualsNoCase(const char* a, const char* b) {
    for (; *a != 0 && *b != 0; ++a, ++b) {
        char x = *a;
        char y = *b;
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return *a == *b;
}

struct Found {
    std::wstring wide; // for the comparison
    job::ListEntry entry;
};

// Without regard to case as the system compares names (lstrcmpiW); names that
// differ only in case keep a fixed order.
bool ListOrder(const Found& a, const Found& b) {
    if (a.entry.kind != b.entry.kind) {
        return a.entry.kind < b.entry.kind;
    }
    const int noCase = lstrcmpiW(a.wide.c_str(), b.wide.c_str());
    if (noCase != 0) {
        return noCase < 0;
    }
    return a.wide < b.wide;
}

} // namespace

bool IsPictureName(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const char* extension = name.c_str() + dot + 1;
    for (const char* picture : PictureExtensions) {
        if (EqualsNoCase(extension, picture)) {
            return true;
        }
    }
    return false;
}

bool IsDriveRoot(const char* folder) {
    const size_t length = std::strlen(folder);
    return (length == 2 || (length == 3 && folder[2] == '\\')) && folder[1] == ':' &&
           ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
}

bool ListFolder(const char* folder, std::vector<job::ListEntry>& entries) {
    entries.clear();
    std::string pattern(folder);
    if (pattern.empty() || pattern.back() != '\\') {
        pattern += '\\';
    }
    pattern += '*';
    const file::WidePath path(pattern.c_str());
    if (!path.IsValid()) {
        return false;
    }
    WIN32_FIND_DATAW data;
    file::FindHandle find(path.Get(), data);
    if (!find.IsOpen()) {
        return false;
    }
    bool parent = false;
    std::vector<Found> found;
    do {
        const wchar_t* name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 || std::wcscmp(name, L".") == 0) {
            continue;
        }
        if (std::wcscmp(name, L"..") == 0) {
            parent = true;
            continue;
        }
        Found item;
        item.wide = name;
        item.entry.name = file::NarrowText(name);
        // A name with no exact 8-bit form (an unpaired surrogate) would come
        // back as another name, which no file function finds.
        if (item.entry.name.empty() || file::WideText(item.entry.name.c_str()) != item.wide) {
            continue;
        }
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            item.entry.kind = job::Folder;
        } else if (IsPictureName(item.entry.name)) {
            item.entry.kind = job::ImageFile;
        } else {
            continue;
        }
        found.push_back(std::move(item));
    } while (find.Next(data));

    std::sort(found.begin(), found.end(), ListOrder);
    // A drive root has no parent, whatever the file system reports.
    if (parent && !IsDriveRoot(folder)) {
        job::ListEntry up;
        up.name = ParentEntryText;
        up.kind = job::ParentFolder;
        entries.push_back(up);
    }
    for (Found& item : found) {
        entries.push_back(std::move(item.entry));
    }
    return true;
}

} // namespace browser
