#include "BrowserTestSupport.h"

#include "browser/BatchActions.h"
#include "browser/BrowserIds.h"
#include "browser/FileListWindow.h"
#include "image/ScopedGdi.h"
#include "settings/AppSettings.h"
#include "support/ScriptedDialogs.h"
#include "ui/Window.h"
#include "ui/text/String.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using browser::FileListWindow;
using browser::ListEntry;
using browsertest::ScratchFolder;

namespace {

// Stands in for the main window: records the commands it is sent.
class OwnerWindow : public ui::Window {
public:
    int OnCommand(UINT id, UINT, HWND) override {
        commands.push_back(id);
        return 1;
    }
    std::vector<UINT> commands;
};

struct BatchCall {
    std::string action; // "right", "below" or "batch"
    HWND owner;
    std::string folder;
    std::vector<ListEntry> entries;
};

class RecordingBatch : public browser::BatchActions {
public:
    void PasteSelected(HWND owner, const std::string& folder, const std::vector<ListEntry>& entries,
                       bool below) override {
        calls.push_back({below ? "below" : "right", owner, folder, entries});
    }
    void RunBatch(HWND owner, const std::string& folder,
                  const std::vector<ListEntry>& entries) override {
        calls.push_back({"batch", owner, folder, entries});
    }
    std::vector<BatchCall> calls;
};

struct PasteCall {
    std::string path;
    bool below;
};

RECT ChildRect(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A folder with two subfolders and three pictures (one of them not a
// picture inside), and a real list window on it, owned by a recording owner.
class FileListWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(browsertest::MakeFolder(folder.Join("sub")));
        ASSERT_TRUE(browsertest::MakeFolder(folder.Join("Zeta")));
        ASSERT_TRUE(browsertest::WritePicture(folder.Join("sub\\inner.png"), 8, 8, 1));
        ASSERT_TRUE(browsertest::WritePicture(folder.Join("small.png"), 40, 20, 2));
        ASSERT_TRUE(browsertest::WritePicture(folder.Join("wide.png"), 600, 100, 3));
        ASSERT_TRUE(browsertest::WriteFile(folder.Join("broken.png"), "not a picture"));

        static const ATOM ownerClass = ui::Window::RegisterWindowClass(
            "QtoraBrowserTestOwner", nullptr, nullptr, nullptr, nullptr, nullptr, 0);
        ASSERT_NE(ownerClass, 0);
        ASSERT_TRUE(owner.Create(0, "QtoraBrowserTestOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                 300, 300, nullptr, nullptr));
        settings.ListDir.Assign(folder.Path().c_str());
        ASSERT_TRUE(list.Create(owner.hwnd, settings));
        list.SetPasteFile([this](const char* path, bool below) {
            pastes.push_back({path, below});
            return true;
        });
        list.SetBatchActions(&batch);
        list.SetSize(300, 400);
    }
    void TearDown() override {
        if (list.hwnd != nullptr && IsWindow(list.hwnd)) {
            DestroyWindow(list.hwnd);
        }
        if (owner.hwnd != nullptr && IsWindow(owner.hwnd)) {
            DestroyWindow(owner.hwnd);
        }
        EXPECT_EQ(dialogs.Unanswered(), 0);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const ListEntry& entry : list.Entries()) {
            names.push_back(entry.name);
        }
        return names;
    }
    int Index(const std::string& name) const {
        for (int i = 0; i < list.ItemCount(); ++i) {
            if (list.ItemText(i) == name) {
                return i;
            }
        }
        ADD_FAILURE() << "no entry " << name;
        return -1;
    }
    void SetState(int index, UINT state, UINT mask) {
        LVITEMA item = {};
        item.stateMask = mask;
        item.state = state;
        list.listView.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(&item));
    }
    // Only the named entries selected, as the user's clicks leave them.
    void Select(const std::vector<std::string>& names) {
        SetState(-1, 0, LVIS_SELECTED);
        for (const std::string& name : names) {
            SetState(Index(name), LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    void Focus(const std::string& name) { SetState(Index(name), LVIS_FOCUSED, LVIS_FOCUSED); }
    // A double click as the list view reports it to its parent.
    void DoubleClick(UINT code) {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = list.listView.hwnd;
        activate.hdr.idFrom = IDC_LIST_VIEW;
        activate.hdr.code = code;
        activate.iItem = -1;
        list.Send(WM_NOTIFY, IDC_LIST_VIEW, reinterpret_cast<LPARAM>(&activate));
    }
    std::string ListDir() const { return settings.ListDir.Data(); }
    std::string Caption() const {
        char text[2048] = {};
        GetWindowTextA(list.hwnd, text, sizeof(text));
        return text;
    }

    ScratchFolder folder{"window"};
    ui::ScriptedDialogs dialogs;
    settings::AppSettings settings;
    OwnerWindow owner;
    FileListWindow list;
    RecordingBatch batch;
    std::vector<PasteCall> pastes;
};

} // namespace

TEST_F(FileListWindowTest, BuildsAHiddenToolWindowWithToolbarListAndPreview) {
    char name[64] = {};
    GetClassNameA(list.hwnd, name, sizeof(name));
    EXPECT_STREQ(name, "Qtora_List");
    GetClassNameA(list.previewPane.hwnd, name, sizeof(name));
    EXPECT_STREQ(name, "Qtora_Gen");
    EXPECT_FALSE(IsWindowVisible(list.hwnd));
    EXPECT_EQ(GetWindow(list.hwnd, GW_OWNER), owner.hwnd);
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(list.GetLong(GWL_STYLE)) & 0xFFFF0000u & ~WS_CLIPSIBLINGS,
              0x82CC0000u);
    EXPECT_NE(list.GetLong(GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(Caption(), folder.Path());

    // System menu: Size, Move and Close only.
    const HMENU menu = GetSystemMenu(list.hwnd, FALSE);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        ids.push_back(GetMenuItemID(menu, i));
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<UINT>{SC_SIZE, SC_MOVE, SC_CLOSE}));

    // Toolbar: four captioned buttons, captions right of the images.
    EXPECT_EQ(GetDlgCtrlID(list.toolbar.hwnd), IDC_LIST_TOOLBAR);
    EXPECT_NE(list.toolbar.GetLong(GWL_STYLE) & TBSTYLE_LIST, 0);
    ASSERT_EQ(list.toolbar.Send(TB_BUTTONCOUNT, 0, 0), 4);
    const char* captions[] = {"찾기", "붙이기", "붙이기", "자동"};
    for (int i = 0; i < 4; ++i) {
        TBBUTTON button = {};
        ASSERT_TRUE(list.toolbar.Send(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, IDT_LIST_FIND + i);
        EXPECT_EQ(button.iBitmap, i);
        char caption[32] = {};
        list.toolbar.Send(TB_GETBUTTONTEXTA, IDT_LIST_FIND + i, reinterpret_cast<LPARAM>(caption));
        EXPECT_STREQ(caption, captions[i]);
    }

    // List view: list mode, selection kept visible, several entries at once,
    // the three icons.
    EXPECT_EQ(GetDlgCtrlID(list.listView.hwnd), IDC_LIST_VIEW);
    const LONG style = list.listView.GetLong(GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_LIST);
    EXPECT_NE(style & LVS_SHOWSELALWAYS, 0);
    EXPECT_EQ(style & LVS_SINGLESEL, 0);
    const auto icons =
        reinterpret_cast<HIMAGELIST>(list.listView.Send(LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(icons), 3);
    int w = 0;
    int h = 0;
    ImageList_GetIconSize(icons, &w, &h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);

    // Entries: text, icon and parameter all tell the kind.
    EXPECT_EQ(Names(), (std::vector<std::string>{"<상위폴더로이동..>", "sub", "Zeta", "broken.png",
                                                 "small.png", "wide.png"}));
    for (int i = 0; i < list.ItemCount(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        ASSERT_TRUE(list.listView.Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.iImage, item.lParam);
        EXPECT_EQ(item.lParam, i == 0  ? browser::ParentFolder
                               : i < 3 ? browser::Folder
                                       : browser::ImageFile);
    }
}

TEST_F(FileListWindowTest, LayoutStacksToolbarListSplitterAndPreview) {
    const SIZE client = list.ClientSize();
    const RECT bar = ChildRect(list.toolbar.hwnd);
    const RECT view = ChildRect(list.listView.hwnd);
    const RECT pane = ChildRect(list.previewPane.hwnd);
    EXPECT_EQ(view.top, bar.bottom);
    EXPECT_EQ(view.right, client.cx);
    EXPECT_EQ(pane.top, view.bottom + browser::SplitterHeight);
    EXPECT_EQ(pane.bottom, client.cy);
    EXPECT_EQ(pane.right, client.cx);
    EXPECT_EQ(list.PreviewHeight(), 100);

    list.SetPreviewHeight(150);
    EXPECT_EQ(list.PreviewHeight(), 150);
    EXPECT_EQ(ChildRect(list.previewPane.hwnd).top, client.cy - 150);
    EXPECT_EQ(ChildRect(list.listView.hwnd).bottom, client.cy - 150 - browser::SplitterHeight);
}

TEST_F(FileListWindowTest, CountsPicturesAndBuildsItemPaths) {
    EXPECT_EQ(list.CountImages(true), 3);
    EXPECT_EQ(list.CountImages(false), 0);
    Select({"sub", "small.png", "wide.png"});
    EXPECT_EQ(list.CountImages(false), 2);

    text::String path(511);
    ASSERT_TRUE(list.ItemPath(Index("wide.png"), path));
    EXPECT_EQ(std::string(path.Data()), folder.Join("wide.png"));
    EXPECT_FALSE(list.ItemPath(list.ItemCount(), path));
}

TEST_F(FileListWindowTest, DoubleClicksWalkThroughFoldersAndPastePictures) {
    const std::string sub = folder.Join("sub");
    const struct {
        std::vector<std::string> selected;
        UINT code;
        std::string listDir;    // after the double click
        std::string firstEntry; // after the double click
        std::vector<PasteCall> pasted;
    } steps[] = {
        // Into a folder, left or right button alike.
        {{"sub"}, NM_DBLCLK, sub, "<상위폴더로이동..>", {}},
        {{"<상위폴더로이동..>"}, NM_RDBLCLK, folder.Path(), "<상위폴더로이동..>", {}},
        {{"sub"}, NM_RDBLCLK, sub, "<상위폴더로이동..>", {}},
        {{"<상위폴더로이동..>"}, NM_DBLCLK, folder.Path(), "<상위폴더로이동..>", {}},
        // Pictures paste: left to the right, right below, the first selected.
        {{"small.png"},
         NM_DBLCLK,
         folder.Path(),
         "<상위폴더로이동..>",
         {{folder.Join("small.png"), false}}},
        {{"wide.png", "small.png"},
         NM_RDBLCLK,
         folder.Path(),
         "<상위폴더로이동..>",
         {{folder.Join("small.png"), true}}},
        // Nothing selected: nothing.
        {{}, NM_DBLCLK, folder.Path(), "<상위폴더로이동..>", {}},
        // A folder before a picture in list order walks into the folder.
        {{"small.png", "Zeta"}, NM_DBLCLK, folder.Join("Zeta"), "<상위폴더로이동..>", {}},
    };
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(step++);
        Select(s.selected);
        pastes.clear();
        DoubleClick(s.code);
        EXPECT_EQ(ListDir(), s.listDir);
        EXPECT_EQ(Caption(), s.listDir);
        EXPECT_EQ(list.ItemText(0), s.firstEntry);
        ASSERT_EQ(pastes.size(), s.pasted.size());
        for (size_t i = 0; i < pastes.size(); ++i) {
            EXPECT_EQ(pastes[i].path, s.pasted[i].path);
            EXPECT_EQ(pastes[i].below, s.pasted[i].below);
        }
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"<상위폴더로이동..>"}));
}

TEST_F(FileListWindowTest, WalkingUpFromAFirstLevelFolderReachesTheDriveRoot) {
    settings.ListDir.Assign("C:\\windows");
    list.RefreshList();
    ASSERT_EQ(list.ItemText(0), "<상위폴더로이동..>");
    Select({"<상위폴더로이동..>"});
    DoubleClick(NM_DBLCLK);
    EXPECT_EQ(ListDir(), "C:");
    EXPECT_EQ(Caption(), "C:");
    ASSERT_GT(list.ItemCount(), 0);
    for (const ListEntry& entry : list.Entries()) {
        EXPECT_NE(entry.kind, browser::ParentFolder);
    }
    Select({Names()[0]});
    DoubleClick(NM_DBLCLK);
    EXPECT_EQ(ListDir().substr(0, 3), "C:\\");
}

TEST_F(FileListWindowTest, LongKoreanNamesAreListedAndPathedWhole) {
    std::string deep = folder.Path();
    for (const char* part :
         {"가나다라마바사아자차카타파하가나다라마바사아자차카타파하가나다라마바사아자차",
          "하파타카차자아사바마라다나가하파타카차자아사바마라다나가하파타카차자아사바마",
          "가나다라마바사아자차카타파하가나다라마바사아자차카타파하가나다라마바사아자차"}) {
        deep += "\\";
        deep += part;
        ASSERT_TRUE(browsertest::MakeFolder(deep));
    }
    ASSERT_GT(deep.size(), 300u);
    std::string name;
    for (int i = 0; i < 80; ++i) {
        name += "그";
    }
    name += ".png";
    ASSERT_TRUE(browsertest::WriteFile(deep + "\\" + name, "x"));

    settings.ListDir.Assign(deep.c_str());
    list.RefreshList();
    EXPECT_EQ(Caption(), deep);
    ASSERT_EQ(Names(), (std::vector<std::string>{"<상위폴더로이동..>", name}));
    Select({name});
    DoubleClick(NM_DBLCLK);
    ASSERT_EQ(pastes.size(), 1u);
    EXPECT_EQ(pastes[0].path, deep + "\\" + name);
    EXPECT_TRUE(browsertest::Exists(pastes[0].path));
    Select({"<상위폴더로이동..>"});
    DoubleClick(NM_DBLCLK);
    EXPECT_EQ(ListDir(), deep.substr(0, deep.rfind('\\')));
}

TEST_F(FileListWindowTest, FocusedPictureIsPreviewedFittedWithoutEnlarging) {
    const SIZE pane = list.previewPane.ClientSize();
    ASSERT_GT(pane.cx, 40);
    ASSERT_GT(pane.cy, 20);
    const image::Image& preview = list.previewPane.preview;
    EXPECT_TRUE(preview.IsEmpty());

    // Smaller than the pane: its own size, its own pixels.
    Focus("small.png");
    ASSERT_FALSE(preview.IsEmpty());
    EXPECT_EQ(preview.Width, 40);
    EXPECT_EQ(preview.Height, 20);
    for (int y = 0; y < 20; y += 3) {
        for (int x = 0; x < 40; x += 3) {
            ASSERT_EQ(preview.ReadPixel(x, y), browsertest::Colour(x, y, 2)) << x << "," << y;
        }
    }

    // Larger: scaled down to the pane's width, aspect kept.
    Focus("wide.png");
    ASSERT_FALSE(preview.IsEmpty());
    EXPECT_EQ(preview.Width, pane.cx);
    EXPECT_NEAR(preview.Height, pane.cx * 100 / 600, 1);

    // A folder's focus changes nothing; a file that does not load clears it.
    Focus("sub");
    EXPECT_EQ(preview.Width, pane.cx);
    Focus("broken.png");
    EXPECT_TRUE(preview.IsEmpty());
}

TEST_F(FileListWindowTest, PreviewPaneDrawsThePictureCentredOnWhite) {
    Focus("small.png");
    const SIZE pane = list.previewPane.ClientSize();
    image::Image shot;
    ASSERT_TRUE(shot.Create(pane.cx, pane.cy, 24));
    {
        image::MemoryDC dc;
        image::SelectScope select(dc.Get(), shot.Bitmap);
        list.previewPane.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    }
    const int x0 = (pane.cx - 40) / 2;
    const int y0 = (pane.cy - 20) / 2;
    EXPECT_EQ(shot.ReadPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(shot.ReadPixel(pane.cx - 1, pane.cy - 1), 0xFFFFFFu);
    EXPECT_EQ(shot.ReadPixel(x0 - 1, y0), 0xFFFFFFu);
    EXPECT_EQ(shot.ReadPixel(x0, y0), browsertest::Colour(0, 0, 2));
    EXPECT_EQ(shot.ReadPixel(x0 + 39, y0 + 19), browsertest::Colour(39, 19, 2));
}

TEST_F(FileListWindowTest, SplitterDragKeepsTheLimits) {
    const int client = list.ClientSize().cy;
    const int list0 = list.listView.WindowSize().cy;
    const int pane0 = list.PreviewHeight();
    int y = client - pane0 - 2; // inside the strip
    list.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
    EXPECT_EQ(list.dragging, 1);
    const struct {
        int dy;
        int listDelta; // from the start
    } moves[] = {
        {20, 20},                          // down: the preview shrinks
        {pane0 - 20 - 9, 20},              // preview would be 9: refused
        {-10, 10},                         // continues from the refused position
        {-(list0 + 10 - 49), 10},          // list would be 49: refused
        {-(list0 + 10 - 50), -list0 + 50}, // exactly 50: allowed
    };
    int step = 0;
    for (const auto& m : moves) {
        SCOPED_TRACE(step++);
        y += m.dy;
        list.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, y));
        EXPECT_EQ(list.dragY, y);
        EXPECT_EQ(list.listView.WindowSize().cy, list0 + m.listDelta);
        EXPECT_EQ(list.PreviewHeight(), pane0 - m.listDelta);
        EXPECT_EQ(ChildRect(list.previewPane.hwnd).top, client - list.PreviewHeight());
    }
    list.Send(WM_LBUTTONUP, 0, MAKELPARAM(10, y));
    EXPECT_EQ(list.dragging, 0);
    const int after = list.PreviewHeight();
    list.Send(WM_MOUSEMOVE, 0, MAKELPARAM(10, y + 30));
    EXPECT_EQ(list.PreviewHeight(), after);
}

TEST_F(FileListWindowTest, CannotBeSizedBelow200By200) {
    RECT rect = {10, 20, 60, 70};
    list.Send(WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.left, 60 - 200);
    EXPECT_EQ(rect.top, 70 - 200);
    RECT large = {0, 0, 300, 400};
    list.Send(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&large));
    EXPECT_EQ(large.right, 300);
    EXPECT_EQ(large.bottom, 400);
}

