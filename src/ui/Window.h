#pragma once

#include <windows.h>
#include <shellapi.h>

// Base of every window and dialog the program defines. The framework binds a
// window handle to its object when the window is created and turns each
// message into one virtual handler call with the parameters already split.
//
// Handlers return a verdict: non-zero means handled. A handler that gets
// `result` may set the value the window procedure returns; it starts at 0 for
// every message. The 16-bit halves of wParam and lParam arrive zero-extended
// (an x of -1 arrives as 65535); handlers that need signed values convert the
// word themselves. An exception from a handler stops in the window procedure
// and the message gets default processing.
//
// Window objects outlive their windows and are never allocated by the
// framework. `hwnd` stays as it was after the window is destroyed.

namespace ui {

struct VirtualScreen;

class Window {
public:
    Window() = default;
    virtual ~Window() = default;

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The procedure of every window class the program registers. The object
    // is the creation parameter of CreateWindowExA; it is bound at
    // WM_NCCREATE (WM_CREATE repeats the binding) and kept in GWLP_USERDATA.
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    // Filter, then the handler of the message, then DefaultProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Plain windows: DefWindowProcA when not handled, else the result.
    virtual LRESULT DefaultProc(bool notHandled, LRESULT result, UINT msg, WPARAM wParam,
                                LPARAM lParam);
    // Sees every message first; non-zero returns `result` at once, without any
    // handler or default processing.
    virtual int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Handlers, in dispatch-table order.
    virtual int OnInitDialog(LRESULT* result);
    virtual int OnNcCreate(CREATESTRUCTA* create);
    virtual int OnCreate(CREATESTRUCTA* create);
    virtual int OnClose();
    virtual int OnNcDestroy();
    // The only default that reports handled: WM_DESTROY never reaches
    // DefWindowProcA.
    virtual int OnDestroy();
    virtual int OnEndSession(WPARAM ending);
    virtual int OnInitMenu(HMENU menu);
    virtual int OnInitMenuPopup(HMENU menu, UINT position, UINT systemMenu);
    virtual int OnMenuSelect(UINT item, UINT flags, HMENU menu);
    virtual int OnContextMenu(HWND window, UINT x, UINT y);
    virtual int OnSysChar(WPARAM wParam, LPARAM lParam);
    virtual int OnSysKeyUp(WPARAM wParam, LPARAM lParam);
    virtual int OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    virtual int OnSysCommand(WPARAM command, UINT x, UINT y);
    virtual int OnWindowPosChanging(WINDOWPOS* pos);
    virtual int OnWindowPosChanged(WINDOWPOS* pos);
    virtual int OnDropFiles(HDROP drop);
    virtual int OnTimer(WPARAM timerId);
    virtual int OnCommand(UINT id, UINT code, HWND control);
    virtual int OnNcActivate(WPARAM active);
    virtual int OnActivate(UINT state, HWND other, UINT minimised);
    virtual int OnActivateApp(WPARAM wParam, LPARAM lParam);
    virtual int OnChildActivate();
    virtual int OnEnable(WPARAM enabled);
    virtual int OnEnterIdle(WPARAM wParam, LPARAM lParam);
    virtual int OnKillFocus(HWND next);
    virtual int OnSetFocus(HWND previous);
    virtual int OnShowWindow(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseActivate(HWND topLevel, UINT hitTest, UINT mouseMsg, LRESULT* result);
    virtual int OnNcMouseMove(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcMButtonDblClk(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcMButtonUp(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcMButtonDown(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcLButtonDblClk(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcLButtonUp(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcLButtonDown(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcRButtonDblClk(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcRButtonUp(WPARAM hitTest, UINT x, UINT y);
    virtual int OnNcRButtonDown(WPARAM hitTest, UINT x, UINT y);
    virtual int OnMouseMove(WPARAM keys, UINT x, UINT y);
    virtual int OnMButtonDblClk(WPARAM keys, UINT x, UINT y);
    virtual int OnMButtonUp(WPARAM keys, UINT x, UINT y);
    virtual int OnMButtonDown(WPARAM keys, UINT x, UINT y);
    virtual int OnLButtonDblClk(WPARAM keys, UINT x, UINT y);
    virtual int OnLButtonUp(WPARAM keys, UINT x, UINT y);
    virtual int OnLButtonDown(WPARAM keys, UINT x, UINT y);
    virtual int OnRButtonDblClk(WPARAM keys, UINT x, UINT y);
    virtual int OnRButtonUp(WPARAM keys, UINT x, UINT y);
    virtual int OnRButtonDown(WPARAM keys, UINT x, UINT y);
    virtual int OnSetCursor(HWND window, UINT hitTest, UINT mouseMsg);
    virtual int OnMouseWheel(UINT keys, UINT delta, UINT x, UINT y);
    // The tilt wheel; a positive delta asks to scroll right.
    virtual int OnMouseHWheel(UINT keys, UINT delta, UINT x, UINT y);
    virtual int OnCaptureChanged(HWND gaining);
    virtual int OnMouseLeave();
    virtual int OnMouseHover();
    virtual int OnNcHitTest(UINT x, UINT y, LRESULT* result);
    virtual int OnKeyUp(WPARAM key, LPARAM flags);
    virtual int OnKeyDown(WPARAM key, LPARAM flags);
    virtual int OnChar(WPARAM code, LPARAM flags);
    virtual int OnHotKey(WPARAM id, UINT modifiers, UINT key);
    virtual int OnNcPaint();
    virtual int OnPaint();
    virtual int OnEraseBkgnd(HDC dc, LRESULT* result);
    virtual int OnMeasureItem(MEASUREITEMSTRUCT* item);
    virtual int OnDrawItem(DRAWITEMSTRUCT* item);
    virtual int OnVScroll(UINT request, UINT position, HWND scrollBar);
    virtual int OnHScroll(UINT request, UINT position, HWND scrollBar);
    virtual int OnSize(WPARAM type, UINT width, UINT height);
    virtual int OnSizing(WPARAM edge, RECT* rect);
    virtual int OnMove(UINT x, UINT y);
    virtual int OnMoving(WPARAM edge, RECT* rect);
    virtual int OnNotify(WPARAM id, NMHDR* header, LRESULT* result);
    virtual int OnParentNotify(UINT event, UINT childId, LPARAM lParam);
    // Every message from WM_USER (0x0400) to 0x7FFF; WM_APP and above get
    // default processing.
    virtual int OnUserMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // Registers a class whose procedure is WindowProcedure; the class atom or 0.
    static ATOM RegisterWindowClass(const char* className, HICON icon, HICON smallIcon,
                                    HCURSOR cursor, HBRUSH background, const char* menuName,
                                    UINT classStyle);
    // CreateWindowExA with this object as the creation parameter; TRUE when a
    // window was created. `hwnd` is NULL after a failure.
    BOOL Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId);
    BOOL Destroy();

    // Sets (set non-zero) or clears the style bits; SetWindowLongA's result.
    LONG ModifyStyle(DWORD bits, BOOL set);
    BOOL Invalidate(const RECT* rect, BOOL erase);
    BOOL InvalidateAll();
    BOOL Show(int command);
    BOOL SetText(const char* text);
    BOOL WindowRect(RECT* rect) const;
    BOOL ClientRect(RECT* rect) const;
    SIZE WindowSize() const;
    SIZE ClientSize() const;
    LONG GetLong(int index) const;
    LONG SetLong(int index, LONG value);
    // MoveWindow to the rectangle's left and top with its width and height.
    BOOL MoveTo(const RECT* rect, BOOL repaint);
    BOOL SetPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL SetPosition(int x, int y);
    BOOL SetSize(int cx, int cy);
    // Zero drops the topmost state and still leaves the window above the
    // other normal windows.
    BOOL SetTopmost(BOOL topmost);
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) const;
    BOOL Post(UINT msg, WPARAM wParam, LPARAM lParam) const;

    // Placement. The length field of the structure is set here.
    BOOL GetPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetPlacement(WINDOWPLACEMENT* placement);
    // Left and top (or the whole) of the restored rectangle; FALSE, with the
    // outputs untouched, when the placement cannot be read.
    BOOL GetNormalPosition(int* x, int* y) const;
    BOOL GetNormalRect(RECT* rect) const;
    // Centres over `over` (the primary work area for NULL), then pulls the
    // window back onto the virtual screen, left and top edges winning.
    BOOL CenterWindow(HWND over);
    BOOL CenterWindowWithin(HWND over, const RECT& workArea, const VirtualScreen& screen);
    // Clamps pos->x and pos->y, or with NULL moves the window from its
    // restored position, so that it lies on the virtual screen. Without a
    // readable placement the window stays where it is and FALSE is returned.
    BOOL KeepOnScreen(WINDOWPOS* pos);
    BOOL KeepOnScreenWithin(WINDOWPOS* pos, const VirtualScreen& screen);

    // Whether hwnd still names a live window bound to this object. hwnd keeps
    // a destroyed window's handle, which the system may since have given to
    // another window.
    virtual bool IsBoundWindow() const;

    HWND hwnd = nullptr;

private:
    POINT WorkspaceOrigin() const;
    int Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

} // namespace ui
