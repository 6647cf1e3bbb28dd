#include "app/Program.h"

#include "app/ResourceIds.h"

#include <ole2.h>

namespace app {

namespace {

// Where the settings window goes without a saved place: along the main
// window's left edge, this far above its bottom.
constexpr int SettingsAboveBottom = 160;
// The main window's size without a saved place, centred on the work area.
constexpr int DefaultWidth = 500;
constexpr int DefaultHeight = 400;

} // namespace

Program::Program(image::JoinDocument& document, settings::AppSettings& settings)
    : mainWindow(document, settings), settingsWindow(settings), settings(settings) {}

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
    if (!mainWindow.CreateWindows() || !settingsWindow.Create(mainWindow.hwnd)) {
        return false;
    }
    mainWindow.BindToolWindows(nullptr, &settingsWindow);
    mainWindow.SetCloseAction([this] { SaveSettings(); });
    RestoreLayout();
    application.SetModelessDialog(settingsWindow.hwnd);
    return true;
}

void Program::RestoreLayout() {
    UINT showCommand = SW_SHOWNORMAL;
    if (layout.mainPlacement.rcNormalPosition.left == settings::NoPosition) {
        mainWindow.SetSize(DefaultWidth, DefaultHeight);
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
    PlaceSettingsWindow(main);

    mainWindow.Show(static_cast<int>(showCommand));
    UpdateWindow(mainWindow.hwnd);
    // The keyboard belongs to the main window at start; its tool windows
    // stay above it, as owned windows do.
    SetActiveWindow(mainWindow.hwnd);
    if (settings.ViewOpt != 0) {
        settingsWindow.Show(SW_SHOWNOACTIVATE);
        settingsWindow.SetPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void Program::PlaceSettingsWindow(const RECT& main) {
    int x = layout.settingsPos.x;
    int y = layout.settingsPos.y;
    if (x == settings::NoPosition) {
        x = main.left;
        y = main.bottom - SettingsAboveBottom;
    }
    settingsWindow.SetPosition(x, y);
    settingsWindow.KeepOnScreen(nullptr);
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
    if (settingsWindow.IsBoundWindow()) {
        int x = 0;
        int y = 0;
        if (settingsWindow.GetNormalPosition(&x, &y)) {
            layout.settingsPos = {x, y};
        }
    }
    return settings::SaveSettings(settingsPath.Data(), settings, layout,
                                  settingsWindow.CurrentTab());
}

} // namespace app
