#include "browser/FileListWindow.h"

#include "win/DroppedFiles.h"
#include "win/WidePath.h"

#include "browser/BrowserIds.h"
#include "browser/FolderListing.h"
#include "formats/ImageLoader.h"
#include "image/PasteSize.h"
#include "ui/CommonDialogs.h"
#include "ui/Dpi.h"
#include "ui/Placement.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace browser {

namespace {

constexpr COLORREF ListTransparent = RGB(255, 0, 0);
constexpr int ToolbarButtonCount = 4;
constexpr ui::ScaledBitmap ToolbarStrip = {IDB_LIST_TOOLBAR, IDB_LIST_TOOLBAR_150,
                                           IDB_LIST_TOOLBAR_200};
constexpr ui::ScaledBitmap IconStrip = {IDB_LIST_ICONS, IDB_LIST_ICONS_150, IDB_LIST_ICONS_200};
// Room beside a list-mode name for the gap after its icon and the label's
// margins, which the control adds to the text it draws; at 96 DPI.
constexpr int LabelMargins = 16;
// LVM_SETCOLUMNWIDTH takes the width in a 16-bit word.
constexpr int MaxColumnWidth = 32767;
constexpr int MinWindowSize = 200;

// A second window in one process (as tests make) finds its class registered
// already, which is as good as registering it.
bool Register(const char* name, LPCSTR cursor, HBRUSH background) {
    if (ui::Window::RegisterWindowClass(name, nullptr, nullptr, LoadCursor(nullptr, cursor),
                                        background, nullptr, 0) != 0) {
        return true;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Mouse coordinates arrive as zero-extended words; outside the client area
// during a drag they are negative.
int Signed(UINT word) {
    return static_cast<short>(word & 0xFFFF);
}

} // namespace

// FileListWindow: creation ------------------------------------------------------

bool FileListWindow::Create(HWND owner, settings::AppSettings& appSettings) {
    settings = &appSettings;
    dragging = 0;
    // The class cursor shows only over the splitter strip, the one part of
    // the client area no child covers; the class brush paints the strip.
    if (!Register(ListClassName, IDC_SIZENS, reinterpret_cast<HBRUSH>(COLOR_ACTIVEBORDER + 1)) ||
        !Register(PreviewClassName, IDC_ARROW, nullptr)) {
        return false;
    }
    if (!ui::Window::Create(WS_EX_TOOLWINDOW, ListClassName, "",
                            WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0,
                            0, 200, 200, owner, nullptr)) {
        return false;
    }
    ui::TrimSystemMenu(hwnd);
    dpi = ui::WindowDpi(hwnd);
    if (!CreateToolbar() || !CreateListView() || !previewPane.Create(hwnd)) {
        Destroy();
        return false;
    }
    const SIZE client = ClientSize();
    Layout(client.cx, client.cy);
    RefreshList();
    return true;
}

bool FileListWindow::CreateToolbar() {
    if (!toolbar.Create(0, WS_CHILD | WS_VISIBLE | CCS_NODIVIDER, hwnd, IDC_LIST_TOOLBAR)) {
        return false;
    }
    // Captions right of the images.
    toolbar.ModifyStyle(TBSTYLE_LIST, TRUE);
    toolbar.SetImageStrip(ToolbarStrip, dpi, ListTransparent);
    // The literal's own NUL closes the list with a double NUL.
    const int firstText = toolbar.AddStrings("찾기\0붙이기\0붙이기\0자동\0");
    for (int i = 0; i < ToolbarButtonCount; ++i) {
        toolbar.AddButton(IDT_LIST_FIND + i, i, firstText < 0 ? -1 : firstText + i, TBSTYLE_BUTTON,
                          TBSTATE_ENABLED, 0);
    }
    return true;
}

bool FileListWindow::CreateListView() {
    RECT client = {};
    ClientRect(&client);
    // The window owns the image list (imageList destroys it), so the control
    // must not destroy it too: LVS_SHAREIMAGELISTS.
    if (!listView.CreateControl(WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                                WS_CHILD | WS_VISIBLE | LVS_LIST | LVS_SHOWSELALWAYS |
                                    LVS_SHAREIMAGELISTS,
                                &client, hwnd, IDC_LIST_VIEW)) {
        return false;
    }
    // Without its icons the list still works; nothing to fail for.
    if (imageList.LoadSquares(ui::BitmapForDpi(IconStrip, dpi), ListTransparent)) {
        listView.Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageList.Handle()));
    }
    return true;
}

