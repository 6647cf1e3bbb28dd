#include "app/HandOverQueue.h"

#include <utility>

namespace app {

void HandOverQueue::Add(HWND window, std::vector<std::string> paths) {
    if (paths.empty()) {
        return;
    }
    const bool posted = !waiting.empty();
    waiting.insert(waiting.end(), std::make_move_iterator(paths.begin()),
                   std::make_move_iterator(paths.end()));
    if (!posted) {
        PostMessageA(window, ReadyMessage, 0, 0);
    }
}

std::vector<std::string> HandOverQueue::Take() {
    std::vector<std::string> paths;
    paths.swap(waiting);
    return paths;
}

} // namespace app
