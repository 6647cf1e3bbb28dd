#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/FileHandOver.h"
#include "app/ResourceIds.h"
#include "browser/JobReport.h"
#include "formats/BmpWriter.h"
#include "formats/ClipboardPicture.h"
#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/PngWriter.h"
#include "formats/WebpWriter.h"
#include "ui/CommonDialogs.h"
#include "ui/Dpi.h"
#include "win/String.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>

namespace app {

namespace {

constexpr int ToolbarControlId = 5000;
constexpr int StatusBarControlId = 5003;
constexpr COLORREF ToolbarTransparent = RGB(0, 255, 0);
constexpr ui::ScaledBitmap ToolbarStrip = {IDB_TOOLBAR, IDB_TOOLBAR_150, IDB_TOOLBAR_200};

// The main toolbar's nineteen entries; command 0 is a separator. A button's
// image index is the number of buttons before it.
struct ToolbarEntry {
    int command;
    BYTE style;
};
constexpr ToolbarEntry ToolbarEntries[] = {
    {IDM_NEW, BTNS_BUTTON},
    {IDM_SAVE_BMP, BTNS_BUTTON},
    {IDM_SAVE_PNG, BTNS_BUTTON},
    {IDM_SAVE_JPEG, BTNS_BUTTON},
    {IDM_SAVE_WEBP, BTNS_BUTTON},
    {0, BTNS_SEP},
    {IDM_UNDO, BTNS_BUTTON},
    {IDM_COPY, BTNS_BUTTON},
    {0, BTNS_SEP},
    {IDM_PASTE_RIGHT, BTNS_BUTTON},
    {IDM_PASTE_BELOW, BTNS_BUTTON},
    {IDM_CLIP_RIGHT, BTNS_BUTTON},
    {IDM_CLIP_BELOW, BTNS_BUTTON},
    {0, BTNS_SEP},
    {IDM_VIEW_LIST, BTNS_CHECK},
    {IDM_VIEW_SETTINGS, BTNS_CHECK},
    {0, BTNS_SEP},
    {IDT_ZOOM_IN, BTNS_BUTTON},
    {IDT_ZOOM_OUT, BTNS_BUTTON},
};

// False, after telling the user, when a picture is too large for WebP.
bool WebpCanHold(int width, int height) {
    if (width <= formats::kWebpMaxSide && height <= formats::kWebpMaxSide) {
        return true;
    }
    const std::string text =
        "WebP는 가로와 세로가 " + std::to_string(formats::kWebpMaxSide) +
        " 픽셀까지만 저장할 수 있습니다\n(지금 그림: " + std::to_string(width) + " x " +
        std::to_string(height) + ")";
    ui::WarningBox(text.c_str());
    return false;
}

// Registering a class a second time (a second main window in one process, as
// tests make) finds it already there, which is as good as registering it.
bool Register(const char* name, HICON icon, HICON smallIcon, const char* menu) {
    if (ui::Window::RegisterWindowClass(name, icon, smallIcon, LoadCursor(nullptr, IDC_ARROW),
                                        nullptr, menu, 0) != 0) {
        return true;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Shared icons belong to the system, which loads each size once however many
// windows register or ask again; a class keeps its icons for the whole run.
HICON LoadProgramIcon(int size) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILTORA),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

// Shows the wait cursor while a picture is read or written on this thread,
// then puts back the cursor that was showing. No messages are handled
// meanwhile, so nothing sets another cursor in between.
class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous;
};

// The part of a path after its last separator.
const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != 0; ++at) {
        if (*at == '\\' || *at == '/') {
            name = at + 1;
        }
    }
    return name;
}

} // namespace

MainWindow::MainWindow(image::JoinDocument& document, settings::AppSettings& settings)
    : canvas(document, settings), document(document), settings(settings),
      paster(document, settings) {}

