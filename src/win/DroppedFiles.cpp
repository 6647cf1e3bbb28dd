#include "win/DroppedFiles.h"

#include "win/WidePath.h"

namespace file {

std::vector<std::string> DroppedFiles::Names() const {
    std::vector<std::string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The length asked for first leaves out the terminating NUL.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        if (DragQueryFileW(drop, i, &name[0], length + 1) == length && length > 0) {
            names.push_back(NarrowText(name.c_str(), static_cast<int>(length)));
        }
    }
    return names;
}

} // namespace file
