// The entry function: the single-instance guard, the windows, the message loop.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ResourceIds.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"

#include <windows.h>

namespace {

// The program's long-lived objects are globals that outlive their windows.
app::Application application;
app::MainWindow mainWindow(image::Document(), settings::Settings());

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A second copy leaves silently, without touching the first.
    if (!application.InitInstance("*Quiltora*", true)) {
        return 0;
    }
    if (!mainWindow.CreateWindows()) {
        return 0;
    }
    mainWindow.ShowDefault();
    return application.RunMessageLoop(mainWindow.hwnd, IDR_ACCELERATORS);
}
