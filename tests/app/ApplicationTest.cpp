#include "app/Application.h"
#include "app/FileHandOver.h"
#include "support/TestWindows.h"
#include "ui/Window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// The accelerator table of AppTest.rc.
constexpr int TestAccelerators = 905;

// A window of the framework that records the commands and keys it gets.
class RecordingWindow : public testsupport::CommandRecorder {
public:
    std::vector<WPARAM> keys;

    int OnKeyDown(WPARAM key, LPARAM) override {
        keys.push_back(key);
        return 1;
    }
};

using testsupport::CreateTopLevel;

// Sets whether this thread's keyboard state has the Ctrl key down.
void HoldControl(bool down) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

class MessageLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTopLevel(mainWindow));
        ASSERT_TRUE(CreateTopLevel(focusWindow));
    }
    void TearDown() override {
        HoldControl(false);
        focusWindow.Destroy();
        mainWindow.Destroy();
    }

    static MSG KeyDown(HWND window, WPARAM key) { return MSG{window, WM_KEYDOWN, key, 1, 0, {}}; }

    RecordingWindow mainWindow;
    RecordingWindow focusWindow;
    const HACCEL table =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TestAccelerators));
};

} // namespace

TEST(SingleInstance, LaterCopiesAreRefusedWhileTheFirstHoldsTheName) {
    // Another process is refused the same way: see the program's own test.
    const std::string name = "QuiltoraTest-" + std::to_string(GetCurrentProcessId());
    {
        app::Application first;
        ASSERT_TRUE(first.InitInstance(name.c_str(), true));
        // A refused copy, once gone, does not weaken the guard.
        EXPECT_FALSE(app::Application().InitInstance(name.c_str(), false));
        EXPECT_FALSE(app::Application().InitInstance(name.c_str(), false));
    }
    // The guard ends with the object that holds it; no name means no guard.
    app::Application again;
    EXPECT_TRUE(again.InitInstance(name.c_str(), false));
    EXPECT_TRUE(app::Application().InitInstance(nullptr, true));
}

TEST_F(MessageLoop, ControlLetterOnAnotherWindowBecomesACommandOfTheMainWindow) {
    SetFocus(focusWindow.hwnd);
    // Ctrl+R of the table; R alone and Ctrl+Q, outside the table, go to the
    // window they were meant for.
    const std::tuple<WPARAM, bool, bool> presses[] = {
        {'R', true, true}, {'R', false, false}, {'Q', true, false}};
    for (const auto& [key, control, command] : presses) {
        HoldControl(control);
        MSG msg = KeyDown(focusWindow.hwnd, key);
        EXPECT_EQ(app::Application::ProcessMessage(mainWindow.hwnd, table, msg), command) << key;
    }
    EXPECT_EQ(mainWindow.commands, std::vector<UINT>{40007});
    EXPECT_EQ(mainWindow.codes, std::vector<UINT>{1});
    EXPECT_EQ(focusWindow.keys, (std::vector<WPARAM>{'R', 'Q'}));
}

TEST_F(MessageLoop, RunsUntilQuitAndReturnsItsCode) {
    HoldControl(true);
    PostMessageA(focusWindow.hwnd, WM_KEYDOWN, 'V', 1);
    PostMessageA(focusWindow.hwnd, WM_USER, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(app::Application().RunMessageLoop(mainWindow.hwnd, TestAccelerators), 7);
    HoldControl(false);
    EXPECT_EQ(mainWindow.commands, std::vector<UINT>{40009});
    EXPECT_TRUE(focusWindow.keys.empty());

    // Without a table every message is simply dispatched.
    PostMessageA(focusWindow.hwnd, WM_KEYDOWN, 'V', 1);
    PostQuitMessage(3);
    EXPECT_EQ(app::Application().RunMessageLoop(mainWindow.hwnd, 9999), 3);
    EXPECT_EQ(focusWindow.keys, std::vector<WPARAM>{'V'});
}

// The box is the main window's child, destroyed with it.
TEST_F(MessageLoop, EditingKeysInAnEditBoxEditTheBox) {
    const HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
                                      mainWindow.hwnd, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    // The accelerators' commands only: the box's own notices come as
    // commands too, with code 0 or its notification code.
    const auto accelerated = [this] {
        return std::count(mainWindow.codes.begin(), mainWindow.codes.end(), 1u);
    };
    // Ctrl+Z takes back the typing in the box and nothing else.
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("150"));
    HoldControl(true);
    MSG undo = KeyDown(edit, 'Z');
    app::Application::ProcessMessage(mainWindow.hwnd, table, undo);
    testsupport::PumpMessages();
    EXPECT_EQ(testsupport::WindowText(edit), "");
    EXPECT_EQ(accelerated(), 0);

    // Ctrl+Z, Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+A and Delete belong to the box;
    // Ctrl+R is still the main window's command.
    const std::pair<WPARAM, bool> keys[] = {{'Z', true}, {'C', true}, {'V', true},
                                            {'X', true}, {'A', true}, {VK_DELETE, false},
                                            {'R', true}};
    for (const auto& [key, control] : keys) {
        HoldControl(control);
        MSG msg = KeyDown(edit, key);
        const bool command = key == 'R';
        EXPECT_EQ(app::Application::ProcessMessage(mainWindow.hwnd, table, msg), command) << key;
        EXPECT_EQ(accelerated(), command ? 1 : 0) << key;
        mainWindow.codes.clear();
    }
}

TEST(FileHandOver, ABusyFirstCopyStillGetsTheFiles) {
    // The first copy's window lives on a thread that asks for no message for
    // longer than the system's five seconds of "not responding", as in a long
    // paste, and only then takes its messages.
    struct Receiver : ui::Window {
        std::vector<std::string> paths;
        int FilterMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT* result) override {
            if (msg != WM_COPYDATA ||
                !app::FileHandOver::Read(reinterpret_cast<const COPYDATASTRUCT*>(lParam), paths)) {
                return 0;
            }
            *result = TRUE;
            return 1;
        }
    } receiver;
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread first([&receiver, created] {
        CreateTopLevel(receiver);
        SetEvent(created);
        Sleep(6000);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_NULL) {
            DispatchMessageA(&msg);
        }
        receiver.Destroy();
    });
    WaitForSingleObject(created, INFINITE);
    CloseHandle(created);
    Sleep(5500);
    const std::vector<std::string> paths = {"C:\\그림\\a.png", "b.png"};
    const bool sent = app::FileHandOver::Send(receiver.hwnd, paths, 60000);
    // GetMessage handles a sent message inside and waits on for a posted
    // one: this one ends the first copy's loop.
    PostMessageA(receiver.hwnd, WM_NULL, 0, 0);
    first.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(receiver.paths, paths);
}
