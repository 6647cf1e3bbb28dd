#include "support/TestWindows.h"

#include "ui/ControlWindow.h"
#include "ui/Window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

using testsupport::CreateTopLevel;
using testsupport::WindowGuard;

namespace {

// A handler's arguments widened to 64 bits.
using Args = std::vector<std::uint64_t>;

struct Call {
    std::string name;
    Args args;
};

template <typename T> std::uint64_t Arg(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<std::uintptr_t>(value);
    } else {
        return static_cast<std::uint64_t>(value);
    }
}

// Records what the handlers receive. Handlers answer `verdict` and write
// `written` through the result pointers they get.
class RecordingWindow : public ui::Window {
public:
    struct DefaultCall {
        bool notHandled;
        LRESULT result;
        UINT msg;
    };

    std::vector<Call> calls;
    std::vector<UINT> filtered;
    std::vector<DefaultCall> defaults;
    int verdict = 1;
    // Handled WM_NCCREATE aborts the creation.
    int ncCreateVerdict = 0;
    LRESULT written = 0;
    UINT filterMsg = 0;
    LRESULT filterResult = 0;
    bool throwOnCommand = false;
    HWND hwndAtNcCreate = nullptr;
    LONG_PTR userDataAtNcCreate = 0;

    // Arguments of the last call of that handler; empty when it was not called.
    Args ArgsOf(const char* name) const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
            if (it->name == name) {
                return it->args;
            }
        }
        return {};
    }

    LRESULT DefaultProc(bool notHandled, LRESULT result, UINT msg, WPARAM wParam,
                        LPARAM lParam) override {
        defaults.push_back({notHandled, result, msg});
        return Window::DefaultProc(notHandled, result, msg, wParam, lParam);
    }
    int FilterMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
        filtered.push_back(msg);
        if (filterMsg != 0 && msg == filterMsg) {
            *result = filterResult;
            return 1;
        }
        return 0;
    }
    int OnNcCreate(CREATESTRUCTA* create) override {
        hwndAtNcCreate = hwnd;
        userDataAtNcCreate = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
        Record("NcCreate", {Arg(create->lpCreateParams)});
        return ncCreateVerdict;
    }
    int OnCreate(CREATESTRUCTA* create) override {
        return Record("Create", {Arg(create->lpCreateParams)});
    }
    int OnInitMenuPopup(HMENU menu, UINT position, UINT systemMenu) override {
        return Record("InitMenuPopup", {Arg(menu), position, systemMenu});
    }
    int OnCommand(UINT id, UINT code, HWND control) override {
        if (throwOnCommand) {
            throw std::runtime_error("handler failure");
        }
        return Record("Command", {id, code, Arg(control)});
    }
    int OnMouseMove(WPARAM keys, UINT x, UINT y) override {
        return Record("MouseMove", {keys, x, y});
    }
    int OnMouseWheel(UINT keys, UINT delta, UINT x, UINT y) override {
        return Record("MouseWheel", {keys, delta, x, y});
    }
    int OnNcHitTest(UINT x, UINT y, LRESULT* result) override {
        *result = written;
        return Record("NcHitTest", {x, y});
    }
    int OnNotify(WPARAM id, NMHDR* header, LRESULT* result) override {
        *result = written;
        return Record("Notify", {id, Arg(header), header->code});
    }
    int OnUserMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        return Record("User", {msg, wParam, Arg(lParam)});
    }

private:
    int Record(const char* name, Args args) {
        calls.push_back({name, std::move(args)});
        return verdict;
    }
};

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTopLevel(window));
        guard = std::make_unique<WindowGuard>(window.hwnd);
        window.defaults.clear();
    }

    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(window.hwnd, msg, wParam, lParam);
    }

    RecordingWindow window;
    std::unique_ptr<WindowGuard> guard;
};

} // namespace