bool MainWindow::CreateWindows() {
    if (!Register(MainClassName, LoadProgramIcon(32), LoadProgramIcon(16),
                  MAKEINTRESOURCEA(IDR_MAINMENU)) ||
        !Register(GeneralClassName, nullptr, nullptr, nullptr)) {
        return false;
    }
    if (!Create(0, MainClassName, "Quiltora", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 200, 200,
                nullptr, nullptr)) {
        return false;
    }
    dpi = ui::WindowDpi(hwnd);
    if (!CreateToolbar() || !canvas.Create(hwnd) ||
        !statusBar.Create(hwnd, StatusBarControlId, dpi)) {
        return false;
    }
    canvas.zoomSteps = [this](int steps) {
        for (; steps > 0; --steps) {
            ZoomIn();
        }
        for (; steps < 0; ++steps) {
            ZoomOut();
        }
    };
    canvas.SetDpi(dpi);
    ShowStatusBar(settings.StatusBar != 0);
    UpdateCommandStates(GetMenu(hwnd));
    UpdateStatus();
    return true;
}

bool MainWindow::CreateToolbar() {
    if (!toolbar.Create(0, WS_CHILD | WS_VISIBLE, hwnd, ToolbarControlId)) {
        return false;
    }
    toolbar.ModifyStyle(TBSTYLE_FLAT, TRUE);
    toolbar.SetImageStrip(ToolbarStrip, dpi, ToolbarTransparent);
    int image = 0;
    for (const ToolbarEntry& entry : ToolbarEntries) {
        const bool separator = entry.command == 0;
        toolbar.AddButton(entry.command, separator ? 0 : image++, -1, entry.style, TBSTATE_ENABLED,
                          0);
    }
    if (!toolTip.Create(hwnd)) {
        return false;
    }
    text::String tips(255);
    tips.LoadFromResource(IDS_TOOLTIPS);
    const int tipsLength = tips.Length();
    tips.ReplaceChar('/', 0);
    const char* tip = tips.Data();
    const char* tipsEnd = tips.Data() + tipsLength;
    int index = 0;
    for (const ToolbarEntry& entry : ToolbarEntries) {
        if (entry.command != 0 && tip < tipsEnd) {
            RECT rect = {};
            toolbar.GetItemRect(index, &rect);
            toolTip.AddTool(toolbar.hwnd, static_cast<UINT_PTR>(entry.command), nullptr, tip,
                            &rect);
            tip += lstrlenA(tip) + 1;
        }
        ++index;
    }
    toolbar.SetToolTips(toolTip.hwnd);
    toolbar.CheckButton(IDM_VIEW_LIST, settings.ViewList);
    toolbar.CheckButton(IDM_VIEW_SETTINGS, settings.ViewOpt);
    return true;
}

void MainWindow::BindToolWindows(ui::Window* fileList, ui::Window* settingsWin) {
    fileListWindow = fileList;
    settingsWindow = settingsWin;
}

int MainWindow::OnClose() {
    if (HasUnsavedPicture() &&
        ui::MessageBoxTopmost("저장하지 않은 이미지가 있습니다. 종료하시겠습니까", "종료",
                              MB_YESNO | MB_ICONQUESTION) == IDNO) {
        return 1;
    }
    if (closeAction) {
        closeAction();
    }
    Destroy();
    return 1;
}

int MainWindow::OnEndSession(WPARAM ending) {
    // Windows ends the process after this message without a WM_CLOSE: what an
    // ordinary close keeps (settings, window places) is kept now. Nothing is
    // asked; the session is going whatever the answer.
    if (ending != FALSE && closeAction) {
        closeAction();
    }
    return 1;
}

int MainWindow::OnDestroy() {
    SetClipboardWatch(false);
    document.Clear();
    PostQuitMessage(0);
    return 1;
}

int MainWindow::OnInitMenuPopup(HMENU menu, UINT position, UINT systemMenu) {
    if (systemMenu != 0) {
        return 0;
    }
    // Items not in this popup are left alone by EnableMenuItem.
    UpdateCommandStates(menu);
    // Only the View popup (the fourth) carries check marks.
    if (position != 3) {
        return 1;
    }
    const auto mark = [menu](UINT id, bool checked) {
        CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    };
    mark(IDM_VIEW_LIST, settings.ViewList != 0);
    mark(IDM_VIEW_SETTINGS, settings.ViewOpt != 0);
    mark(IDM_ZOOM_25, settings.Scale == 1);
    mark(IDM_ZOOM_50, settings.Scale == 2);
    mark(IDM_ZOOM_75, settings.Scale == 3);
    mark(IDM_ZOOM_100, settings.Scale == 4);
    mark(IDM_ZOOM_200, settings.Scale == 8);
    mark(IDM_CLIPBOARD_WATCH, clipboardWatch.IsOn());
    mark(IDM_VIEW_STATUSBAR, settings.StatusBar != 0);
    return 1;
}

