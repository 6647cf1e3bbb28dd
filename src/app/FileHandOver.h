#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

// Both ends of handing files from a later copy of the program to the first:
// one WM_COPYDATA message whose data are the paths as UTF-8, each ended by a
// NUL, under a tag of the program's own.
class FileHandOver {
public:
    static constexpr ULONG_PTR Tag = 0x51544F46;

    // Sends the paths to the first copy's main window and waits until it has
    // taken them, however long it is busy, up to timeout milliseconds. A busy
    // window only delays the files. False when they were not taken.
    static bool Send(HWND first, const std::vector<std::string>& paths, UINT timeout);

    // The paths of a hand-over, copied out of the message's data (which live
    // only while it is handled). False when the data are not a hand-over.
    static bool Read(const COPYDATASTRUCT* data, std::vector<std::string>& paths);
};

} // namespace app
