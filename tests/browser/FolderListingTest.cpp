#include "BrowserTestSupport.h"

#include "browser/FolderListing.h"
#include "ui/file/WidePath.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using browser::ListEntry;
using browser::ListFolder;
using browser::ListItemKind;
using browsertest::ScratchFolder;

namespace {

struct Expected {
    ListItemKind kind;
    std::string name;
};

std::vector<Expected> Summary(const std::vector<ListEntry>& entries) {
    std::vector<Expected> summary;
    for (const ListEntry& entry : entries) {
        summary.push_back({entry.kind, entry.name});
    }
    return summary;
}

bool operator==(const Expected& a, const Expected& b) {
    return a.kind == b.kind && a.name == b.name;
}

void PrintTo(const Expected& e, std::ostream* out) {
    *out << "{" << e.kind << ", \"" << e.name << "\"}";
}

// n copies of one Hangul syllable: 3 bytes each in UTF-8.
std::string Hangul(const char* syllable, int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += syllable;
    }
    return text;
}

} // namespace

TEST(FolderListing, ListsParentThenFoldersThenPicturesByNameWithoutCase) {
    ScratchFolder folder("listing");
    struct Item {
        const char* name;
        bool isFolder;
        bool hidden;
    };
    const Item items[] = {
        {"b_folder", true, false},     {"A_folder", true, false},       {"x.png", true, false},
        {"hidden folder", true, true}, {"photo.JPEG", false, false},    {"a.gif", false, false},
        {"C.Bmp", false, false},       {"d.jpg", false, false},         {"e.png", false, false},
        {"hidden.png", false, true},   {"photo.jpg.txt", false, false}, {"README", false, false},
        {"noext.", false, false},      {"png", false, false},
    };
    for (const Item& item : items) {
        const std::string path = folder.Join(item.name);
        ASSERT_TRUE(item.isFolder ? browsertest::MakeFolder(path)
                                  : browsertest::WriteFile(path, "x"))
            << item.name;
        if (item.hidden) {
            ASSERT_TRUE(browsertest::MakeHidden(path)) << item.name;
        }
    }

    std::vector<ListEntry> entries;
    ASSERT_TRUE(ListFolder(folder.Path().c_str(), entries));
    const std::vector<Expected> expected = {
        {browser::ParentFolder, "<상위폴더로이동..>"},
        {browser::Folder, "A_folder"},
        {browser::Folder, "b_folder"},
        {browser::Folder, "x.png"},
        {browser::ImageFile, "a.gif"},
        {browser::ImageFile, "C.Bmp"},
        {browser::ImageFile, "d.jpg"},
        {browser::ImageFile, "e.png"},
        {browser::ImageFile, "photo.JPEG"},
    };
    EXPECT_EQ(Summary(entries), expected);
    for (const ListEntry& entry : entries) {
        EXPECT_FALSE(entry.selected);
    }
}

TEST(FolderListing, PictureNamesByTheTextAfterTheLastDot) {
    const struct {
        const char* name;
        bool picture;
    } cases[] = {
        {"a.bmp", true},    {"a.PNG", true},   {"a.Jpg", true},      {"a.jpeg", true},
        {"a.GIF", true},    {"a.b.png", true}, {"a.png.txt", false}, {"a.tif", false},
        {"README", false},  {"a.", false},     {"png", false},       {"a.pngx", false},
        {"그림.png", true}, {"a.jpe", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(browser::IsPictureName(c.name), c.picture) << c.name;
    }
}

TEST(FolderListing, DriveRootHasNoParentEntry) {
    for (const char* root : {"C:", "C:\\"}) {
        EXPECT_TRUE(browser::IsDriveRoot(root)) << root;
        std::vector<ListEntry> entries;
        ASSERT_TRUE(ListFolder(root, entries)) << root;
        ASSERT_FALSE(entries.empty()) << root;
        bool windows = false;
        for (const ListEntry& entry : entries) {
            EXPECT_NE(entry.kind, browser::ParentFolder) << root;
            windows = windows || (entry.kind == browser::Folder &&
                                  lstrcmpiA(entry.name.c_str(), "windows") == 0);
        }
        EXPECT_TRUE(windows) << root;
    }
    for (const char* notRoot : {"C:\\windows", "C", "", "\\\\server\\share"}) {
        EXPECT_FALSE(browser::IsDriveRoot(notRoot)) << notRoot;
    }
}

TEST(FolderListing, MissingFolderListsNothing) {
    ScratchFolder folder("missing");
    std::vector<ListEntry> entries = {ListEntry{}};
    EXPECT_FALSE(ListFolder(folder.Join("gone").c_str(), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(FolderListing, LongKoreanNameInLongFolderPathIsListedWhole) {
    ScratchFolder scratch("long");
    // Three folders of 40 syllables: the folder's UTF-8 path is over 360 bytes.
    std::string folder = scratch.Path();
    for (const char* syllable : {"가", "나", "다"}) {
        folder += "\\" + Hangul(syllable, 40);
        ASSERT_TRUE(browsertest::MakeFolder(folder));
    }
    ASSERT_GT(folder.size(), 300u);
    // 80 syllables, 240 bytes, before the extension.
    const std::string name = Hangul("한", 80) + ".png";
    ASSERT_EQ(name.size(), 244u);
    ASSERT_TRUE(browsertest::WriteFile(folder + "\\" + name, "x"));
    ASSERT_TRUE(browsertest::MakeFolder(folder + "\\" + Hangul("폴", 80)));

    std::vector<ListEntry> entries;
    ASSERT_TRUE(ListFolder(folder.c_str(), entries));
    const std::vector<Expected> expected = {
        {browser::ParentFolder, "<상위폴더로이동..>"},
        {browser::Folder, Hangul("폴", 80)},
        {browser::ImageFile, name},
    };
    EXPECT_EQ(Summary(entries), expected);
}