TEST_F(FileListWindowTest, CloseAsksTheOwnerToHideTheList) {
    list.Send(WM_CLOSE, 0, 0);
    EXPECT_EQ(owner.commands, (std::vector<UINT>{40014}));
    EXPECT_TRUE(IsWindow(list.hwnd));
}

TEST_F(FileListWindowTest, ButtonsHandTheEntriesWithTheirSelectionToTheBatchActions) {
    Select({"Zeta", "wide.png"});
    const struct {
        UINT id;
        const char* action;
    } buttons[] = {
        {IDT_LIST_PASTE_RIGHT, "right"},
        {IDT_LIST_PASTE_BELOW, "below"},
        {IDT_LIST_BATCH, "batch"},
    };
    for (const auto& b : buttons) {
        list.Send(WM_COMMAND, MAKEWPARAM(b.id, 0), reinterpret_cast<LPARAM>(list.toolbar.hwnd));
    }
    ASSERT_EQ(batch.calls.size(), 3u);
    const std::vector<std::string> names = Names();
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const BatchCall& call = batch.calls[i];
        EXPECT_EQ(call.action, buttons[i].action);
        EXPECT_EQ(call.owner, list.hwnd);
        EXPECT_EQ(call.folder, folder.Path());
        ASSERT_EQ(call.entries.size(), names.size());
        for (size_t e = 0; e < names.size(); ++e) {
            EXPECT_EQ(call.entries[e].name, names[e]);
            EXPECT_EQ(call.entries[e].kind, list.ItemKind(static_cast<int>(e)));
            EXPECT_EQ(call.entries[e].selected, names[e] == "Zeta" || names[e] == "wide.png");
        }
    }
    // Without actions the buttons do nothing.
    list.SetBatchActions(nullptr);
    list.Send(WM_COMMAND, MAKEWPARAM(IDT_LIST_BATCH, 0), 0);
    EXPECT_EQ(batch.calls.size(), 3u);
}

TEST_F(FileListWindowTest, FindChoosesAnotherFolder) {
    const std::string sub = folder.Join("sub");
    const struct {
        const char* answer; // nullptr: cancelled
        std::string listDir;
    } cases[] = {
        {nullptr, folder.Path()},
        {"C:\\", "C:"},
        {sub.c_str(), sub},
    };
    for (const auto& c : cases) {
        dialogs.AnswerFolder(c.answer);
        list.Send(WM_COMMAND, MAKEWPARAM(IDT_LIST_FIND, 0), 0);
        EXPECT_EQ(ListDir(), c.listDir);
        EXPECT_EQ(Caption(), c.listDir);
    }
    ASSERT_EQ(dialogs.FolderDialogs().size(), 3u);
    EXPECT_EQ(dialogs.FolderDialogs()[0].title, "그림폴더를지정");
    EXPECT_EQ(dialogs.FolderDialogs()[0].dialog.hwndOwner, list.hwnd);
    EXPECT_EQ(Names(), (std::vector<std::string>{"<상위폴더로이동..>", "inner.png"}));
}
