#include "BrowserTestSupport.h"

#include "browser/BatchActions.h"
#include "browser/BrowserIds.h"
#include "browser/FileListWindow.h"
#include "browser/FolderListing.h"
#include "formats/PngWriter.h"
#include "image/Image.h"
#include "settings/AppSettings.h"
#include "support/DropBlock.h"
#include "support/TestPictures.h"
#include "support/TestWindows.h"
#include "ui/Window.h"
#include "win/ScopedGdi.h"

#include <gtest/gtest.h>
#include <commctrl.h>

using browser::FileListWindow;
using browsertest::Describe;
using job::ListEntry;
using Names = std::vector<std::string>;

namespace {

const std::string Up = std::string("^") + browser::ParentEntryText;

// Records each call as its action, owner, folder and entries.
class RecordingBatch : public browser::BatchActions {
public:
    void PasteSelected(HWND owner, const std::string& folder, const std::vector<ListEntry>& entries,
                       bool below) override {
        Record(below ? "below" : "right", owner, folder, entries);
    }
    void RunBatch(HWND owner, const std::string& folder,
                  const std::vector<ListEntry>& entries) override {
        Record("batch", owner, folder, entries);
    }
    void Record(std::string action, HWND owner, const std::string& folder,
                const std::vector<ListEntry>& entries) {
        calls.push_back({action, folder});
        owners.push_back(owner);
        for (const std::string& entry : Describe(entries)) {
            calls.back().push_back(entry);
        }
    }
    std::vector<Names> calls;
    std::vector<HWND> owners;
};

unsigned Colour(int x, int y) {
    return (x * 9 & 0xFF) << 16 | (y * 13 & 0xFF) << 8 | ((x + y) & 0xFF);
}

// A folder with a subfolder and a 40 x 20 picture, and a list window on it.
class FileListWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(browsertest::MakeFolder(folder.Join("sub")));
        ASSERT_TRUE(testpictures::MakeImage(picture, 40, 20, Colour));
        ASSERT_TRUE(formats::SavePng(picture, folder.Join("small.png").c_str()));
        ASSERT_TRUE(testsupport::CreateTopLevel(owner));
        settings.ListDir.Assign(folder.path.c_str());
        ASSERT_TRUE(list.Create(owner.hwnd, settings));
        list.SetPasteFile([this](const char* path, bool below) {
            pastes.push_back(std::string(below ? "below " : "right ") + path);
            return true;
        });
        list.SetBatchActions(&batch);
        list.SetSize(300, 400);
    }
    void TearDown() override {
        DestroyWindow(list.hwnd);
        DestroyWindow(owner.hwnd);
    }

    void SetState(const std::string& name, UINT state) {
        LVITEMA item = {};
        item.stateMask = item.state = state;
        for (int i = 0; i < list.ItemCount(); ++i) {
            if (list.ItemText(i) == name) {
                list.listView.Send(LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
            }
        }
    }
    // Only the named entry selected, then a double click as the list view reports it.
    void DoubleClick(const std::string& name, UINT code) {
        LVITEMA none = {};
        none.stateMask = LVIS_SELECTED;
        list.listView.Send(LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
        SetState(name, LVIS_SELECTED);
        NMITEMACTIVATE activate = {};
        activate.hdr = {list.listView.hwnd, IDC_LIST_VIEW, code};
        activate.iItem = -1;
        list.Send(WM_NOTIFY, IDC_LIST_VIEW, reinterpret_cast<LPARAM>(&activate));
    }
    std::string ListDir() const { return settings.ListDir.Data(); }

    browsertest::ScratchFolder folder;
    image::Image picture;
    settings::AppSettings settings;
    testsupport::CommandRecorder owner;
    FileListWindow list;
    RecordingBatch batch;
    Names pastes;
};

} // namespace

TEST_F(FileListWindowTest, DoubleClicksWalkThroughFoldersAndPastePictures) {
    const std::string small = folder.Join("small.png");
    const struct {
        std::string entry;
        UINT code;
        std::string listDir;
        Names listed;
        Names pasted;
    } steps[] = {
        {"sub", NM_DBLCLK, folder.Join("sub"), {Up}, {}},
        {browser::ParentEntryText, NM_RDBLCLK, folder.path, {Up, "/sub", "~small.png"}, {}},
        {"small.png", NM_DBLCLK, folder.path, {Up, "/sub", "~small.png*"}, {"right " + small}},
        {"small.png", NM_RDBLCLK, folder.path, {Up, "/sub", "~small.png*"}, {"below " + small}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.entry);
        pastes.clear();
        DoubleClick(s.entry, s.code);
        EXPECT_EQ(ListDir(), s.listDir);
        EXPECT_EQ(Describe(list.Entries()), s.listed);
        EXPECT_EQ(pastes, s.pasted);
    }
}

TEST_F(FileListWindowTest, ADroppedFolderOpensItselfAndAFileItsFolder) {
    DragAcceptFiles(list.hwnd, TRUE);
    // What is dropped, and the folder listed after.
    const std::string drops[][2] = {{folder.Join("sub"), folder.Join("sub")},
                                    {folder.Join("small.png"), folder.path},
                                    {folder.Join("no such file"), folder.path}};
    for (const auto& [dropped, listDir] : drops) {
        list.Send(WM_DROPFILES, reinterpret_cast<WPARAM>(ui::MakeDropBlock({dropped})), 0);
        EXPECT_EQ(ListDir(), listDir) << dropped;
    }
}