TEST_F(Dispatch, BindsAtNcCreateSoEveryLaterMessageReachesTheObject) {
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
    ASSERT_FALSE(window.filtered.empty());
    EXPECT_EQ(window.filtered.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(window.hwndAtNcCreate, window.hwnd);
    EXPECT_EQ(window.userDataAtNcCreate, reinterpret_cast<LONG_PTR>(&window));
    EXPECT_EQ(window.ArgsOf("NcCreate"), Args({Arg(&window)}));
    EXPECT_EQ(window.ArgsOf("Create"), Args({Arg(&window)}));

    EXPECT_TRUE(window.IsBoundWindow());
    DestroyWindow(window.hwnd);
    EXPECT_FALSE(window.IsBoundWindow()) << "hwnd keeps the dead handle";
}

TEST_F(Dispatch, SplitsParametersIntoUnsignedWords) {
    // x = -1 (possible while the mouse is captured) arrives as 65535.
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-1, 7));
    EXPECT_EQ(window.ArgsOf("MouseMove"), Args({MK_LBUTTON, 65535, 7}));

    // One notch towards the user: -120 arrives as 65416.
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), MAKELPARAM(500, 400));
    EXPECT_EQ(window.ArgsOf("MouseWheel"), Args({MK_CONTROL, 65416, 500, 400}));

    const HWND other = GetDesktopWindow();
    Send(WM_COMMAND, MAKEWPARAM(40007, BN_CLICKED), reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(window.ArgsOf("Command"), Args({40007, BN_CLICKED, Arg(other)}));

    const HMENU menu = CreatePopupMenu();
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(3, TRUE));
    EXPECT_EQ(window.ArgsOf("InitMenuPopup"), Args({Arg(menu), 3, 1}));
    DestroyMenu(menu);
}

TEST_F(Dispatch, ResultPointerDecidesTheReturnValueOfHandledMessages) {
    NMHDR header = {window.hwnd, 1001, static_cast<UINT>(-3)};
    window.written = 77;
    EXPECT_EQ(Send(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&header)), 77);

    window.written = HTCAPTION;
    EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(150, 120)), HTCAPTION);
    EXPECT_EQ(window.ArgsOf("NcHitTest"), Args({150, 120}));

    // Not handled: whatever was written, the system's answer comes back.
    window.verdict = 0;
    window.written = HTCAPTION;
    const LPARAM point = MAKELPARAM(-5000, -5000);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, point), DefWindowProcA(window.hwnd, WM_NCHITTEST, 0, point));
    EXPECT_TRUE(window.defaults.back().notHandled);
    EXPECT_EQ(window.defaults.back().result, HTCAPTION);
}

TEST_F(Dispatch, UserRangeReachesOnUserMessageAndWmAppDoesNot) {
    Send(0x0400, 11, 22);
    EXPECT_EQ(window.ArgsOf("User"), Args({0x0400, 11, 22}));
    Send(0x7FFF, 33, -1);
    EXPECT_EQ(window.ArgsOf("User"), Args({0x7FFF, 33, Arg(LPARAM(-1))}));
    EXPECT_FALSE(window.defaults.back().notHandled);

    window.calls.clear();
    Send(0x8000, 1, 2);
    Send(0x03FF, 1, 2);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(window.defaults.back().msg, 0x03FFu);
    EXPECT_TRUE(window.defaults.back().notHandled);
}

