#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

// Files handed to the main window (by a second copy, or named on the command
// line) wait here until the message loop comes round to them, so that they
// are never pasted inside the sender's SendMessage; files that arrive before
// then join them.
class HandOverQueue {
public:
    // Posted to the window when the first files arrive.
    static constexpr UINT ReadyMessage = WM_APP + 21;

    HandOverQueue() = default;
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;

    void Add(HWND window, std::vector<std::string> paths);
    // On ReadyMessage: everything that has arrived, oldest first.
    std::vector<std::string> Take();

private:
    std::vector<std::string> waiting;
};

} // namespace app
