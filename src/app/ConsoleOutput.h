#pragma once

#include <windows.h>

#include <string>

namespace app {

// Lines for the console the program was started from. The program is a
// window program: it has no console of its own, so it attaches to its
// parent's; output redirected to a file or pipe goes there as UTF-8.
class ConsoleOutput {
public:
    ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // One line of UTF-8 text (the newline is added) to standard output, or
    // to standard error.
    void Line(const std::string& text, bool error = false);

private:
    void Write(HANDLE handle, const std::string& text);
};

} // namespace app
