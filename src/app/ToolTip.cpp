#include "app/ToolTip.h"

#include <commctrl.h>

namespace app {

bool ToolTip::Create(HWND owner) {
    hwnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, 0, 0, CW_USEDEFAULT, 0,
                           owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    Send(TTM_SETMAXTIPWIDTH, 0, 500);
    return true;
}

bool ToolTip::AddTool(HWND window, UINT_PTR id, HINSTANCE instance, const char* text,
                      const RECT* rect) {
    TOOLINFOA tool = {};
    // The size without the reserved field: common controls 6 accept it, and
    // so do the older versions.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = id;
    if (rect != nullptr) {
        tool.rect = *rect;
    } else {
        GetClientRect(window, &tool.rect);
    }
    tool.hinst = instance;
    tool.lpszText = const_cast<char*>(text);
    return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

} // namespace app
