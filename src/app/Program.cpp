#include "app/Program.h"

#include "app/ResourceIds.h"
#include "ui/Dpi.h"

#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

namespace app {

namespace {

// Lengths at 96 DPI, scaled to the main window's DPI.
// Where the settings window goes without a saved place: along the main
// window's left edge, this far above its bottom.
constexpr int SettingsAboveBottom = 160;
// Where the file list goes without a saved place: over the main window's
// right end, this wide, from this far below its top to this far below it.
constexpr int ListWidth = 260;
constexpr int ListTop = 50;
constexpr int ListBottom = 350;
// The main window's size without a saved place, centred on the work area.
constexpr int DefaultWidth = 500;
constexpr int DefaultHeight = 400;

} // namespace

Program::Program(image::JoinDocument& document, settings::AppSettings& settings)
    : mainWindow(document, settings), settingsWindow(settings),
      batchRunner(mainWindow.Paster(), settings), settings(settings) {}

Program::~Program() {
    if (oleReady) {
        OleUninitialize();
    }
}

bool Program::StartUp(const char* path) {
    // The shell's folder chooser and ShellExecute need OLE on this thread.
    oleReady = SUCCEEDED(OleInitialize(nullptr));
    settingsPath.Assign(path);
    settings::LoadSettings(path, settings, layout);
    settings::ScaleLayout(layout, static_cast<int>(ui::SystemDpi()), ui::BaseDpi);
    if (!mainWindow.CreateWindows() || !fileListWindow.Create(mainWindow.hwnd, settings) ||
        !settingsWindow.Create(mainWindow.hwnd)) {
        return false;
    }
    mainWindow.BindToolWindows(&fileListWindow, &settingsWindow);
    // A picture double-clicked in the list is pasted as from the main window;
    // several go to the batch runner, whose job runs behind a progress dialog
    // owned by the main window.
    const auto pasteFile = [this](const char* path, bool below) {
        return mainWindow.PastePicture(path, false, below, true, 0);
    };
    fileListWindow.SetPasteFile(pasteFile);
    fileListWindow.SetBatchActions(&batchRunner);
    batchRunner.pasteInteractive = pasteFile;
    batchRunner.refreshView = [this] { mainWindow.RefreshView(); };
    batchRunner.progressOwner = mainWindow.hwnd;
    // Files dropped on the canvas, named on the command line or handed over
    // by a second copy are pasted as the list's selection is.
    DragAcceptFiles(mainWindow.canvas.hwnd, TRUE);
    DragAcceptFiles(fileListWindow.hwnd, TRUE);
    mainWindow.canvas.filesDropped = [this](const std::vector<std::string>& paths, bool below) {
        batchRunner.PasteFiles(paths, below);
    };
    mainWindow.filesHandedOver = [this](std::vector<std::string> paths) {
        batchRunner.PasteFiles(std::move(paths), false);
    };
    mainWindow.SetCloseAction([this] { SaveSettings(); });
    RestoreLayout();
    application.SetModelessDialog(settingsWindow.hwnd);
    return true;
}

void Program::RestoreLayout() {
    UINT showCommand = SW_SHOWNORMAL;
    if (layout.mainPlacement.rcNormalPosition.left == settings::NoPosition) {
        mainWindow.SetSize(Scaled(DefaultWidth), Scaled(DefaultHeight));
        mainWindow.CenterWindow(nullptr);
    } else {
        // Placed hidden: the window is shown once its tool windows are in place.
        WINDOWPLACEMENT placement = layout.mainPlacement;
        showCommand = placement.showCmd;
        placement.showCmd = SW_HIDE;
        mainWindow.SetPlacement(&placement);
        // A place saved on a monitor that is gone comes back onto the screen.
        mainWindow.KeepOnScreen(nullptr);
    }
    RECT main = {};
    GetWindowRect(mainWindow.hwnd, &main);
    PlaceToolWindows(main);

    mainWindow.Show(static_cast<int>(showCommand));
    UpdateWindow(mainWindow.hwnd);
    // The keyboard belongs to the main window at start; its tool windows
    // stay above it, as owned windows do.
    SetActiveWindow(mainWindow.hwnd);
    const std::pair<ui::Window*, bool> tools[] = {{&fileListWindow, settings.ViewList != 0},
                                                  {&settingsWindow, settings.ViewOpt != 0}};
    for (const auto& tool : tools) {
        if (tool.second) {
            tool.first->Show(SW_SHOWNOACTIVATE);
            tool.first->SetPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void Program::PlaceToolWindows(const RECT& main) {
    RECT list = layout.listRect;
    if (list.left == settings::NoPosition) {
        list = {main.right - Scaled(ListWidth), main.top + Scaled(ListTop), main.right,
                main.top + Scaled(ListBottom)};
    }
    fileListWindow.SetPreviewHeight(layout.previewHeight);
    fileListWindow.SetPos(nullptr, list.left, list.top, list.right - list.left,
                          list.bottom - list.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    int x = layout.settingsPos.x;
    int y = layout.settingsPos.y;
    if (x == settings::NoPosition) {
        x = main.left;
        y = main.bottom - Scaled(SettingsAboveBottom);
    }
    settingsWindow.SetPosition(x, y);
    // Places saved on a monitor that is gone come back onto the screen.
    fileListWindow.KeepOnScreen(nullptr);
    settingsWindow.KeepOnScreen(nullptr);
}

int Program::Scaled(int length) const {
    return ui::ScaleToDpi(length, mainWindow.Dpi());
}

int Program::Run() {
    return application.RunMessageLoop(mainWindow.hwnd, IDR_ACCELERATORS);
}

bool Program::SaveSettings() {
    if (settingsPath.IsEmpty()) {
        return false;
    }
    WINDOWPLACEMENT placement = {};
    if (mainWindow.GetPlacement(&placement)) {
        layout.mainPlacement = placement;
    }
    if (fileListWindow.IsBoundWindow()) {
        fileListWindow.GetNormalRect(&layout.listRect);
        layout.previewHeight = fileListWindow.PreviewHeight();
    }
    if (settingsWindow.IsBoundWindow()) {
        int x = 0;
        int y = 0;
        if (settingsWindow.GetNormalPosition(&x, &y)) {
            layout.settingsPos = {x, y};
        }
    }
    settings::StartupLayout saved = layout;
    settings::ScaleLayout(saved, ui::BaseDpi, static_cast<int>(ui::SystemDpi()));
    return settings::SaveSettings(settingsPath.Data(), settings, saved,
                                  settingsWindow.CurrentTab());
}

} // namespace app
