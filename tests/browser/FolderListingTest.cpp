#include "BrowserTestSupport.h"

#include "browser/FolderListing.h"

#include <gtest/gtest.h>

#include <tuple>

using browsertest::Describe;
using job::ListEntry;

TEST(FolderListing, ListsParentThenFoldersThenPicturesByNameWithoutCase) {
    browsertest::ScratchFolder scratch;
    // Each name, whether it is a folder and whether it is hidden.
    const std::tuple<const char*, bool, bool> items[] = {
        {"b_folder", true, false}, {"A_folder", true, false},       {"x.png", true, false},
        {"hidden", true, true},    {"photo.JPEG", false, false},    {"a.gif", false, false},
        {"C.Bmp", false, false},   {"e.png", false, false},         {"hidden.png", false, true},
        {"README", false, false},  {"photo.jpg.txt", false, false}, {"png", false, false},
        {"g.WebP", false, false},
    };
    for (const auto& [name, folder, hidden] : items) {
        const std::string path = scratch.Join(name);
        ASSERT_TRUE(folder ? browsertest::MakeFolder(path) : browsertest::WriteFile(path, "x"));
        if (hidden) {
            ASSERT_TRUE(
                SetFileAttributesW(file::WidePath(path.c_str()).Get(), FILE_ATTRIBUTE_HIDDEN));
        }
    }
    std::vector<ListEntry> entries;
    ASSERT_TRUE(browser::ListFolder(scratch.path.c_str(), entries));
    EXPECT_EQ(Describe(entries),
              (std::vector<std::string>{std::string("^") + browser::ParentEntryText, "/A_folder",
                                        "/b_folder", "/x.png", "~a.gif", "~C.Bmp", "~e.png",
                                        "~g.WebP", "~photo.JPEG"}));
}

TEST(FolderListing, DriveRootHasNoParentEntry) {
    for (const char* root : {"C:", "C:\\"}) {
        std::vector<ListEntry> entries;
        ASSERT_TRUE(browser::ListFolder(root, entries)) << root;
        ASSERT_FALSE(entries.empty()) << root;
        for (const ListEntry& entry : entries) {
            EXPECT_NE(entry.kind, job::ParentFolder) << root << " " << entry.name;
        }
    }
}
