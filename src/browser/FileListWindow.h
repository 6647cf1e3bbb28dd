#pragma once

#include "browser/BatchActions.h"
#include "browser/PreviewPane.h"
#include "job/ListEntry.h"
#include "image/Image.h"
#include "win/ScopedGdi.h"
#include "settings/AppSettings.h"
#include "ui/ControlWindow.h"
#include "ui/ImageListHandle.h"
#include "ui/Toolbar.h"
#include "ui/Window.h"
#include "win/String.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace browser {

// The folder browser tool window, class "Qtora_List": a toolbar, the list of
// the folder in ListDir (parent entry, folders, pictures), a 3-pixel splitter
// strip and the preview pane. Double clicks walk through folders and paste
// pictures through the callback the application sets; the toolbar chooses a
// folder and starts pastes of the selection and batch jobs through the
// BatchActions the application sets. Its close box sends command 40014 to
// the owner, which hides it; the window is never destroyed by the user.
class FileListWindow : public ui::Window {
public:
    // Pastes the picture file at path to the right of the last picture, or
    // below everything; true when it was pasted. The main window's
    // interactive paste.
    using PasteFileCallback = std::function<bool(const char* path, bool below)>;

    // Builds the window (hidden, 200 x 200 at 0,0, owned by owner) and its
    // children, then fills the list from settings.ListDir. Registers the
    // classes "Qtora_List" and, when start-up has not yet, "Qtora_Gen".
    // False if a window cannot be created. settings must outlive the window.
    bool Create(HWND owner, settings::AppSettings& settings);

    void SetPasteFile(PasteFileCallback callback) { pasteFile = std::move(callback); }
    // nullptr: the buttons 2001 to 2003 do nothing.
    void SetBatchActions(BatchActions* actions) { batchActions = actions; }

    // Caption = ListDir, then FillList.
    void RefreshList();
    // Empties the list and the preview pane and fills the list from ListDir
    // (ListFolder's order), its columns as wide as the widest name.
    void FillList();
    // ImageFile entries among all entries (all) or the selected ones.
    int CountImages(bool all) const;
    // ListDir, a backslash and the entry's text; false (path untouched) when
    // there is no such entry.
    bool ItemPath(int index, text::String& path) const;
    int ItemCount() const;
    // The text of an entry, whole; empty when there is no such entry.
    std::string ItemText(int index) const;
    // The entry's ListItemKind, or -1 when there is no such entry.
    int ItemKind(int index) const;
    bool IsSelected(int index) const;
    // The next selected entry after index (-1: from the start), or -1.
    int NextSelected(int after) const;
    // A copy of all entries in list order, with their selection.
    std::vector<job::ListEntry> Entries() const;
    // Height of the preview pane's window rectangle (saved as PrevHeight).
    int PreviewHeight() const;
    // Resizes the preview pane to that height, width unchanged, and lays the
    // window out again.
    void SetPreviewHeight(int height);
    // Loads the picture ListDir\text into the preview pane; the pane turns
    // white when it cannot be loaded.
    void ShowPreview(const char* text);

    int OnClose() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnMouseMove(WPARAM keys, UINT x, UINT y) override;
    int OnLButtonUp(WPARAM keys, UINT x, UINT y) override;
    int OnLButtonDown(WPARAM keys, UINT x, UINT y) override;
    // A drag ends when another window takes the mouse.
    int OnCaptureChanged(HWND gaining) override;
    int OnSize(WPARAM type, UINT width, UINT height) override;
    int OnSizing(WPARAM edge, RECT* rect) override;
    int OnNotify(WPARAM id, NMHDR* header, LRESULT* result) override;
    // A dropped folder opens in the list; a dropped file opens its folder.
    int OnDropFiles(HDROP drop) override;
    // WM_DPICHANGED.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The DPI of the monitor the window is on, which its layout is made for.
    UINT Dpi() const { return dpi; }
    // The splitter's height and the smallest sizes, at that DPI.
    int Scaled(int length) const;

    ui::Toolbar toolbar;
    ui::ImageListHandle imageList;
    int dragging = 0;
    int dragX = 0;
    int dragY = 0;
    PreviewPane previewPane;
    ui::ControlWindow listView;

private:
    bool CreateToolbar();
    bool CreateListView();
    void Layout(int width, int height);
    void FitColumnWidth(const std::vector<job::ListEntry>& entries);
    // Images, fonts and lengths for the new DPI, then the rectangle Windows
    // suggests; the preview keeps its share of the height.
    void OnDpiChanged(UINT newDpi, LPARAM suggested);
    // Walks into a folder entry, up for the parent entry, or pastes a
    // picture entry.
    void OpenEntry(int index, bool below);

    settings::AppSettings* settings = nullptr;
    PasteFileCallback pasteFile;
    BatchActions* batchActions = nullptr;
    UINT dpi = 96;
    // Fonts of the toolbar and the list, made for a DPI other than the one
    // they started at.
    win::GdiObject toolbarFont;
    win::GdiObject listFont;
};

// The file list's window class.
constexpr const char* ListClassName = "Qtora_List";
// The splitter strip between list and preview, and the smallest heights a
// drag leaves the list and the preview, at 96 DPI.
constexpr int SplitterHeight = 3;
constexpr int MinListHeight = 50;
constexpr int MinPreviewHeight = 10;
// The main window's View-menu command that shows and hides the file list.
constexpr UINT ViewListCommand = 40014;

} // namespace browser