int MainWindow::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case IDM_NEW:
        NewDocument();
        break;
    case IDM_SAVE_BMP:
        SaveAs(0);
        break;
    case IDM_SAVE_PNG:
        SaveAs(1);
        break;
    case IDM_SAVE_JPEG:
        SaveAs(2);
        break;
    case IDM_SAVE_WEBP:
        SaveAs(3);
        break;
    case IDM_EXIT:
        Send(WM_CLOSE, 0, 0);
        break;
    case IDM_UNDO:
        if (document.Undo()) {
            RefreshView();
        }
        break;
    case IDM_COPY:
        CopyPicture();
        break;
    case IDM_PASTE_RIGHT:
    case IDM_PASTE_BELOW:
        PastePicture(nullptr, false, id == IDM_PASTE_BELOW, true, 0);
        break;
    case IDM_CLIP_RIGHT:
    case IDM_CLIP_BELOW:
        PastePicture(nullptr, true, id == IDM_CLIP_BELOW, true, 0);
        break;
    case IDM_VIEW_LIST:
        ToggleToolWindow(IDM_VIEW_LIST, settings.ViewList, fileListWindow);
        break;
    case IDM_VIEW_SETTINGS:
        ToggleToolWindow(IDM_VIEW_SETTINGS, settings.ViewOpt, settingsWindow);
        break;
    case IDM_ZOOM_25:
    case IDM_ZOOM_50:
    case IDM_ZOOM_75:
    case IDM_ZOOM_100:
        SetScale(static_cast<int>(id) - (IDM_ZOOM_25 - 1));
        break;
    case IDM_ZOOM_200:
        SetScale(8);
        break;
    case IDT_ZOOM_IN:
        ZoomIn();
        break;
    case IDT_ZOOM_OUT:
        ZoomOut();
        break;
    case IDM_CLIPBOARD_WATCH:
        SetClipboardWatch(!clipboardWatch.IsOn());
        break;
    case IDM_VIEW_STATUSBAR:
        ShowStatusBar(settings.StatusBar == 0);
        break;
    case IDM_ABOUT: {
        AboutDialog about;
        about.DoModal(IDD_ABOUT, hwnd);
        break;
    }
    default:
        return 0;
    }
    return 1;
}

int MainWindow::OnSize(WPARAM, UINT width, UINT height) {
    LayOut(static_cast<int>(width), static_cast<int>(height));
    return 1;
}

void MainWindow::LayOut(int width, int height) {
    // The toolbar and the status bar size themselves to the parent's width
    // and stick to its top and bottom; the canvas takes what is between.
    toolbar.Send(WM_SIZE, 0, 0);
    statusBar.Send(WM_SIZE, 0, 0);
    const int top = toolbar.WindowSize().cy;
    const int canvasHeight = height - top - statusBar.VisibleHeight();
    canvas.SetPos(nullptr, 0, top, width, canvasHeight > 0 ? canvasHeight : 0,
                  SWP_NOZORDER | SWP_NOACTIVATE);
    canvas.UpdateScrollRanges();
}

void MainWindow::OnDpiChanged(UINT newDpi, LPARAM suggested) {
    if (newDpi == 0) {
        return;
    }
    dpi = newDpi;
    toolbar.SetImageStrip(ToolbarStrip, dpi, ToolbarTransparent);
    canvas.SetDpi(dpi);
    statusBar.SetDpi(dpi);
    ui::TakeSuggestedRect(hwnd, suggested);
    // A suggested rectangle of the same size sends no WM_SIZE.
    const SIZE client = ClientSize();
    LayOut(client.cx, client.cy);
    PlaceToolTips();
}

