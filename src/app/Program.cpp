#include "app/Program.h"

#include "app/ResourceIds.h"

namespace app {

namespace {

// Where the settings window goes without a saved place: along the main
// window's left edge, this far above its bottom.
constexpr int SettingsAboveBottom = 160;

} // namespace

Program::Program(image::JoinDocument& document, settings::AppSettings& settings)
    : mainWindow(document, settings), settingsWindow(settings), settings(settings) {}

bool Program::StartUp(const char* path) {
    settingsPath.Assign(path);
    settings::LoadSettings(path, settings, layout);
    if (!mainWindow.CreateWindows() || !settingsWindow.Create(mainWindow.hwnd)) {
        return false;
    }
    mainWindow.BindToolWindows(nullptr, &settingsWindow);
    mainWindow.SetCloseAction([this] { SaveSettings(); });
    mainWindow.ShowDefault();
    PlaceSettingsWindow();
    // The keyboard belongs to the main window at start; its tool window stays
    // above it, as an owned window does.
    SetActiveWindow(mainWindow.hwnd);
    if (settings.ViewOpt != 0) {
        settingsWindow.Show(SW_SHOWNOACTIVATE);
        settingsWindow.SetPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    application.SetModelessDialog(settingsWindow.hwnd);
    return true;
}

void Program::PlaceSettingsWindow() {
    int x = layout.settingsPos.x;
    int y = layout.settingsPos.y;
    if (x == settings::NoPosition) {
        RECT main = {};
        GetWindowRect(mainWindow.hwnd, &main);
        x = main.left;
        y = main.bottom - SettingsAboveBottom;
    }
    settingsWindow.SetPosition(x, y);
    // A place saved on a monitor that is gone comes back onto the screen.
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
