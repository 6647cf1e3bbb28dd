#pragma once

#include "app/StatusBar.h"
#include "app/ClipboardWatch.h"
#include "app/HandOverQueue.h"
#include "app/ToolTip.h"
#include "ui/Toolbar.h"
#include "browser/PasteCommand.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "ui/Window.h"
#include "view/CanvasView.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace app {

// The top-level window of class "Quiltora": menu, toolbar, canvas and status
// bar. It turns
// every menu command, accelerator and toolbar button into an action on the
// document or the settings, keeps the title showing the canvas size and the
// View menu's check marks in step with the settings.
//
// The file list and settings windows are separate objects reached only as
// Windows through BindToolWindows; until they are bound, toggling them changes
// only the flag and the check marks.
class MainWindow : public ui::Window {
public:
    MainWindow(image::JoinDocument& document, settings::AppSettings& settings);

    // Registers the classes, creates the window (hidden), its toolbar and
    // canvas; false at the first step that fails.
    bool CreateWindows();
    void BindToolWindows(ui::Window* fileList, ui::Window* settingsWindow);
    // Runs when the window is closed the ordinary way (close box, Alt+F4,
    // "종료(&X)"), while every window still exists: the settings are saved.
    // A picture changed since it was last saved is only given up after the
    // user agreed; declining keeps the window and skips the action.
    // Windows shutting down asks nothing: WM_QUERYENDSESSION is never held.
    void SetCloseAction(std::function<void()> action) { closeAction = std::move(action); }

    int OnClose() override;
    int OnDestroy() override;
    // A session that ends keeps what a close keeps, without a question.
    int OnEndSession(WPARAM ending) override;
    int OnInitMenuPopup(HMENU menu, UINT position, UINT systemMenu) override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnSize(WPARAM type, UINT width, UINT height) override;
    // WM_CLIPBOARDUPDATE while the clipboard is watched; WM_COPYDATA with
    // files a second copy of the program hands over.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // While on, every picture another program puts on the clipboard is
    // pasted to the right, wrapping at All_Width. Off at every start.
    void SetClipboardWatch(bool on);
    bool ClipboardWatch() const { return clipboardWatch.IsOn(); }

    // Files to paste to the right once the message loop comes round to them
    // (named on the command line, or handed over by a second copy); they go
    // to filesHandedOver.
    void HandOverFiles(std::vector<std::string> paths);
    std::function<void(std::vector<std::string> paths)> filesHandedOver;
    // The wheel goes to the window with the focus; the canvas scrolls for it.
    int OnMouseWheel(UINT keys, UINT delta, UINT x, UINT y) override;
    int OnMouseHWheel(UINT keys, UINT delta, UINT x, UINT y) override;

    // The paste command of the user interface: acquires a picture (clipboard,
    // the named file, or one chosen in the open dialog), pastes it through
    // Paster and, when interactive, reports failures and refreshes the view.
    // True when a picture was pasted. User-interface thread only.
    bool PastePicture(const char* fileName, bool fromClipboard, bool below, bool interactive,
                      int wrapWidth);
    void NewDocument();
    // format: 0 BMP, 1 PNG, 2 JPEG, 3 WebP. A picture WebP cannot hold is
    // refused, with a warning, before the dialog opens.
    void SaveAs(int format);
    // Shows the document after it changed, which makes it unsaved.
    void RefreshView();
    void UpdateTitle();
    // Canvas size, zoom, pictures and the unsaved mark, as they are now.
    void UpdateStatus();
    void ZoomIn();
    void ZoomOut();

    // The paste shared with the file list and the batch worker.
    browser::PasteCommand& Paster() { return paster; }

    ui::Toolbar toolbar;
    ToolTip toolTip;
    view::CanvasView canvas;
    StatusBar statusBar;

    // The DPI of the monitor the window is on, which its layout is made for.
    UINT Dpi() const { return dpi; }

private:
    bool CreateToolbar();
    // Toolbar, canvas and status bar over a client area of that size.
    void LayOut(int width, int height);
    // WM_DPICHANGED: images, steps and parts for the new DPI, then the
    // rectangle Windows suggests.
    void OnDpiChanged(UINT newDpi, LPARAM suggested);
    // The tooltips' rectangles over the toolbar's buttons as they lie now.
    void PlaceToolTips();
    void ShowStatusBar(bool shown);
    // Interactive acquisitions report a file that cannot be read, by name. A
    // file read only in part (cut short) is named in damagedFile.
    bool AcquirePicture(image::Image& picture, const char* fileName, bool fromClipboard,
                        bool interactive, std::string& damagedFile);
    void ToggleToolWindow(int command, std::uint16_t& flag, ui::Window* window);
    void SetScale(int scale);
    void OnClipboardUpdate();
    // Copy: the picture as a bitmap and as PNG (see formats::ClipboardPicture).
    void CopyPicture();
    // The clipboard's picture for a paste, its transparency over BkColor.
    bool ReadClipboardPicture(image::Image& picture) const;
    void PasteWatchedPicture(std::shared_ptr<image::Image> picture);
    // Greys the saves and Copy while the picture is empty and Undo while
    // there is nothing to take back, in menu (when given) and on the toolbar.
    void UpdateCommandStates(HMENU menu);
    // Changed since the last successful save, and not empty. A copy does not
    // count: the clipboard keeps it only until another program copies.
    bool HasUnsavedPicture() const;

    image::JoinDocument& document;
    settings::AppSettings& settings;
    browser::PasteCommand paster;
    std::function<void()> closeAction;
    ui::Window* fileListWindow = nullptr;
    ui::Window* settingsWindow = nullptr;
    app::ClipboardWatch clipboardWatch;
    HandOverQueue handedOver;
    bool changed = false;
    UINT dpi = 96;
};

// Class names the program registers.
constexpr const char* MainClassName = "Quiltora";
constexpr const char* GeneralClassName = "Qtora_Gen";

} // namespace app
