#include "app/Application.h"
#include "ui/Window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// The accelerator table of AppTest.rc.
constexpr int TestAccelerators = 905;

// A window of the framework that records the commands and keys it gets.
class RecordingWindow : public ui::Window {
public:
    std::vector<UINT> commands;
    std::vector<UINT> commandCodes;
    std::vector<WPARAM> keys;

    int OnCommand(UINT id, UINT code, HWND) override {
        commands.push_back(id);
        commandCodes.push_back(code);
        return 1;
    }
    int OnKeyDown(WPARAM key, LPARAM) override {
        keys.push_back(key);
        return 1;
    }
};

bool CreateHidden(ui::Window& window) {
    static const ATOM atom = ui::Window::RegisterWindowClass("QtoraAppTest", nullptr, nullptr,
                                                             nullptr, nullptr, nullptr, 0);
    return atom != 0 && window.Create(0, "QtoraAppTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                      nullptr, nullptr);
}

// Holds the Ctrl key down in this thread's keyboard state for the scope.
class ControlKeyDown {
public:
    ControlKeyDown() { SetControl(0x80); }
    ~ControlKeyDown() { SetControl(0); }

private:
    static void SetControl(BYTE state) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = state;
        keys[VK_LCONTROL] = state;
        SetKeyboardState(keys);
    }
};

class MessageLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateHidden(mainWindow));
        ASSERT_TRUE(CreateHidden(focusWindow));
    }
    void TearDown() override {
        focusWindow.Destroy();
        mainWindow.Destroy();
    }

    static MSG KeyDown(HWND window, WPARAM key) { return MSG{window, WM_KEYDOWN, key, 1, 0, {}}; }

    RecordingWindow mainWindow;
    RecordingWindow focusWindow;
};

} // namespace

TEST(SingleInstance, LaterCopiesAreRefusedWhileTheFirstHoldsTheName) {
    // Another process is refused the same way: see the program's own test.
    const std::string name = "QuiltoraTest-" + std::to_string(GetCurrentProcessId());
    {
        app::Application first;
        ASSERT_TRUE(first.InitInstance(name.c_str(), true));
        // A refused copy, once gone, does not weaken the guard.
        for (int attempt = 0; attempt < 2; ++attempt) {
            app::Application later;
            EXPECT_FALSE(later.InitInstance(name.c_str(), false)) << attempt;
        }
    }
    // The guard ends with the object that holds it; no name means no guard.
    app::Application again;
    EXPECT_TRUE(again.InitInstance(name.c_str(), false));
    EXPECT_TRUE(app::Application().InitInstance(nullptr, true));
    EXPECT_TRUE(app::Application().InitInstance(nullptr, false));
}

TEST_F(MessageLoop, ControlLetterOnAnotherWindowBecomesACommandOfTheMainWindow) {
    const HACCEL table =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TestAccelerators));
    ASSERT_NE(table, nullptr);
    SetFocus(focusWindow.hwnd);
    {
        ControlKeyDown control;
        MSG msg = KeyDown(focusWindow.hwnd, 'R');
        EXPECT_TRUE(app::Application::ProcessMessage(mainWindow.hwnd, table, msg));
    }
    EXPECT_EQ(mainWindow.commands, std::vector<UINT>{40007});
    EXPECT_EQ(mainWindow.commandCodes, std::vector<UINT>{1});
    EXPECT_TRUE(focusWindow.keys.empty());

    // Without Ctrl the key goes to the window it was meant for.
    MSG plain = KeyDown(focusWindow.hwnd, 'R');
    EXPECT_FALSE(app::Application::ProcessMessage(mainWindow.hwnd, table, plain));
    EXPECT_EQ(focusWindow.keys, std::vector<WPARAM>{'R'});
    EXPECT_EQ(mainWindow.commands.size(), 1u);

    // A key outside the table is dispatched even with Ctrl held.
    ControlKeyDown control;
    MSG other = KeyDown(focusWindow.hwnd, 'Q');
    EXPECT_FALSE(app::Application::ProcessMessage(mainWindow.hwnd, table, other));
    EXPECT_EQ(focusWindow.keys.back(), static_cast<WPARAM>('Q'));
}

TEST_F(MessageLoop, RunsUntilQuitAndReturnsItsCode) {
    {
        ControlKeyDown control;
        PostMessageA(focusWindow.hwnd, WM_KEYDOWN, 'V', 1);
        PostMessageA(focusWindow.hwnd, WM_USER, 0, 0);
        PostQuitMessage(7);
        app::Application application;
        EXPECT_EQ(application.RunMessageLoop(mainWindow.hwnd, TestAccelerators), 7);
    }
    EXPECT_EQ(mainWindow.commands, std::vector<UINT>{40009});
    EXPECT_TRUE(focusWindow.keys.empty());

    // Without a table every message is simply dispatched.
    PostMessageA(focusWindow.hwnd, WM_KEYDOWN, 'V', 1);
    PostQuitMessage(3);
    app::Application application;
    EXPECT_EQ(application.RunMessageLoop(mainWindow.hwnd, 9999), 3);
    EXPECT_EQ(focusWindow.keys, std::vector<WPARAM>{'V'});
}
