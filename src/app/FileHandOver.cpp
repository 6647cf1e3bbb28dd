#include "app/FileHandOver.h"

namespace app {

bool FileHandOver::Send(HWND first, const std::vector<std::string>& paths, UINT timeout) {
    if (first == nullptr || paths.empty()) {
        return false;
    }
    std::string data;
    for (const std::string& path : paths) {
        data += path;
        data += '\0';
    }
    COPYDATASTRUCT copy = {};
    copy.dwData = Tag;
    copy.cbData = static_cast<DWORD>(data.size());
    copy.lpData = &data[0];
    // Not SMTO_ABORTIFHUNG: a window that has not asked for a message for
    // five seconds counts as hung, and a first copy in the middle of a long
    // paste would lose the files. Its handler only queues them.
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(first, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL,
                               timeout, &answer) != 0 &&
           answer == TRUE;
}

bool FileHandOver::Read(const COPYDATASTRUCT* data, std::vector<std::string>& paths) {
    if (data == nullptr || data->dwData != Tag || data->lpData == nullptr) {
        return false;
    }
    const char* text = static_cast<const char*>(data->lpData);
    for (DWORD at = 0; at < data->cbData;) {
        DWORD end = at;
        while (end < data->cbData && text[end] != 0) {
            ++end;
        }
        if (end > at) {
            paths.emplace_back(text + at, end - at);
        }
        at = end + 1;
    }
    return true;
}

} // namespace app