// Filling and reading the list -----------------------------------------------

void FileListWindow::RefreshList() {
    SetText(settings->ListDir.Data());
    FillList();
}

void FileListWindow::FillList() {
    // The picture shown belongs to the folder being left.
    previewPane.preview.Destroy();
    previewPane.InvalidateAll();
    std::vector<job::ListEntry> entries;
    ListFolder(settings->ListDir.Data(), entries);
    listView.Send(WM_SETREDRAW, FALSE, 0);
    listView.Send(LVM_DELETEALLITEMS, 0, 0);
    listView.Send(LVM_SETITEMCOUNT, entries.size(), 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(entries[i].name.c_str());
        item.iImage = entries[i].kind;
        item.lParam = entries[i].kind;
        listView.Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    FitColumnWidth(entries);
    listView.Send(WM_SETREDRAW, TRUE, 0);
    listView.Invalidate(nullptr, TRUE);
}

void FileListWindow::FitColumnWidth(const std::vector<job::ListEntry>& entries) {
    // A list-mode column keeps the control's default width, which cuts long
    // names short; every column takes the widest name whole.
    if (entries.empty()) {
        return;
    }
    int widest = 0;
    for (const job::ListEntry& entry : entries) {
        const auto width = static_cast<int>(
            listView.Send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(entry.name.c_str())));
        widest = std::max(widest, width);
    }
    const int column = std::min(
        widest + static_cast<int>(imageList.ImageSize().cx) + Scaled(LabelMargins), MaxColumnWidth);
    listView.Send(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(column, 0));
}

int FileListWindow::ItemCount() const {
    return static_cast<int>(listView.Send(LVM_GETITEMCOUNT, 0, 0));
}

std::string FileListWindow::ItemText(int index) const {
    if (index < 0 || index >= ItemCount()) {
        return std::string();
    }
    // A name of 255 UTF-16 units takes at most 765 bytes: the first buffer
    // holds every name a file system gives; growing is for safety only.
    std::vector<char> buffer(1024);
    for (;;) {
        buffer[0] = 0;
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const LRESULT length = listView.Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(&item));
        if (length + 4 < static_cast<LRESULT>(buffer.size()) || buffer.size() >= 65536) {
            return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
        }
        buffer.assign(buffer.size() * 2, 0);
    }
}

int FileListWindow::ItemKind(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (index < 0 || listView.Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) == 0) {
        return -1;
    }
    return static_cast<int>(item.lParam);
}

