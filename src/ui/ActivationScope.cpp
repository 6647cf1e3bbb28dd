#include "ui/ActivationScope.h"

namespace ui {

ActivationScope::~ActivationScope() {
    // The box may have been the last act of a window that is gone by now.
    if (active == nullptr || !IsWindow(active) || !IsWindowEnabled(active)) {
        return;
    }
    SetActiveWindow(active);
    if (focus != nullptr && IsWindow(focus) && GetAncestor(focus, GA_ROOT) == active) {
        SetFocus(focus);
    }
}

} // namespace ui