TEST_F(Dispatch, DestroyIsHandledByDefaultWithoutDefWindowProc) {
    EXPECT_EQ(Send(WM_DESTROY, 0, 0), 0);
    ASSERT_FALSE(window.defaults.empty());
    EXPECT_EQ(window.defaults.back().msg, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(window.defaults.back().notHandled);

    // The real destruction passes the same way; hwnd keeps the dead handle.
    const HWND handle = window.hwnd;
    window.defaults.clear();
    ASSERT_TRUE(window.Destroy());
    EXPECT_EQ(window.hwnd, handle);
    int destroys = 0;
    for (const auto& call : window.defaults) {
        destroys += call.msg == WM_DESTROY && !call.notHandled ? 1 : 0;
    }
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(window.filtered.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(Dispatch, FilterShortCircuitsEvenDestroy) {
    window.filterMsg = WM_DESTROY;
    window.filterResult = 5;
    EXPECT_EQ(Send(WM_DESTROY, 0, 0), 5);
    EXPECT_TRUE(window.defaults.empty());

    // A filtered WM_SETTEXT never reaches DefWindowProcA.
    window.filterMsg = WM_SETTEXT;
    SetWindowTextA(window.hwnd, "changed");
    EXPECT_EQ(testsupport::WindowText(window.hwnd), "test");
}

TEST_F(Dispatch, ExceptionInAHandlerStaysInsideTheProcedure) {
    window.throwOnCommand = true;
    EXPECT_EQ(Send(WM_COMMAND, 40001, 0), DefWindowProcA(window.hwnd, WM_COMMAND, 40001, 0));
    window.throwOnCommand = false;
    Send(WM_COMMAND, 40002, 0);
    EXPECT_EQ(window.ArgsOf("Command").at(0), 40002u);
}

TEST(DispatchCreation, HandledNcCreateAbortsButOnCreateCannotRefuse) {
    RecordingWindow refused;
    refused.ncCreateVerdict = 1;
    EXPECT_FALSE(CreateTopLevel(refused));
    EXPECT_EQ(refused.hwnd, nullptr);

    for (int verdict : {0, 1}) {
        RecordingWindow created;
        created.verdict = verdict;
        EXPECT_TRUE(CreateTopLevel(created)) << verdict;
        WindowGuard guard(created.hwnd);
        EXPECT_TRUE(IsWindow(created.hwnd));
    }
}

TEST(WindowOperations, TopmostOffKeepsTheWindowAboveNormalOnes) {
    ui::Window window;
    ASSERT_TRUE(CreateTopLevel(window));
    WindowGuard guard(window.hwnd);
    auto topmost = [&] { return (GetWindowLongA(window.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_FALSE(topmost());
    EXPECT_TRUE(window.SetTopmost(TRUE));
    EXPECT_TRUE(topmost());
    // Dropping the state keeps the window above the normal windows, even one
    // that came to the top while it was topmost.
    ui::Window other;
    ASSERT_TRUE(CreateTopLevel(other));
    WindowGuard otherGuard(other.hwnd);
    SetWindowPos(other.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(window.SetTopmost(FALSE));
    EXPECT_FALSE(topmost());
    EXPECT_TRUE(testsupport::IsAbove(window.hwnd, other.hwnd));
}

TEST(WindowOperations, MoveAndSizeUseRightAndBottomAsEdges) {
    ui::Window window;
    ASSERT_TRUE(CreateTopLevel(window));
    WindowGuard guard(window.hwnd);
    const auto placed = [&window] {
        RECT rect = {};
        window.WindowRect(&rect);
        const SIZE size = window.WindowSize();
        return std::vector<LONG>{rect.left, rect.top, size.cx, size.cy};
    };
    const RECT target = {10, 20, 310, 220};
    ASSERT_TRUE(window.MoveTo(&target, FALSE));
    EXPECT_EQ(placed(), (std::vector<LONG>{10, 20, 300, 200}));
    window.SetSize(400, 250);
    EXPECT_EQ(placed(), (std::vector<LONG>{10, 20, 400, 250}));
    window.SetPosition(-30, 40);
    EXPECT_EQ(placed(), (std::vector<LONG>{-30, 40, 400, 250}));
}

TEST(ControlWindow, CreatesAtTheRectanglesOriginWithRightAndBottomAsSize) {
    ui::Window parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    WindowGuard guard(parent.hwnd);
    ui::ControlWindow control;
    const RECT rect = {3, 4, 50, 20};
    ASSERT_TRUE(control.CreateControl(0, "STATIC", WS_CHILD, &rect, parent.hwnd, 321));
    const RECT placed = testsupport::ChildRect(control.hwnd);
    EXPECT_EQ((std::vector<LONG>{placed.left, placed.top, placed.right, placed.bottom}),
              (std::vector<LONG>{3, 4, 53, 24}));
    // Not bound to the framework: the control keeps its own procedure and
    // user data.
    EXPECT_EQ(GetWindowLongPtrA(control.hwnd, GWLP_USERDATA), 0);

    ui::ControlWindow attached;
    EXPECT_EQ(attached.AttachDlgItem(parent.hwnd, 321), control.hwnd);
    EXPECT_EQ(attached.AttachDlgItem(parent.hwnd, 999), nullptr);
}