bool FileListWindow::IsSelected(int index) const {
    return (listView.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

int FileListWindow::NextSelected(int after) const {
    return static_cast<int>(
        listView.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

int FileListWindow::CountImages(bool all) const {
    int count = 0;
    if (all) {
        const int items = ItemCount();
        for (int i = 0; i < items; ++i) {
            count += ItemKind(i) == job::ImageFile ? 1 : 0;
        }
        return count;
    }
    for (int i = NextSelected(-1); i >= 0; i = NextSelected(i)) {
        count += ItemKind(i) == job::ImageFile ? 1 : 0;
    }
    return count;
}

bool FileListWindow::ItemPath(int index, text::String& path) const {
    if (index < 0 || index >= ItemCount()) {
        return false;
    }
    const std::string name = ItemText(index);
    path.Assign(settings->ListDir.Data());
    path.Append("\\");
    path.Append(name.c_str());
    return true;
}

std::vector<job::ListEntry> FileListWindow::Entries() const {
    std::vector<job::ListEntry> entries;
    const int items = ItemCount();
    entries.reserve(static_cast<size_t>(std::max(items, 0)));
    for (int i = 0; i < items; ++i) {
        job::ListEntry entry;
        entry.name = ItemText(i);
        entry.kind = static_cast<job::ListItemKind>(ItemKind(i));
        entry.selected = IsSelected(i);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Preview ---------------------------------------------------------------------

int FileListWindow::PreviewHeight() const {
    return previewPane.WindowSize().cy;
}

void FileListWindow::SetPreviewHeight(int height) {
    const SIZE pane = previewPane.WindowSize();
    previewPane.SetSize(pane.cx, std::max(height, 0));
    const SIZE client = ClientSize();
    Layout(client.cx, client.cy);
}

void FileListWindow::ShowPreview(const char* text) {
    text::String path(511);
    path.Assign(settings->ListDir.Data());
    path.Append("\\");
    path.Append(text);
    image::Image picture;
    if (formats::LoadImageFile(picture, path.Data())) {
        const SIZE pane = previewPane.ClientSize();
        RECT fitted = {0, 0, picture.Width, picture.Height};
        image::FitRect(fitted, pane.cx, pane.cy, true);
        const int width = fitted.right - fitted.left;
        const int height = fitted.bottom - fitted.top;
        if (previewPane.preview.Create(width, height, 24)) {
            picture.StretchTo(previewPane.preview, true);
        } else {
            previewPane.preview.Destroy();
        }
    } else {
        previewPane.preview.Destroy();
    }
    picture.Destroy();
    previewPane.InvalidateAll();
}

// Handlers ----------------------------------------------------------------------

void FileListWindow::Layout(int width, int height) {
    if (toolbar.hwnd == nullptr || listView.hwnd == nullptr || previewPane.hwnd == nullptr) {
        return;
    }
    toolbar.Send(WM_SIZE, 0, 0);
    const int toolbarHeight = toolbar.WindowSize().cy;
    const int previewHeight = previewPane.WindowSize().cy;
    const int listHeight =
        std::max(0, height - previewHeight - toolbarHeight - Scaled(SplitterHeight));
    listView.SetPos(nullptr, 0, toolbarHeight, width, listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    previewPane.SetPos(nullptr, 0, height - previewHeight, width, previewHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    previewPane.InvalidateAll();
}

int FileListWindow::OnSize(WPARAM, UINT width, UINT height) {
    if (previewPane.hwnd == nullptr) {
        // WM_SIZE of the window's own creation, before its children exist.
        return 0;
    }
    Layout(static_cast<int>(width), static_cast<int>(height));
    return 1;
}

int FileListWindow::OnSizing(WPARAM edge, RECT* rect) {
    ui::ClampSizingRect(edge, rect, Scaled(MinWindowSize), Scaled(MinWindowSize));
    return 1;
}

int FileListWindow::OnLButtonDown(WPARAM, UINT x, UINT y) {
    // The children cover everything but the splitter strip.
    SetCapture(hwnd);
    dragX = Signed(x);
    dragY = Signed(y);
    dragging = 1;
    return 1;
}

int FileListWindow::OnMouseMove(WPARAM, UINT x, UINT y) {
    if (!dragging) {
        return 0;
    }
    const int newY = Signed(y);
    const int d = newY - dragY;
    const SIZE list = listView.WindowSize();
    const SIZE pane = previewPane.WindowSize();
    const int listHeight = list.cy + d;
    const int previewHeight = pane.cy - d;
    // A refused step still moves the reference point: the drag goes on from
    // where the mouse is.
    dragX = Signed(x);
    dragY = newY;
    if (listHeight >= Scaled(MinListHeight) && previewHeight >= Scaled(MinPreviewHeight)) {
        listView.SetPos(nullptr, 0, 0, list.cx, listHeight,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const SIZE client = ClientSize();
        previewPane.SetPos(nullptr, 0, client.cy - previewHeight, pane.cx, previewHeight,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        previewPane.InvalidateAll();
    }
    return 1;
}

int FileListWindow::OnLButtonUp(WPARAM, UINT, UINT) {
    if (!dragging) {
        return 0;
    }
    dragging = 0;
    ReleaseCapture();
    return 1;
}

int FileListWindow::OnCaptureChanged(HWND gaining) {
    if (gaining != hwnd) {
        dragging = 0;
    }
    return 0;
}

int FileListWindow::OnClose() {
    // The main window toggles ViewList and hides this window; it is never
    // destroyed by its close box.
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr) {
        SendMessageA(owner, WM_COMMAND, MAKEWPARAM(ViewListCommand, 0), 0);
    }
    return 1;
}

int FileListWindow::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case IDT_LIST_FIND: {
        text::String folder(511);
        if (ui::ChooseFolder(hwnd, "그림폴더를지정", folder, true)) {
            settings->ListDir.Assign(folder.Data());
            RefreshList();
        }
        return 1;
    }
    case IDT_LIST_PASTE_RIGHT:
    case IDT_LIST_PASTE_BELOW:
        if (batchActions != nullptr) {
            batchActions->PasteSelected(hwnd, settings->ListDir.Data(), Entries(),
                                        id == IDT_LIST_PASTE_BELOW);
        }
        return 1;
    case IDT_LIST_BATCH:
        if (batchActions != nullptr) {
            batchActions->RunBatch(hwnd, settings->ListDir.Data(), Entries());
        }
        return 1;
    default:
        return 0;
    }
}

int FileListWindow::OnNotify(WPARAM, NMHDR* header, LRESULT*) {
    if (header == nullptr || header->idFrom != IDC_LIST_VIEW) {
        return 0;
    }
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) != 0 && (change->uNewState & LVIS_FOCUSED) != 0 &&
            (change->uOldState & LVIS_FOCUSED) == 0 && change->iItem >= 0 &&
            ItemKind(change->iItem) == job::ImageFile) {
            ShowPreview(ItemText(change->iItem).c_str());
        }
        break;
    }
    case NM_DBLCLK:
    case NM_RDBLCLK: {
        const int first = NextSelected(-1);
        if (first >= 0) {
            OpenEntry(first, header->code == static_cast<UINT>(NM_RDBLCLK));
        }
        break;
    }
    default:
        break;
    }
    return 1;
}

int FileListWindow::OnDropFiles(HDROP drop) {
    const std::vector<std::string> names = file::DroppedFiles(drop).Names();
    if (names.empty() || settings == nullptr) {
        return 1;
    }
    const std::string& name = names.front();
    const DWORD attributes = GetFileAttributesW(file::WidePath(name.c_str()).Get());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return 1;
    }
    settings->ListDir.Assign(name.c_str());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        settings->ListDir.StripFileName();
    }
    RefreshList();
    return 1;
}

int FileListWindow::Scaled(int length) const {
    return ui::ScaleToDpi(length, dpi);
}

int FileListWindow::FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg != WM_DPICHANGED) {
        return ui::Window::FilterMessage(msg, wParam, lParam, result);
    }
    OnDpiChanged(HIWORD(wParam), lParam);
    *result = 0;
    return 1;
}