TEST_F(FileListWindowTest, LongKoreanNameInLongFolderPathIsListedAndPastedWhole) {
    std::string deep = folder.path;
    for (const char* syllable : {"가", "나", "다"}) {
        deep += "\\" + browsertest::Repeat(syllable, 40);
        ASSERT_TRUE(browsertest::MakeFolder(deep));
    }
    ASSERT_GT(deep.size(), 300u);
    const std::string name = browsertest::Repeat("그", 80) + ".png";
    ASSERT_TRUE(browsertest::WriteFile(deep + "\\" + name, "x"));
    settings.ListDir.Assign(deep.c_str());
    list.RefreshList();
    EXPECT_EQ(Describe(list.Entries()), (Names{Up, "~" + name}));
    DoubleClick(name, NM_DBLCLK);
    EXPECT_EQ(pastes, (Names{"right " + deep + "\\" + name}));
}

// The focused picture is previewed; another folder clears the preview to
// white.
TEST_F(FileListWindowTest, FocusedPictureIsPreviewedUntilAnotherFolderOpens) {
    const image::Image& preview = list.previewPane.preview;
    const auto centre = [this] {
        const SIZE pane = list.previewPane.ClientSize();
        image::Image shot;
        EXPECT_TRUE(shot.Create(pane.cx, pane.cy, 24));
        win::MemoryDC dc;
        win::SelectScope select(dc.Get(), shot.Bitmap);
        list.previewPane.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        return GetPixel(dc.Get(), pane.cx / 2, pane.cy / 2);
    };
    EXPECT_TRUE(preview.IsEmpty());
    SetState("small.png", LVIS_FOCUSED);
    EXPECT_TRUE(testpictures::SamePixels(preview, picture));
    ASSERT_NE(centre(), RGB(255, 255, 255));
    DoubleClick("sub", NM_DBLCLK);
    EXPECT_TRUE(preview.IsEmpty());
    EXPECT_EQ(centre(), RGB(255, 255, 255));
}

// The list shows names whole: a column takes the widest name and its icon.
TEST_F(FileListWindowTest, ColumnsAreAsWideAsTheLongestName) {
    const std::string name = "bash_tool_12eff9ab34cd.png";
    ASSERT_TRUE(browsertest::WriteFile(folder.Join(name), "x"));
    list.RefreshList();
    const auto nameWidth =
        list.listView.Send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_GT(nameWidth, 0);
    EXPECT_GE(list.listView.Send(LVM_GETCOLUMNWIDTH, 0, 0),
              nameWidth + GetSystemMetrics(SM_CXSMICON));
}

TEST_F(FileListWindowTest, SplitterDragKeepsTheLimits) {
    const int list0 = list.listView.WindowSize().cy;
    const int pane0 = list.PreviewHeight();
    int y = list.ClientSize().cy - pane0 - 2; // inside the strip
    list.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
    // Each move, and the list's growth from the start.
    const int moves[][2] = {
        {20, 20},                          // down: the preview shrinks
        {pane0 - 20 - 9, 20},              // preview would be 9: refused
        {-10, 10},                         // continues from the refused position
        {-(list0 + 10 - 49), 10},          // list would be 49: refused
        {-(list0 + 10 - 50), -list0 + 50}, // exactly 50: allowed
    };
    for (const auto& [dy, listDelta] : moves) {
        y += dy;
        list.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, y));
        EXPECT_EQ(list.listView.WindowSize().cy, list0 + listDelta) << y;
        EXPECT_EQ(list.PreviewHeight(), pane0 - listDelta) << y;
    }
    list.Send(WM_LBUTTONUP, 0, MAKELPARAM(10, y));
    list.Send(WM_MOUSEMOVE, 0, MAKELPARAM(10, y + 30));
    EXPECT_EQ(list.PreviewHeight(), pane0 + list0 - 50); // released: no longer follows
}

// The rule for each dragged edge is the placement test's.
TEST_F(FileListWindowTest, CannotBeSizedBelow200By200) {
    RECT small = {10, 20, 60, 70};
    list.Send(WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&small));
    EXPECT_EQ(std::make_pair(small.left, small.top), std::make_pair(60L - 200, 70L - 200));
}

TEST_F(FileListWindowTest, CloseAsksTheOwnerToHideTheList) {
    list.Send(WM_CLOSE, 0, 0);
    EXPECT_EQ(owner.commands, (std::vector<UINT>{40014}));
    EXPECT_TRUE(IsWindow(list.hwnd));
}

TEST_F(FileListWindowTest, ButtonsHandTheEntriesWithTheirSelectionToTheBatchActions) {
    SetState("sub", LVIS_SELECTED);
    SetState("small.png", LVIS_SELECTED);
    for (UINT id : {IDT_LIST_PASTE_RIGHT, IDT_LIST_PASTE_BELOW, IDT_LIST_BATCH}) {
        list.Send(WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(list.toolbar.hwnd));
    }
    std::vector<Names> expected;
    for (const char* action : {"right", "below", "batch"}) {
        expected.push_back({action, folder.path, Up, "/sub*", "~small.png*"});
    }
    EXPECT_EQ(batch.calls, expected);
    EXPECT_EQ(batch.owners, std::vector<HWND>(3, list.hwnd));
}
