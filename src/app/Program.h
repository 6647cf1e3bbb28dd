#pragma once

#include "app/Application.h"
#include "app/MainWindow.h"
#include "browser/BatchRunner.h"
#include "browser/FileListWindow.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsWindow.h"
#include "win/String.h"

namespace app {

// The whole program: its windows over the one document and settings record,
// the settings file read at start and written when the main window closes.
class Program {
public:
    Program(image::JoinDocument& document, settings::AppSettings& settings);

    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Reads the settings file (its path: settingsPath), creates the windows
    // and shows them as the settings say. False when a window cannot be made.
    bool StartUp(const char* settingsPath);
    // The message loop, until the main window has closed.
    int Run();
    // Writes the settings and the windows' places; the main window's close
    // does it on every ordinary exit.
    bool SaveSettings();

    MainWindow mainWindow;
    browser::FileListWindow fileListWindow;
    settings::SettingsWindow settingsWindow;
    browser::BatchRunner batchRunner;

private:
    // Puts every window where the settings file had it (or in its default
    // place) and shows them as the settings say.
    void RestoreLayout();
    void PlaceToolWindows(const RECT& main);
    // A default length of 96 DPI on the main window's display.
    int Scaled(int length) const;

    Application application;
    settings::AppSettings& settings;
    settings::StartupLayout layout;
    text::String settingsPath;
    bool oleReady = false;
};

} // namespace app
