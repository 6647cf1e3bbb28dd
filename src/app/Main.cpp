// The entry function: a join from the command line, or the single-instance
// guard and then the program's windows.

#include "app/Application.h"
#include "app/ConsoleOutput.h"
#include "app/JoinCommand.h"
#include "app/Program.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "ui/file/WidePath.h"

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
    // A second copy leaves silently, without touching the first.
    if (!instanceGuard.InitInstance("*Quiltora*", true)) {
        return 0;
    }
    if (settingsPath.IsEmpty() || !program.StartUp(settingsPath.Data())) {
        return 0;
    }
    return program.Run();
}