void MainWindow::PlaceToolTips() {
    int index = 0;
    for (const ToolbarEntry& entry : ToolbarEntries) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = toolbar.hwnd;
        tool.uId = static_cast<UINT_PTR>(entry.command);
        if (entry.command != 0 && toolbar.GetItemRect(index, &tool.rect)) {
            toolTip.Send(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
        ++index;
    }
}

void MainWindow::ShowStatusBar(bool shown) {
    settings.StatusBar = shown ? 1 : 0;
    statusBar.Show(shown ? SW_SHOWNA : SW_HIDE);
    const SIZE client = ClientSize();
    LayOut(client.cx, client.cy);
}

void MainWindow::UpdateStatus() {
    StatusInfo info;
    {
        image::JoinDocument::ReadGuard guard(document);
        info.width = document.width;
        info.height = document.height;
        info.pictures = static_cast<int>(document.UndoRecords().size());
    }
    info.zoomPercent = (settings.Scale == 0 ? 4 : settings.Scale) * 25;
    info.changed = HasUnsavedPicture();
    statusBar.Update(info);
}

int MainWindow::OnMouseWheel(UINT keys, UINT delta, UINT x, UINT y) {
    canvas.Send(WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(x, y));
    return 1;
}

int MainWindow::OnMouseHWheel(UINT keys, UINT delta, UINT x, UINT y) {
    canvas.Send(WM_MOUSEHWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(x, y));
    return 1;
}

void MainWindow::CopyPicture() {
    // The document is held only while its pixels are copied and encoded:
    // the clipboard's owner may be a window that waits for the document.
    formats::ClipboardPicture copy;
    {
        WaitCursor wait;
        image::JoinDocument::ReadGuard guard(document);
        copy.Take(document.picture);
    }
    // A copy does not make the picture saved: the next program to copy
    // anything replaces it on the clipboard.
    if (copy.Put(hwnd)) {
        clipboardWatch.NoteOwnCopy();
    }
}

bool MainWindow::ReadClipboardPicture(image::Image& picture) const {
    return formats::ClipboardPicture::Read(picture, static_cast<std::uint32_t>(settings.BkColor));
}

bool MainWindow::AcquirePicture(image::Image& picture, const char* fileName, bool fromClipboard,
                                bool interactive, std::string& damagedFile) {
    if (fromClipboard) {
        if (!ReadClipboardPicture(picture)) {
            ui::WarningBox("クリップボード画像の読み込みに失敗");
            return false;
        }
        return true;
    }
    text::String chosen(511);
    const bool fromDialog = fileName == nullptr;
    if (fromDialog) {
        text::String filter(255);
        filter.LoadFromResource(IDS_OPEN_FILTER);
        filter.ReplaceChar('\t', 0);
        if (!ui::ChooseOpenFile(hwnd, filter.Data(), "bmp", nullptr, true, false, chosen)) {
            return false;
        }
        fileName = chosen.Data();
    }
    bool loaded;
    bool damaged = false;
    {
        WaitCursor wait;
        loaded = formats::LoadImageFile(picture, fileName,
                                        static_cast<std::uint32_t>(settings.BkColor), &damaged);
    }
    if (loaded && damaged) {
        damagedFile = fileName;
    }
    if (!loaded && interactive) {
        // The message names the file on a line of its own: the user may have
        // chosen it long ago or in another window.
        const std::string text = std::string("画像の読み込みに失敗\n") + FileNameOf(fileName);
        ui::WarningBox(text.c_str());
    }
    return loaded;
}

bool MainWindow::PastePicture(const char* fileName, bool fromClipboard, bool below,
                              bool interactive, int wrapWidth) {
    // A file asked for during a job (a double click in the file list, a file
    // handed over) is pasted when the job ends, not refused.
    if (fileName != nullptr && !fromClipboard && paster.JobRunning()) {
        paster.Defer([this, path = std::string(fileName), below, interactive, wrapWidth] {
            PastePicture(path.c_str(), false, below, interactive, wrapWidth);
        });
        return false;
    }
    image::Image picture;
    std::string damagedFile;
    if (!AcquirePicture(picture, fileName, fromClipboard, interactive, damagedFile)) {
        return false;
    }
    const browser::PasteCommand::Result result = paster.PastePicture(picture, below, wrapWidth);
    // A job's pictures are not interleaved with others: the paste is refused.
    if (result == browser::PasteCommand::Result::Busy) {
        return false;
    }
    if (result != browser::PasteCommand::Result::Pasted) {
        if (interactive) {
            ui::WarningBox("イメージの作成に失敗");
        }
        return false;
    }
    changed = true;
    if (interactive) {
        RefreshView();
        image::CellRect pasted;
        {
            image::JoinDocument::ReadGuard guard(document);
            pasted = document.lastCell;
        }
        canvas.ScrollIntoView(pasted);
        // A file cut short is pasted as far as it goes; the user is told,
        // as a job tells of its damaged files.
        if (!damagedFile.empty()) {
            browser::JobReport report;
            report.AddDamaged(damagedFile);
            report.Show();
        }
    } else {
        UpdateCommandStates(GetMenu(hwnd));
        UpdateStatus();
    }
    return true;
}

void MainWindow::NewDocument() {
    // Only a picture changed since its last save is worth a question; a
    // saved one is on disk already and an empty canvas has nothing to lose.
    if (HasUnsavedPicture() &&
        ui::MessageBoxTopmost("현재 이미지는 삭제 됩니다 계속 하시겠습니까", "새로작성",
                              MB_YESNO | MB_ICONQUESTION) == IDNO) {
        return;
    }
    document.Clear();
    RefreshView();
    changed = false;
    UpdateStatus();
}

void MainWindow::SaveAs(int format) {
    static const char* const extensions[] = {"bmp", "png", "jpg", "webp"};
    static const unsigned filters[] = {IDS_SAVE_FILTER_BMP, IDS_SAVE_FILTER_PNG,
                                       IDS_SAVE_FILTER_JPEG, IDS_SAVE_FILTER_WEBP};
    if (format < 0 || format > 3) {
        return;
    }
    int width;
    int height;
    {
        image::JoinDocument::ReadGuard guard(document);
        if (document.IsEmpty()) {
            return;
        }
        width = document.width;
        height = document.height;
    }
    if (format == 3 && !WebpCanHold(width, height)) {
        return;
    }
    text::String filter(63);
    filter.LoadFromResource(filters[format]);
    filter.ReplaceChar('\t', 0);
    text::String path(511);
    if (!ui::ChooseSaveFile(hwnd, filter.Data(), extensions[format], nullptr, true, true, path)) {
        return;
    }
    bool saved = false;
    {
        WaitCursor wait;
        image::JoinDocument::ReadGuard guard(document);
        const image::Image& picture = document.picture;
        switch (format) {
        case 0:
            saved = formats::SaveBmp(picture, path.Data());
            break;
        case 1:
            saved = formats::SavePng(picture, path.Data());
            break;
        case 2:
            saved = formats::SaveJpeg(picture, path.Data(), settings.JPEGQuality,
                                      (settings.JPEGProg & 0xFFFF) != 0);
            break;
        default:
            saved = formats::SaveWebp(picture, path.Data(), settings.JPEGQuality,
                                      settings.WebPLossless != 0);
            break;
        }
    }
    // The writers never leave a partial file nor damage an existing one, but
    // the user must know that nothing was saved.
    if (!saved) {
        ui::WarningBox("画像の保存に失敗");
        return;
    }
    changed = false;
    UpdateStatus();
}

void MainWindow::RefreshView() {
    changed = true;
    UpdateTitle();
    UpdateCommandStates(GetMenu(hwnd));
    canvas.UpdateScrollRanges();
    UpdateStatus();
}

void MainWindow::UpdateTitle() {
    int width;
    int height;
    {
        image::JoinDocument::ReadGuard guard(document);
        width = document.width;
        height = document.height;
    }
    if (width == 0) {
        SetText("Quiltora");
        return;
    }
    char title[64];
    wsprintfA(title, "Quiltora - ( %d x %d )", width, height);
    SetText(title);
}

void MainWindow::ToggleToolWindow(int command, std::uint16_t& flag, ui::Window* window) {
    flag ^= 1;
    toolbar.CheckButton(command, flag);
    // A tool window destroyed for good is never shown or hidden through a
    // handle that may name another window by now.
    if (window != nullptr && window->IsBoundWindow()) {
        window->Show(flag != 0 ? SW_SHOWNORMAL : SW_HIDE);
    }
}

int MainWindow::FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), lParam);
        *result = 0;
        return 1;
    case WM_CLIPBOARDUPDATE:
        OnClipboardUpdate();
        *result = 0;
        return 1;
    case WM_COPYDATA: {
        std::vector<std::string> paths;
        if (!FileHandOver::Read(reinterpret_cast<const COPYDATASTRUCT*>(lParam), paths)) {
            return 0;
        }
        HandOverFiles(std::move(paths));
        *result = TRUE;
        return 1;
    }
    case HandOverQueue::ReadyMessage: {
        std::vector<std::string> paths = handedOver.Take();
        if (filesHandedOver && !paths.empty()) {
            filesHandedOver(std::move(paths));
        }
        return 1;
    }
    default:
        return 0;
    }
}

