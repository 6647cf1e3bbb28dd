#include "app/ConsoleOutput.h"

#include "win/WidePath.h"

namespace app {

ConsoleOutput::ConsoleOutput() {
    // Fails when there is no parent console or the handles are already
    // redirected; the standard handles then stay as they are.
    AttachConsole(ATTACH_PARENT_PROCESS);
}

void ConsoleOutput::Line(const std::string& text, bool error) {
    Write(GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text + "\n");
}

void ConsoleOutput::Write(HANDLE handle, const std::string& text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD mode = 0;
    DWORD done = 0;
    if (GetConsoleMode(handle, &mode)) {
        // A console shows UTF-16 whatever its code page.
        const std::wstring wide = file::WideText(text.c_str());
        WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &done, nullptr);
    } else {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    }
}

} // namespace app