void FileListWindow::OnDpiChanged(UINT newDpi, LPARAM suggested) {
    if (newDpi == 0 || toolbar.hwnd == nullptr || listView.hwnd == nullptr) {
        return;
    }
    const UINT oldDpi = dpi;
    dpi = newDpi;
    ui::RescaleFont(toolbar.hwnd, oldDpi, dpi, toolbarFont);
    toolbar.SetImageStrip(ToolbarStrip, dpi, ListTransparent);
    ui::RescaleFont(listView.hwnd, oldDpi, dpi, listFont);
    // The list lets go of its image list before the old one is destroyed,
    // when icons leaves the scope.
    ui::ImageListHandle icons;
    if (icons.LoadSquares(ui::BitmapForDpi(IconStrip, dpi), ListTransparent)) {
        listView.Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons.Handle()));
        imageList.Swap(icons);
    }
    FitColumnWidth(Entries());
    const SIZE pane = previewPane.WindowSize();
    previewPane.SetSize(pane.cx, MulDiv(pane.cy, static_cast<int>(dpi), static_cast<int>(oldDpi)));
    ui::TakeSuggestedRect(hwnd, suggested);
    const SIZE client = ClientSize();
    Layout(client.cx, client.cy);
}

void FileListWindow::OpenEntry(int index, bool below) {
    switch (ItemKind(index)) {
    case job::ParentFolder:
        settings->ListDir.StripFileName();
        RefreshList();
        break;
    case job::Folder: {
        const std::string name = ItemText(index);
        settings->ListDir.Append("\\");
        settings->ListDir.Append(name.c_str());
        RefreshList();
        break;
    }
    case job::ImageFile: {
        text::String path(511);
        if (ItemPath(index, path) && pasteFile) {
            pasteFile(path.Data(), below);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace browser
