#include "app/StatusBar.h"

#include "ui/Dpi.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace app {

namespace {

// Right edges of the first three parts at 96 DPI; the mark takes the rest.
constexpr int PartEdges[StatusBar::PartCount - 1] = {120, 180, 280};

} // namespace

bool StatusBar::Create(HWND parent, int controlId, UINT windowDpi) {
    // A system class: the object is not bound to the control's messages.
    hwnd = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                           GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    // The control's own font is made for the DPI the process started at.
    dpi = ui::SystemDpi();
    SetDpi(windowDpi);
    return true;
}

void StatusBar::SetDpi(UINT newDpi) {
    ui::RescaleFont(hwnd, dpi, newDpi, font);
    dpi = newDpi;
    int edges[PartCount];
    for (int i = 0; i < PartCount - 1; ++i) {
        edges[i] = ui::ScaleToDpi(PartEdges[i], dpi);
    }
    edges[PartCount - 1] = -1;
    Send(SB_SETPARTS, PartCount, reinterpret_cast<LPARAM>(edges));
    // The height follows the font; WM_SIZE makes the control measure again.
    Send(WM_SIZE, 0, 0);
}

void StatusBar::Update(const StatusInfo& info) {
    std::string texts[PartCount];
    if (info.width != 0) {
        texts[0] = std::to_string(info.width) + " x " + std::to_string(info.height);
    }
    texts[1] = std::to_string(info.zoomPercent) + "%";
    texts[2] = "그림 " + std::to_string(info.pictures) + "장";
    texts[3] = info.changed ? "*" : "";
    for (int i = 0; i < PartCount; ++i) {
        Send(SB_SETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(texts[i].c_str()));
    }
}

std::string StatusBar::PartText(int part) const {
    // The control keeps UTF-16 text and counts its length in UTF-16 units;
    // one unit is at most three bytes of UTF-8.
    const auto length = LOWORD(Send(SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
    std::string text(static_cast<size_t>(length) * 3 + 1, '\0');
    Send(SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(strnlen(text.c_str(), text.size()));
    return text;
}

int StatusBar::VisibleHeight() const {
    // The style, not IsWindowVisible: the parent may be hidden still.
    return hwnd != nullptr && (GetLong(GWL_STYLE) & WS_VISIBLE) != 0 ? WindowSize().cy : 0;
}

} // namespace app
