#include "ui/Window.h"

#include "ui/Placement.h"

namespace ui {

namespace {

// The halves of a message parameter, zero-extended: handlers receive the
// 16-bit words unsigned.
UINT Lo(WPARAM value) {
    return static_cast<UINT>(value & 0xFFFF);
}
UINT Hi(WPARAM value) {
    return static_cast<UINT>((value >> 16) & 0xFFFF);
}
UINT Lo(LPARAM value) {
    return Lo(static_cast<WPARAM>(value));
}
UINT Hi(LPARAM value) {
    return Hi(static_cast<WPARAM>(value));
}

// One entry per message that has a handler: the message and how its
// parameters are split for the handler.
struct Route {
    UINT msg;
    int (*call)(Window& w, WPARAM wp, LPARAM lp, LRESULT* r);
};

const Route routes[] = {
    {WM_INITDIALOG, [](Window& w, WPARAM, LPARAM, LRESULT* r) { return w.OnInitDialog(r); }},
    {WM_NCCREATE, [](Window& w, WPARAM, LPARAM lp,
                     LRESULT*) { return w.OnNcCreate(reinterpret_cast<CREATESTRUCTA*>(lp)); }},
    {WM_CREATE, [](Window& w, WPARAM, LPARAM lp,
                   LRESULT*) { return w.OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp)); }},
    {WM_CLOSE, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnClose(); }},
    {WM_NCDESTROY, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnNcDestroy(); }},
    {WM_DESTROY, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnDestroy(); }},
    {WM_ENDSESSION, [](Window& w, WPARAM wp, LPARAM, LRESULT*) { return w.OnEndSession(wp); }},
    {WM_INITMENU, [](Window& w, WPARAM wp, LPARAM,
                     LRESULT*) { return w.OnInitMenu(reinterpret_cast<HMENU>(wp)); }},
    {WM_INITMENUPOPUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) {
         return w.OnInitMenuPopup(reinterpret_cast<HMENU>(wp), Lo(lp), Hi(lp));
     }},
    {WM_MENUSELECT,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) {
         return w.OnMenuSelect(Lo(wp), Hi(wp), reinterpret_cast<HMENU>(lp));
     }},
    {WM_CONTEXTMENU,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) {
         return w.OnContextMenu(reinterpret_cast<HWND>(wp), Lo(lp), Hi(lp));
     }},
    {WM_SYSCHAR, [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnSysChar(wp, lp); }},
    {WM_SYSKEYUP, [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnSysKeyUp(wp, lp); }},
    {WM_SYSKEYDOWN,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnSysKeyDown(wp, lp); }},
    {WM_SYSCOMMAND,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnSysCommand(wp, Lo(lp), Hi(lp)); }},
    {WM_WINDOWPOSCHANGING,
     [](Window& w, WPARAM, LPARAM lp, LRESULT*) {
         return w.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lp));
     }},
    {WM_WINDOWPOSCHANGED,
     [](Window& w, WPARAM, LPARAM lp, LRESULT*) {
         return w.OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lp));
     }},
    {WM_DROPFILES, [](Window& w, WPARAM wp, LPARAM,
                      LRESULT*) { return w.OnDropFiles(reinterpret_cast<HDROP>(wp)); }},
    {WM_TIMER, [](Window& w, WPARAM wp, LPARAM, LRESULT*) { return w.OnTimer(wp); }},
    {WM_COMMAND, [](Window& w, WPARAM wp, LPARAM lp,
                    LRESULT*) { return w.OnCommand(Lo(wp), Hi(wp), reinterpret_cast<HWND>(lp)); }},
    {WM_NCACTIVATE, [](Window& w, WPARAM wp, LPARAM, LRESULT*) { return w.OnNcActivate(wp); }},
    {WM_ACTIVATE,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) {
         return w.OnActivate(Lo(wp), reinterpret_cast<HWND>(lp), Hi(wp));
     }},
    {WM_ACTIVATEAPP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnActivateApp(wp, lp); }},
    {WM_CHILDACTIVATE, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnChildActivate(); }},
    {WM_ENABLE, [](Window& w, WPARAM wp, LPARAM, LRESULT*) { return w.OnEnable(wp); }},
    {WM_ENTERIDLE, [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnEnterIdle(wp, lp); }},
    {WM_KILLFOCUS, [](Window& w, WPARAM wp, LPARAM,
                      LRESULT*) { return w.OnKillFocus(reinterpret_cast<HWND>(wp)); }},
    {WM_SETFOCUS, [](Window& w, WPARAM wp, LPARAM,
                     LRESULT*) { return w.OnSetFocus(reinterpret_cast<HWND>(wp)); }},
    {WM_SHOWWINDOW,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnShowWindow(wp, lp); }},
    {WM_MOUSEACTIVATE,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT* r) {
         return w.OnMouseActivate(reinterpret_cast<HWND>(wp), Lo(lp), Hi(lp), r);
     }},
    {WM_NCMOUSEMOVE,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnNcMouseMove(wp, Lo(lp), Hi(lp)); }},
    {WM_NCMBUTTONDBLCLK, [](Window& w, WPARAM wp, LPARAM lp,
                            LRESULT*) { return w.OnNcMButtonDblClk(wp, Lo(lp), Hi(lp)); }},
    {WM_NCMBUTTONUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnNcMButtonUp(wp, Lo(lp), Hi(lp)); }},
    {WM_NCMBUTTONDOWN, [](Window& w, WPARAM wp, LPARAM lp,
                          LRESULT*) { return w.OnNcMButtonDown(wp, Lo(lp), Hi(lp)); }},
    {WM_NCLBUTTONDBLCLK, [](Window& w, WPARAM wp, LPARAM lp,
                            LRESULT*) { return w.OnNcLButtonDblClk(wp, Lo(lp), Hi(lp)); }},
    {WM_NCLBUTTONUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnNcLButtonUp(wp, Lo(lp), Hi(lp)); }},
    {WM_NCLBUTTONDOWN, [](Window& w, WPARAM wp, LPARAM lp,
                          LRESULT*) { return w.OnNcLButtonDown(wp, Lo(lp), Hi(lp)); }},
    {WM_NCRBUTTONDBLCLK, [](Window& w, WPARAM wp, LPARAM lp,
                            LRESULT*) { return w.OnNcRButtonDblClk(wp, Lo(lp), Hi(lp)); }},
    {WM_NCRBUTTONUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnNcRButtonUp(wp, Lo(lp), Hi(lp)); }},
    {WM_NCRBUTTONDOWN, [](Window& w, WPARAM wp, LPARAM lp,
                          LRESULT*) { return w.OnNcRButtonDown(wp, Lo(lp), Hi(lp)); }},
    {WM_MOUSEMOVE,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnMouseMove(wp, Lo(lp), Hi(lp)); }},
    {WM_MBUTTONDBLCLK, [](Window& w, WPARAM wp, LPARAM lp,
                          LRESULT*) { return w.OnMButtonDblClk(wp, Lo(lp), Hi(lp)); }},
    {WM_MBUTTONUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnMButtonUp(wp, Lo(lp), Hi(lp)); }},
    {WM_MBUTTONDOWN,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnMButtonDown(wp, Lo(lp), Hi(lp)); }},
    {WM_LBUTTONDBLCLK, [](Window& w, WPARAM wp, LPARAM lp,
                          LRESULT*) { return w.OnLButtonDblClk(wp, Lo(lp), Hi(lp)); }},
    {WM_LBUTTONUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnLButtonUp(wp, Lo(lp), Hi(lp)); }},
    {WM_LBUTTONDOWN,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnLButtonDown(wp, Lo(lp), Hi(lp)); }},
    {WM_RBUTTONDBLCLK, [](Window& w, WPARAM wp, LPARAM lp,
                          LRESULT*) { return w.OnRButtonDblClk(wp, Lo(lp), Hi(lp)); }},
    {WM_RBUTTONUP,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnRButtonUp(wp, Lo(lp), Hi(lp)); }},
    {WM_RBUTTONDOWN,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnRButtonDown(wp, Lo(lp), Hi(lp)); }},
    {WM_SETCURSOR,
     [](Window& w, WPARAM wp, LPARAM lp,
        LRESULT*) { return w.OnSetCursor(reinterpret_cast<HWND>(wp), Lo(lp), Hi(lp)); }},
    {WM_MOUSEWHEEL, [](Window& w, WPARAM wp, LPARAM lp,
                       LRESULT*) { return w.OnMouseWheel(Lo(wp), Hi(wp), Lo(lp), Hi(lp)); }},
    {WM_MOUSEHWHEEL, [](Window& w, WPARAM wp, LPARAM lp,
                        LRESULT*) { return w.OnMouseHWheel(Lo(wp), Hi(wp), Lo(lp), Hi(lp)); }},
    {WM_CAPTURECHANGED, [](Window& w, WPARAM, LPARAM lp,
                           LRESULT*) { return w.OnCaptureChanged(reinterpret_cast<HWND>(lp)); }},
    {WM_MOUSELEAVE, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnMouseLeave(); }},
    {WM_MOUSEHOVER, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnMouseHover(); }},
    {WM_NCHITTEST,
     [](Window& w, WPARAM, LPARAM lp, LRESULT* r) { return w.OnNcHitTest(Lo(lp), Hi(lp), r); }},
    {WM_KEYUP, [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnKeyUp(wp, lp); }},
    {WM_KEYDOWN, [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnKeyDown(wp, lp); }},
    {WM_CHAR, [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnChar(wp, lp); }},
    {WM_HOTKEY,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnHotKey(wp, Lo(lp), Hi(lp)); }},
    {WM_NCPAINT, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnNcPaint(); }},
    {WM_PAINT, [](Window& w, WPARAM, LPARAM, LRESULT*) { return w.OnPaint(); }},
    {WM_ERASEBKGND, [](Window& w, WPARAM wp, LPARAM,
                       LRESULT* r) { return w.OnEraseBkgnd(reinterpret_cast<HDC>(wp), r); }},
    {WM_MEASUREITEM,
     [](Window& w, WPARAM, LPARAM lp,
        LRESULT*) { return w.OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)); }},
    {WM_DRAWITEM, [](Window& w, WPARAM, LPARAM lp,
                     LRESULT*) { return w.OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)); }},
    {WM_VSCROLL, [](Window& w, WPARAM wp, LPARAM lp,
                    LRESULT*) { return w.OnVScroll(Lo(wp), Hi(wp), reinterpret_cast<HWND>(lp)); }},
    {WM_HSCROLL, [](Window& w, WPARAM wp, LPARAM lp,
                    LRESULT*) { return w.OnHScroll(Lo(wp), Hi(wp), reinterpret_cast<HWND>(lp)); }},
    {WM_SIZE,
     [](Window& w, WPARAM wp, LPARAM lp, LRESULT*) { return w.OnSize(wp, Lo(lp), Hi(lp)); }},
    {WM_SIZING, [](Window& w, WPARAM wp, LPARAM lp,
                   LRESULT*) { return w.OnSizing(wp, reinterpret_cast<RECT*>(lp)); }},
    {WM_MOVE, [](Window& w, WPARAM, LPARAM lp, LRESULT*) { return w.OnMove(Lo(lp), Hi(lp)); }},
    {WM_MOVING, [](Window& w, WPARAM wp, LPARAM lp,
                   LRESULT*) { return w.OnMoving(wp, reinterpret_cast<RECT*>(lp)); }},
    {WM_NOTIFY, [](Window& w, WPARAM wp, LPARAM lp,
                   LRESULT* r) { return w.OnNotify(wp, reinterpret_cast<NMHDR*>(lp), r); }},
    {WM_PARENTNOTIFY, [](Window& w, WPARAM wp, LPARAM lp,
                         LRESULT*) { return w.OnParentNotify(Lo(wp), Hi(wp), lp); }},
};

} // namespace

