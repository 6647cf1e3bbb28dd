#pragma once

#include <windows.h>

// Window placement helpers: the virtual screen (the bounding box of all
// monitors), the arithmetic that keeps a window on it, the minimum size while
// a border is dragged and the trimmed system menu of a tool window. The
// position arithmetic takes the screen as a parameter so that it does not
// depend on the monitors of the machine it runs on.

namespace ui {

// Origin and extent of the virtual screen; the last two fields are a width
// and a height, not a right and bottom edge.
struct VirtualScreen {
    int x;
    int y;
    int width;
    int height;
};

// TRUE when USER32 exports the multi-monitor functions. Looked up once per
// process; later calls return the remembered answer.
BOOL InitMultiMonitor();
// GetSystemMetrics, with single-screen answers for the virtual-screen and
// monitor metrics on a system without multi-monitor support.
int VirtualScreenMetric(int index);
// The answer of VirtualScreenMetric on a system without multi-monitor support.
int SingleScreenMetric(int index);
void GetVirtualScreen(VirtualScreen* screen);

// Top-left corner of a window of the given size centred within `over`, then
// pulled back onto the screen; the left and top edges win when the window is
// larger than the screen.
POINT CenteredPosition(const RECT& over, SIZE window, const VirtualScreen& screen);
// The position moved just enough for the window to lie on the screen, left
// and top edges winning.
POINT ClampedPosition(POINT position, SIZE window, const VirtualScreen& screen);

// For WM_SIZING: grows the rectangle to the minimum size, moving the edge the
// user is dragging and leaving the opposite one in place.
void ClampSizingRect(WPARAM edge, RECT* rect, int minWidth, int minHeight);

// Leaves only Size, Move and Close in the window's system menu.
void TrimSystemMenu(HWND window);

} // namespace ui
