// The entry function: a join from the command line, or the single-instance
// guard and then the program's windows.

#include "app/Application.h"
#include "app/ConsoleOutput.h"
#include "app/FileHandOver.h"
#include "app/JoinCommand.h"
#include "app/Program.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "win/WidePath.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The program's long-lived objects are globals that outlive their windows.
app::Application instanceGuard;
app::Program program(image::Document(), settings::Settings());

// The arguments after the program's name, as UTF-8 text of any script.
std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; list != nullptr && i < count; ++i) {
        arguments.push_back(file::NarrowText(list[i]));
    }
    LocalFree(list);
    return arguments;
}

// The paths as whole paths: the first copy of the program, which may paste
// them, has a current folder of its own.
std::vector<std::string> FullPaths(const std::vector<std::string>& arguments) {
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        const std::wstring name = file::WideText(argument.c_str());
        const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
        std::wstring full(length + 1, L'\0');
        const DWORD written =
            length == 0 ? 0 : GetFullPathNameW(name.c_str(), length + 1, &full[0], nullptr);
        paths.push_back(written == 0 || written > length
                            ? argument
                            : file::NarrowText(full.c_str(), static_cast<int>(written)));
    }
    return paths;
}

constexpr const char* InstanceName = "*Quiltora*";
// How long a later copy waits for the first to make its window, and for the
// first to take the files while it is busy (a long paste does not pump
// messages): a slow first copy only delays the files.
constexpr DWORD ReadyTimeout = 120000;
constexpr UINT HandOverTimeout = 15 * 60 * 1000;

// Sends the files to the first copy's main window, which pastes them.
void HandOver(const std::vector<std::string>& paths) {
    if (!paths.empty() && app::Application::WaitUntilReady(InstanceName, ReadyTimeout)) {
        app::FileHandOver::Send(FindWindowA(app::MainClassName, nullptr), paths, HandOverTimeout);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    text::String settingsPath;
    settings::SettingsPath(settingsPath);
    const std::vector<std::string> arguments = Arguments();
    if (app::IsJoinCommand(arguments)) {
        app::ConsoleOutput console;
        app::JoinCommand join(
            [&console](const std::string& line, bool error) { console.Line(line, error); });
        return join.Run(arguments, settingsPath.Data());
    }
    // A second copy leaves silently, handing the files it was given (by
    // "Open with" or "Send to") to the first once that one is ready.
    if (!instanceGuard.InitInstance(InstanceName, true)) {
        HandOver(FullPaths(arguments));
        return 0;
    }
    if (settingsPath.IsEmpty() || !program.StartUp(settingsPath.Data())) {
        return 0;
    }
    // The copy's own files come before any handed over.
    program.mainWindow.HandOverFiles(FullPaths(arguments));
    instanceGuard.AnnounceReady(InstanceName);
    return program.Run();
}
