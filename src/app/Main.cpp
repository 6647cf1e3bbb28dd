// The entry function: the single-instance guard, then the program.

#include "app/Application.h"
#include "app/Program.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"

#include <windows.h>

namespace {

// The program's long-lived objects are globals that outlive their windows.
app::Application instanceGuard;
app::Program program(image::Document(), settings::Settings());

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A second copy leaves silently, without touching the first.
    if (!instanceGuard.InitInstance("*Quiltora*", true)) {
        return 0;
    }
    text::String path;
    if (!settings::SettingsPath(path) || !program.StartUp(path.Data())) {
        return 0;
    }
    return program.Run();
}