void MainWindow::HandOverFiles(std::vector<std::string> paths) {
    handedOver.Add(hwnd, std::move(paths));
}

void MainWindow::SetClipboardWatch(bool on) {
    clipboardWatch.Set(hwnd, on);
}

void MainWindow::OnClipboardUpdate() {
    if (!clipboardWatch.IsOthersChange(hwnd)) {
        return;
    }
    // Text and other data go by; a picture is pasted without a word, as the
    // user is busy in another program (a clipboard still held open by its
    // writer is simply not read).
    auto picture = std::make_shared<image::Image>();
    if (!ReadClipboardPicture(*picture)) {
        return;
    }
    PasteWatchedPicture(std::move(picture));
}

void MainWindow::PasteWatchedPicture(std::shared_ptr<image::Image> picture) {
    // The clipboard is read now, while it holds the picture; during a job the
    // paste waits for the job's end.
    if (paster.JobRunning()) {
        paster.Defer([this, picture] { PasteWatchedPicture(picture); });
        return;
    }
    if (paster.PastePicture(*picture, false, settings.All_Width) ==
        browser::PasteCommand::Result::Pasted) {
        RefreshView();
    }
}

void MainWindow::SetScale(int scale) {
    settings.Scale = static_cast<std::uint16_t>(scale);
    canvas.UpdateScrollRanges();
    UpdateCommandStates(GetMenu(hwnd));
    UpdateStatus();
}

