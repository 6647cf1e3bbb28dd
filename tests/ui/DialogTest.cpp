#include "ui/Dialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/TestWindows.h"
#include "win/String.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr int TestTemplate = 200;
constexpr int FirstEdit = 101;
// Posted by the dialog to itself; its wParam is the value to end with.
constexpr UINT EndLater = WM_USER + 1;
// Ends a modal test dialog that a fault left open, so no test can hang.
constexpr UINT_PTR WatchdogTimer = 1;

class TestDialog : public ui::Dialog {
public:
    LRESULT initResult = 0;
    int initVerdict = 1;
    bool endFromQueue = false;
    INT_PTR endValue = 0;

    bool initialised = false;
    bool focusOnFirstEdit = false;
    std::vector<UINT> commands;

    int OnInitDialog(LRESULT* result) override {
        initialised = true;
        *result = initResult;
        if (endFromQueue) {
            SetTimer(hwnd, WatchdogTimer, 10000, nullptr);
            Post(EndLater, static_cast<WPARAM>(endValue), 0);
        }
        return initVerdict;
    }
    int OnCommand(UINT id, UINT, HWND) override {
        if (id == 999) {
            return 0;
        }
        commands.push_back(id);
        return 1;
    }
    int OnUserMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg != EndLater) {
            return 0;
        }
        // Runs inside the modal loop, after the dialog manager chose the focus.
        focusOnFirstEdit = GetFocus() == GetDlgItem(hwnd, FirstEdit);
        KillTimer(hwnd, WatchdogTimer);
        End(static_cast<INT_PTR>(wParam));
        return 1;
    }
    int OnTimer(WPARAM) override {
        End(-2);
        return 1;
    }
    int OnNotify(WPARAM, NMHDR*, LRESULT* result) override {
        *result = 0x1234;
        return 1;
    }
};

// Runs a TestDialog modally until it ends itself with endValue.
INT_PTR RunEnding(TestDialog& dialog, INT_PTR endValue, LRESULT initResult = 0) {
    dialog.initResult = initResult;
    dialog.endFromQueue = true;
    dialog.endValue = endValue;
    return dialog.DoModal(TestTemplate, nullptr);
}

// A modeless instance of the test template, destroyed at the end.
class ModelessDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.CreateModeless(TestTemplate, nullptr));
        handle = dialog.hwnd;
    }
    void TearDown() override {
        if (handle != nullptr) {
            DestroyWindow(handle);
        }
    }

    TestDialog dialog;
    HWND handle = nullptr;
};

} // namespace

TEST(DialogModal, EndValueComesBackFromDoModalAndTheFocusFollowsTheInitResult) {
    TestDialog focused;
    EXPECT_EQ(RunEnding(focused, 42, 1), 42);
    EXPECT_TRUE(focused.initialised);
    EXPECT_TRUE(focused.focusOnFirstEdit);
    EXPECT_EQ(focused.hwnd, nullptr);

    // The verdict does not matter for WM_INITDIALOG: only the result does.
    TestDialog unfocused;
    EXPECT_EQ(RunEnding(unfocused, -7), -7);
    EXPECT_FALSE(unfocused.focusOnFirstEdit);

    TestDialog missing;
    EXPECT_EQ(missing.DoModal(9999, nullptr), -1);
    EXPECT_FALSE(missing.initialised);
}

TEST(DialogModal, ScriptedSeamAnswersWithoutCreatingTheDialog) {
    ui::ScriptedDialogs dialogs;
    dialogs.AnswerModal(5);
    TestDialog dialog;
    const HWND owner = GetDesktopWindow();
    EXPECT_EQ(dialog.DoModal(TestTemplate, owner), 5);
    EXPECT_FALSE(dialog.initialised);

    // A handler may run the real dialog instead.
    dialogs.HandleModal([](ui::Dialog& modal, int templateId, HWND parent) {
        return modal.RunModal(templateId, parent);
    });
    TestDialog real;
    EXPECT_EQ(RunEnding(real, 9), 9);
    EXPECT_TRUE(real.initialised);
}

TEST_F(ModelessDialog, BindsAtInitDialogAndAnswersTrueOrFalse) {
    EXPECT_TRUE(dialog.initialised);
    EXPECT_NE(dialog.hwnd, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(handle, DWLP_USER), reinterpret_cast<LONG_PTR>(&dialog));

    EXPECT_EQ(ui::Dialog::DialogProcedure(handle, WM_COMMAND, IDCANCEL, 0), TRUE);
    EXPECT_EQ(ui::Dialog::DialogProcedure(handle, WM_COMMAND, 999, 0), FALSE);
    EXPECT_EQ(ui::Dialog::DialogProcedure(handle, WM_APP, 0, 0), FALSE);
    EXPECT_EQ(dialog.commands, std::vector<UINT>{IDCANCEL});
    // The close box and Esc arrive as IDCANCEL and leave the dialog open
    // unless the dialog ends itself.
    SendMessageA(handle, WM_CLOSE, 0, 0);
    testsupport::PumpMessages();
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{IDCANCEL, IDCANCEL}));

    // WM_INITDIALOG answers the written result whatever the verdict.
    dialog.initVerdict = 0;
    dialog.initResult = 7;
    EXPECT_EQ(
        ui::Dialog::DialogProcedure(handle, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog)),
        7);

    // Any other handler's result reaches the sender through DWLP_MSGRESULT.
    NMHDR header = {handle, 5, 0};
    EXPECT_EQ(SendMessageA(handle, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 0x1234);

    EXPECT_TRUE(dialog.IsBoundWindow());
    DestroyWindow(handle);
    handle = nullptr;
    EXPECT_FALSE(dialog.IsBoundWindow());
}

TEST_F(ModelessDialog, ItemTextStopsBeforeTheCapacityAndAtAWholeCharacter) {
    const std::string longAscii(100, 'x');
    dialog.SetItemText(FirstEdit, longAscii.c_str());
    text::String out;
    ASSERT_EQ(out.Capacity(), 63);
    EXPECT_EQ(dialog.GetItemText(FirstEdit, out), 62);
    EXPECT_EQ(std::string(out.Data()), std::string(62, 'x'));
    EXPECT_EQ(out.Capacity(), 63);

    // 30 three-byte characters: 62 bytes would end inside the 21st.
    const std::string korean = testsupport::Repeat("가", 30);
    dialog.SetItemText(FirstEdit, korean.c_str());
    EXPECT_EQ(dialog.GetItemText(FirstEdit, out), 60);
    EXPECT_EQ(std::string(out.Data()), korean.substr(0, 60));
}