LRESULT CALLBACK Window::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* object = nullptr;
    if (msg == WM_NCCREATE || msg == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        object = static_cast<Window*>(create->lpCreateParams);
        if (object != nullptr) {
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
            object->hwnd = window;
        }
    } else {
        object = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (object == nullptr) {
        return DefWindowProcA(window, msg, wParam, lParam);
    }
    try {
        return object->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // A handler that could not finish leaves the message to the system.
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

bool Window::IsBoundWindow() const {
    return hwnd != nullptr && IsWindow(hwnd) &&
           GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (FilterMessage(msg, wParam, lParam, &result) != 0) {
        return result;
    }
    const int verdict = Dispatch(msg, wParam, lParam, &result);
    return DefaultProc(verdict == 0, result, msg, wParam, lParam);
}

int Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const Route& route : routes) {
        if (route.msg == msg) {
            return route.call(*this, wParam, lParam, result);
        }
    }
    if (msg >= WM_USER && msg <= 0x7FFF) {
        return OnUserMessage(msg, wParam, lParam);
    }
    return 0;
}

LRESULT Window::DefaultProc(bool notHandled, LRESULT result, UINT msg, WPARAM wParam,
                            LPARAM lParam) {
    if (notHandled) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return result;
}

int Window::FilterMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return 0;
}

