#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace file {

// The names a WM_DROPFILES carries, as UTF-8, and the drop handle's end: the
// window that receives the message owns the handle and must finish it.
class DroppedFiles {
public:
    // Takes the handle; DragFinish frees it when the object goes.
    explicit DroppedFiles(HDROP drop) : drop(drop) {}
    ~DroppedFiles() { DragFinish(drop); }
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;

    // Read with the wide function: a name in any script survives.
    std::vector<std::string> Names() const;

private:
    HDROP drop;
};

} // namespace file