void MainWindow::UpdateCommandStates(HMENU menu) {
    bool hasPicture;
    bool canUndo;
    {
        image::JoinDocument::ReadGuard guard(document);
        hasPicture = !document.IsEmpty();
        canUndo = !document.UndoRecords().empty();
    }
    // The zoom steps end at 25 % (Scale 1) and 200 % (Scale 8).
    const std::pair<UINT, bool> states[] = {{IDM_SAVE_BMP, hasPicture},
                                            {IDM_SAVE_PNG, hasPicture},
                                            {IDM_SAVE_JPEG, hasPicture},
                                            {IDM_SAVE_WEBP, hasPicture},
                                            {IDM_COPY, hasPicture},
                                            {IDM_UNDO, canUndo},
                                            {IDT_ZOOM_IN, settings.Scale < 8},
                                            {IDT_ZOOM_OUT, settings.Scale > 1}};
    for (const auto& [command, enabled] : states) {
        if (menu != nullptr) {
            EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        }
        toolbar.Send(TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    }
}

bool MainWindow::HasUnsavedPicture() const {
    image::JoinDocument::ReadGuard guard(document);
    return changed && !document.IsEmpty();
}

void MainWindow::ZoomIn() {
    if (settings.Scale > 4) {
        return;
    }
    SetScale(settings.Scale == 4 ? 8 : settings.Scale + 1);
}

void MainWindow::ZoomOut() {
    if (settings.Scale < 2) {
        return;
    }
    SetScale(settings.Scale == 8 ? 4 : settings.Scale - 1);
}

} // namespace app