int Window::OnInitDialog(LRESULT*) {
    return 0;
}
int Window::OnNcCreate(CREATESTRUCTA*) {
    return 0;
}
int Window::OnCreate(CREATESTRUCTA*) {
    return 0;
}
int Window::OnClose() {
    return 0;
}
int Window::OnNcDestroy() {
    return 0;
}
int Window::OnDestroy() {
    return 1;
}
int Window::OnEndSession(WPARAM) {
    return 0;
}
int Window::OnInitMenu(HMENU) {
    return 0;
}
int Window::OnInitMenuPopup(HMENU, UINT, UINT) {
    return 0;
}
int Window::OnMenuSelect(UINT, UINT, HMENU) {
    return 0;
}
int Window::OnContextMenu(HWND, UINT, UINT) {
    return 0;
}
int Window::OnSysChar(WPARAM, LPARAM) {
    return 0;
}
int Window::OnSysKeyUp(WPARAM, LPARAM) {
    return 0;
}
int Window::OnSysKeyDown(WPARAM, LPARAM) {
    return 0;
}
int Window::OnSysCommand(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnWindowPosChanging(WINDOWPOS*) {
    return 0;
}
int Window::OnWindowPosChanged(WINDOWPOS*) {
    return 0;
}
int Window::OnDropFiles(HDROP) {
    return 0;
}
int Window::OnTimer(WPARAM) {
    return 0;
}
int Window::OnCommand(UINT, UINT, HWND) {
    return 0;
}
int Window::OnNcActivate(WPARAM) {
    return 0;
}
int Window::OnActivate(UINT, HWND, UINT) {
    return 0;
}
int Window::OnActivateApp(WPARAM, LPARAM) {
    return 0;
}
int Window::OnChildActivate() {
    return 0;
}
int Window::OnEnable(WPARAM) {
    return 0;
}
int Window::OnEnterIdle(WPARAM, LPARAM) {
    return 0;
}
int Window::OnKillFocus(HWND) {
    return 0;
}
int Window::OnSetFocus(HWND) {
    return 0;
}
int Window::OnShowWindow(WPARAM, LPARAM) {
    return 0;
}
int Window::OnMouseActivate(HWND, UINT, UINT, LRESULT*) {
    return 0;
}
int Window::OnNcMouseMove(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcMButtonDblClk(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcMButtonUp(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcMButtonDown(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcLButtonDblClk(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcLButtonUp(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcLButtonDown(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcRButtonDblClk(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcRButtonUp(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcRButtonDown(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnMouseMove(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnMButtonDblClk(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnMButtonUp(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnMButtonDown(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnLButtonDblClk(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnLButtonUp(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnLButtonDown(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnRButtonDblClk(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnRButtonUp(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnRButtonDown(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnSetCursor(HWND, UINT, UINT) {
    return 0;
}
int Window::OnMouseWheel(UINT, UINT, UINT, UINT) {
    return 0;
}
int Window::OnMouseHWheel(UINT, UINT, UINT, UINT) {
    return 0;
}
int Window::OnCaptureChanged(HWND) {
    return 0;
}
int Window::OnMouseLeave() {
    return 0;
}
int Window::OnMouseHover() {
    return 0;
}
int Window::OnNcHitTest(UINT, UINT, LRESULT*) {
    return 0;
}
int Window::OnKeyUp(WPARAM, LPARAM) {
    return 0;
}
int Window::OnKeyDown(WPARAM, LPARAM) {
    return 0;
}
int Window::OnChar(WPARAM, LPARAM) {
    return 0;
}
int Window::OnHotKey(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnNcPaint() {
    return 0;
}
int Window::OnPaint() {
    return 0;
}
int Window::OnEraseBkgnd(HDC, LRESULT*) {
    return 0;
}
int Window::OnMeasureItem(MEASUREITEMSTRUCT*) {
    return 0;
}
int Window::OnDrawItem(DRAWITEMSTRUCT*) {
    return 0;
}
int Window::OnVScroll(UINT, UINT, HWND) {
    return 0;
}
int Window::OnHScroll(UINT, UINT, HWND) {
    return 0;
}
int Window::OnSize(WPARAM, UINT, UINT) {
    return 0;
}
int Window::OnSizing(WPARAM, RECT*) {
    return 0;
}
int Window::OnMove(UINT, UINT) {
    return 0;
}
int Window::OnMoving(WPARAM, RECT*) {
    return 0;
}
int Window::OnNotify(WPARAM, NMHDR*, LRESULT*) {
    return 0;
}
int Window::OnParentNotify(UINT, UINT, LPARAM) {
    return 0;
}
int Window::OnUserMessage(UINT, WPARAM, LPARAM) {
    return 0;
}

ATOM Window::RegisterWindowClass(const char* className, HICON icon, HICON smallIcon, HCURSOR cursor,
                                 HBRUSH background, const char* menuName, UINT classStyle) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszMenuName = menuName;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = smallIcon;
    return RegisterClassExA(&windowClass);
}

BOOL Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId) {
    // WM_NCCREATE binds the handle already; a creation that is refused after
    // that must not leave the dead handle behind, so the result is stored too.
    hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                           GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

BOOL Window::Destroy() {
    return DestroyWindow(hwnd);
}

LONG Window::ModifyStyle(DWORD bits, BOOL set) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    style = set ? (style | bits) : (style & ~bits);
    return SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
}

BOOL Window::Invalidate(const RECT* rect, BOOL erase) {
    return InvalidateRect(hwnd, rect, erase);
}

BOOL Window::InvalidateAll() {
    return InvalidateRect(hwnd, nullptr, FALSE);
}

BOOL Window::Show(int command) {
    return ShowWindow(hwnd, command);
}

BOOL Window::SetText(const char* text) {
    return SetWindowTextA(hwnd, text);
}

BOOL Window::WindowRect(RECT* rect) const {
    return GetWindowRect(hwnd, rect);
}

BOOL Window::ClientRect(RECT* rect) const {
    return GetClientRect(hwnd, rect);
}

SIZE Window::WindowSize() const {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE Window::ClientSize() const {
    RECT rect = {};
    GetClientRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LONG Window::GetLong(int index) const {
    return GetWindowLongA(hwnd, index);
}

LONG Window::SetLong(int index, LONG value) {
    return SetWindowLongA(hwnd, index, value);
}

BOOL Window::MoveTo(const RECT* rect, BOOL repaint) {
    return MoveWindow(hwnd, rect->left, rect->top, rect->right - rect->left,
                      rect->bottom - rect->top, repaint);
}

BOOL Window::SetPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
}

BOOL Window::SetPosition(int x, int y) {
    return SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

BOOL Window::SetSize(int cx, int cy) {
    return SetWindowPos(hwnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE);
}

BOOL Window::SetTopmost(BOOL topmost) {
    if (topmost) {
        return SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    // HWND_NOTOPMOST drops the topmost state and places the window above all
    // normal windows in one step. (Sending it to HWND_BOTTOM first does not
    // drop the state under Wine.)
    return SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

LRESULT Window::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(hwnd, msg, wParam, lParam);
}

BOOL Window::Post(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return PostMessageA(hwnd, msg, wParam, lParam);
}

BOOL Window::GetPlacement(WINDOWPLACEMENT* placement) const {
    placement->length = sizeof(WINDOWPLACEMENT);
    return GetWindowPlacement(hwnd, placement);
}

BOOL Window::SetPlacement(WINDOWPLACEMENT* placement) {
    placement->length = sizeof(WINDOWPLACEMENT);
    return SetWindowPlacement(hwnd, placement);
}

BOOL Window::GetNormalPosition(int* x, int* y) const {
    WINDOWPLACEMENT placement = {};
    if (!GetPlacement(&placement)) {
        return FALSE;
    }
    *x = placement.rcNormalPosition.left;
    *y = placement.rcNormalPosition.top;
    return TRUE;
}

BOOL Window::GetNormalRect(RECT* rect) const {
    WINDOWPLACEMENT placement = {};
    if (!GetPlacement(&placement)) {
        return FALSE;
    }
    *rect = placement.rcNormalPosition;
    return TRUE;
}

BOOL Window::CenterWindow(HWND over) {
    RECT workArea = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    VirtualScreen screen = {};
    GetVirtualScreen(&screen);
    return CenterWindowWithin(over, workArea, screen);
}

BOOL Window::CenterWindowWithin(HWND over, const RECT& workArea, const VirtualScreen& screen) {
    RECT target = workArea;
    if (over != nullptr) {
        GetWindowRect(over, &target);
    }
    const POINT position = CenteredPosition(target, WindowSize(), screen);
    return SetPosition(position.x, position.y);
}

BOOL Window::KeepOnScreen(WINDOWPOS* pos) {
    VirtualScreen screen = {};
    GetVirtualScreen(&screen);
    return KeepOnScreenWithin(pos, screen);
}

BOOL Window::KeepOnScreenWithin(WINDOWPOS* pos, const VirtualScreen& screen) {
    const SIZE size = WindowSize();
    if (pos != nullptr) {
        const POINT position = ClampedPosition(POINT{pos->x, pos->y}, size, screen);
        pos->x = position.x;
        pos->y = position.y;
        return TRUE;
    }
    // Without the restored position there is nothing sound to clamp; the
    // window stays where it is.
    RECT normal = {};
    if (!GetNormalRect(&normal)) {
        return FALSE;
    }
    const POINT offset = WorkspaceOrigin();
    const POINT position =
        ClampedPosition(POINT{normal.left + offset.x, normal.top + offset.y}, size, screen);
    return SetPosition(position.x, position.y);
}

POINT Window::WorkspaceOrigin() const {
    // The restored rectangle of a top-level window that is not a tool window
    // is in workspace coordinates: relative to its monitor's work area, which
    // differs from the screen when the taskbar sits at the left or the top.
    POINT origin = {0, 0};
    if ((GetLong(GWL_STYLE) & WS_CHILD) != 0 || (GetLong(GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) {
        return origin;
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        origin.x = monitor.rcWork.left - monitor.rcMonitor.left;
        origin.y = monitor.rcWork.top - monitor.rcMonitor.top;
    }
    return origin;
}

} // namespace ui
