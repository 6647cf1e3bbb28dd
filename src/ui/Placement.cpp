#include "ui/Placement.h"

namespace ui {

namespace {

using SystemMetricsFunction = int(WINAPI*)(int);

// The multi-monitor lookup of the process, made once and never reset.
struct MultiMonitor {
    BOOL present = FALSE;
    SystemMetricsFunction systemMetrics = nullptr;
};

MultiMonitor LookUpMultiMonitor() {
    MultiMonitor state;
    const HMODULE user32 = GetModuleHandleA("USER32");
    if (user32 == nullptr) {
        return state;
    }
    // Only GetSystemMetrics is called; the others just prove that the system
    // knows about several monitors.
    const char* const names[] = {"GetSystemMetrics",   "MonitorFromWindow",   "MonitorFromRect",
                                 "MonitorFromPoint",   "EnumDisplayMonitors", "GetMonitorInfoA",
                                 "EnumDisplayDevicesA"};
    FARPROC first = nullptr;
    for (const char* name : names) {
        const FARPROC address = GetProcAddress(user32, name);
        if (address == nullptr) {
            return state;
        }
        if (first == nullptr) {
            first = address;
        }
    }
    state.present = TRUE;
    state.systemMetrics = reinterpret_cast<SystemMetricsFunction>(reinterpret_cast<void*>(first));
    return state;
}

const MultiMonitor& MultiMonitorState() {
    static const MultiMonitor state = LookUpMultiMonitor();
    return state;
}

bool DraggingLeftEdge(WPARAM edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}

bool DraggingTopEdge(WPARAM edge) {
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}

} // namespace

BOOL InitMultiMonitor() {
    return MultiMonitorState().present;
}

int SingleScreenMetric(int index) {
    switch (index) {
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
        return 0;
    case SM_CXVIRTUALSCREEN:
        return GetSystemMetrics(SM_CXSCREEN);
    case SM_CYVIRTUALSCREEN:
        return GetSystemMetrics(SM_CYSCREEN);
    case SM_CMONITORS:
    case SM_SAMEDISPLAYFORMAT:
        return 1;
    default:
        return GetSystemMetrics(index);
    }
}

int VirtualScreenMetric(int index) {
    if (InitMultiMonitor()) {
        return MultiMonitorState().systemMetrics(index);
    }
    return SingleScreenMetric(index);
}

void GetVirtualScreen(VirtualScreen* screen) {
    screen->x = VirtualScreenMetric(SM_XVIRTUALSCREEN);
    screen->y = VirtualScreenMetric(SM_YVIRTUALSCREEN);
    screen->width = VirtualScreenMetric(SM_CXVIRTUALSCREEN);
    screen->height = VirtualScreenMetric(SM_CYVIRTUALSCREEN);
}

POINT CenteredPosition(const RECT& over, SIZE window, const VirtualScreen& screen) {
    POINT position = {over.left, over.top};
    const LONG overWidth = over.right - over.left;
    const LONG overHeight = over.bottom - over.top;
    if (overWidth > window.cx) {
        position.x += (overWidth - window.cx) / 2;
    }
    if (overHeight > window.cy) {
        position.y += (overHeight - window.cy) / 2;
    }
    return ClampedPosition(position, window, screen);
}

POINT ClampedPosition(POINT position, SIZE window, const VirtualScreen& screen) {
    // Right and bottom first, so that a window larger than the screen keeps
    // its left and top edges on it.
    const LONG right = static_cast<LONG>(screen.x) + screen.width;
    const LONG bottom = static_cast<LONG>(screen.y) + screen.height;
    if (position.x + window.cx > right) {
        position.x = right - window.cx;
    }
    if (position.x < screen.x) {
        position.x = screen.x;
    }
    if (position.y + window.cy > bottom) {
        position.y = bottom - window.cy;
    }
    if (position.y < screen.y) {
        position.y = screen.y;
    }
    return position;
}

void ClampSizingRect(WPARAM edge, RECT* rect, int minWidth, int minHeight) {
    if (rect->right - rect->left < minWidth) {
        if (DraggingLeftEdge(edge)) {
            rect->left = rect->right - minWidth;
        } else {
            rect->right = rect->left + minWidth;
        }
    }
    if (rect->bottom - rect->top < minHeight) {
        if (DraggingTopEdge(edge)) {
            rect->top = rect->bottom - minHeight;
        } else {
            rect->bottom = rect->top + minHeight;
        }
    }
}

void TrimSystemMenu(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return;
    }
    // From the last item down, so that deleting never shifts an item still
    // to be looked at.
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        const UINT id = GetMenuItemID(menu, position);
        if (id != SC_SIZE && id != SC_MOVE && id != SC_CLOSE) {
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
}

} // namespace ui
