#include "settings/SettingsWindow.h"
#include "settings/AppSettings.h"
#include "settings/SettingsIds.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using S = settings::AppSettings;
using Field = std::int32_t S::*;

constexpr int BackgroundTab = 0;
constexpr int SizeTab = 1;
constexpr int JpegTab = 2;
constexpr int PageCount = settings::SettingsWindow::PageCount;

// The main window's stand-in: it records the commands it is sent.
class RecordingOwner : public ui::Window {
public:
    std::vector<UINT> commands;
    int OnCommand(UINT id, UINT, HWND) override {
        commands.push_back(id);
        return 1;
    }
};

// A 24-bit bitmap selected into its own memory device context.
class Canvas {
public:
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, 24, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    const HDC dc = CreateCompatibleDC(nullptr);

private:
    HBITMAP bitmap;
    HGDIOBJ previous;
};

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Window::RegisterWindowClass("QtoraSettingsOwner", nullptr, nullptr, nullptr, nullptr,
                                        nullptr, 0);
        ASSERT_TRUE(owner.Create(0, "QtoraSettingsOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                 100, nullptr, nullptr));
    }
    // Takes the owned settings window with it.
    void TearDown() override { DestroyWindow(owner.hwnd); }

    void Open() { ASSERT_TRUE(window.Create(owner.hwnd)); }
    HWND Page(int tab) const { return window.PageWindow(tab); }
    // A page's control; the tab control is the window's own.
    HWND Item(int tab, int id) const {
        return GetDlgItem(id == IDC_SETTINGS_TAB ? window.hwnd : Page(tab), id);
    }
    void Type(int tab, int id, const char* text) { SetDlgItemTextA(Page(tab), id, text); }
    std::string Text(int tab, int id) const {
        char text[64] = {};
        GetDlgItemTextA(Page(tab), id, text, sizeof(text));
        return text;
    }
    void Click(int tab, int id) { SendMessageA(Item(tab, id), BM_CLICK, 0, 0); }
    bool Checked(int tab, int id) const { return IsDlgButtonChecked(Page(tab), id) == BST_CHECKED; }
    bool Shown(int tab) const { return (GetWindowLongA(Page(tab), GWL_STYLE) & WS_VISIBLE) != 0; }
    void ExpectOnlyPageShown(int shown) const {
        for (int tab = 0; tab < PageCount; ++tab) {
            EXPECT_EQ(Shown(tab), tab == shown) << "page " << tab;
        }
    }
    // The colour a background page button paints as its swatch.
    COLORREF Swatch(int id) {
        Canvas canvas;
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(id);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = Item(BackgroundTab, id);
        item.hDC = canvas.dc;
        item.rcItem = {0, 0, 40, 24};
        SendMessageA(Page(BackgroundTab), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
        return GetPixel(canvas.dc, 20, 12);
    }
    // A key press as the message loop offers it.
    bool Press(HWND target, WPARAM key, bool shift) {
        BYTE keys[256] = {};
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg = {target, WM_KEYDOWN, key, 1, 0, {}};
        const bool consumed = window.PreTranslate(msg);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return consumed;
    }

    S values;
    settings::SettingsWindow window{values};
    RecordingOwner owner;
};

} // namespace

TEST_F(SettingsWindowTest, CreatingTheWindowBringsTheSavedNumbersIntoRange) {
    struct Case {
        std::uint16_t fSize;
        Field field;
        std::int32_t saved, inForce;
    };
    const Case cases[] = {
        {1, &S::PadSize, 7, 7},     {1, &S::PadSize, 50, 30},       {1, &S::PadSize, -1, 30},
        {1, &S::JPEGQuality, 0, 1}, {1, &S::JPEGQuality, 250, 100}, {1, &S::PerW, 0, 1},
        {1, &S::PerH, 150, 100},    {1, &S::PerH, 40, 40},          {1, &S::SizeW, 0, 0},
        {0, &S::SizeW, 0, 1},       {0, &S::SizeH, 5000, 5000},     {0, &S::PerW, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.fSize << ", saved " << c.saved);
        values.fSize = c.fSize;
        values.*c.field = c.saved;
        Open();
        EXPECT_EQ(values.*c.field, c.inForce);
        EXPECT_EQ(Checked(SizeTab, IDC_PERCENT_SIZE), c.fSize != 0);
        EXPECT_EQ(Checked(SizeTab, IDC_FIXED_SIZE), c.fSize == 0);
    }
}

TEST_F(SettingsWindowTest, TypedNumbersAreStoredByTheRuleWhileTheBoxKeepsTheText) {
    struct Case {
        int tab, id;
        std::uint16_t fSize;
        const char* text;
        Field field;
        std::int32_t stored;
    };
    const Case cases[] = {
        {BackgroundTab, IDC_GAP_SIZE, 1, "12", &S::PadSize, 12},
        {BackgroundTab, IDC_GAP_SIZE, 1, "150", &S::PadSize, 30},
        {BackgroundTab, IDC_GAP_SIZE, 1, "3000000000", &S::PadSize, 30},
        {BackgroundTab, IDC_GAP_SIZE, 1, "", &S::PadSize, 0},
        {SizeTab, IDC_WIDTH, 1, "150", &S::PerW, 100},
        {SizeTab, IDC_HEIGHT, 1, "0", &S::PerH, 1},
        {SizeTab, IDC_HEIGHT, 1, "75", &S::PerH, 75},
        {SizeTab, IDC_WIDTH, 0, "1500", &S::SizeW, 1500},
        {SizeTab, IDC_HEIGHT, 0, "", &S::SizeH, 1},
        {SizeTab, IDC_WIDTH, 0, "3000000000", &S::SizeW, std::numeric_limits<std::int32_t>::max()},
        {JpegTab, IDC_QUALITY, 1, "0", &S::JPEGQuality, 1},
        {JpegTab, IDC_QUALITY, 1, "101", &S::JPEGQuality, 100},
        {JpegTab, IDC_QUALITY, 1, "x9", &S::JPEGQuality, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "\"" << c.text << "\" into " << c.id);
        values.fSize = c.fSize;
        Open();
        Type(c.tab, c.id, c.text);
        EXPECT_EQ(values.*c.field, c.stored);
        EXPECT_EQ(Text(c.tab, c.id), c.text);
    }
}

TEST_F(SettingsWindowTest, ModeButtonsShowTheStoredPairAndKeepRatioOnlyInFixedMode) {
    values.fSize = 1;
    values.SizeW = 640;
    values.SizeH = 480;
    values.PerW = 50;
    values.PerH = 40;
    values.bRatio = 1;
    Open();
    Type(SizeTab, IDC_WIDTH, "150");

    struct Step {
        int click;
        std::uint16_t fSize;
        const char *width, *height;
    };
    const Step steps[] = {
        {IDC_FIXED_SIZE, 0, "640", "480"},
        {IDC_PERCENT_SIZE, 1, "100", "40"},
        {IDC_FIXED_SIZE, 0, "640", "480"},
        {IDC_ORIGINAL_SIZE, 1, "100", "100"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.click);
        Click(SizeTab, s.click);
        EXPECT_EQ(values.fSize, s.fSize);
        EXPECT_EQ(Checked(SizeTab, IDC_PERCENT_SIZE), s.fSize != 0);
        EXPECT_EQ(Checked(SizeTab, IDC_FIXED_SIZE), s.fSize == 0);
        EXPECT_EQ(Text(SizeTab, IDC_WIDTH), s.width);
        EXPECT_EQ(Text(SizeTab, IDC_HEIGHT), s.height);
        EXPECT_EQ(IsWindowEnabled(Item(SizeTab, IDC_KEEP_RATIO)) != FALSE, s.fSize == 0);
        EXPECT_TRUE(Checked(SizeTab, IDC_KEEP_RATIO));
    }
    EXPECT_EQ(values.SizeW, 640);

    // The check boxes store their state as they are clicked.
    Click(SizeTab, IDC_FIXED_SIZE);
    Click(SizeTab, IDC_KEEP_RATIO);
    EXPECT_EQ(values.bRatio, 0);
    Click(JpegTab, IDC_PROGRESSIVE);
    EXPECT_EQ(values.JPEGProg, 1);
}

TEST_F(SettingsWindowTest, ColourButtonsAskTheColourDialogAndKeepTheColourOnCancel) {
    const COLORREF chosen = RGB(12, 34, 56);
    struct Case {
        int id;
        Field field;
        bool answered;
    };
    const Case cases[] = {
        {IDC_BACKGROUND_COLOUR, &S::BkColor, false},
        {IDC_BACKGROUND_COLOUR, &S::BkColor, true},
        {IDC_GAP_COLOUR, &S::PadCol, false},
        {IDC_GAP_COLOUR, &S::PadCol, true},
    };
    values.BkColor = RGB(200, 0, 0);
    values.PadCol = RGB(0, 200, 0);
    Open();
    EXPECT_EQ(Swatch(IDC_BACKGROUND_COLOUR), RGB(200, 0, 0));
    EXPECT_EQ(Swatch(IDC_GAP_COLOUR), RGB(0, 200, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.id << (c.answered ? " answered" : " cancelled"));
        ui::ScriptedDialogs dialogs;
        const auto before = static_cast<COLORREF>(values.*c.field);
        if (c.answered) {
            dialogs.AnswerColour(chosen);
        } else {
            dialogs.CancelColour();
        }
        Click(BackgroundTab, c.id);
        // A double click only repeats the click that it ends.
        SendMessageA(Page(BackgroundTab), WM_COMMAND, MAKEWPARAM(c.id, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(Item(BackgroundTab, c.id)));
        ASSERT_EQ(dialogs.ColourDialogs().size(), 1u);
        EXPECT_EQ(dialogs.ColourDialogs()[0].dialog.hwndOwner, Page(BackgroundTab));
        EXPECT_EQ(dialogs.ColourDialogs()[0].dialog.rgbResult, before);
        const COLORREF expected = c.answered ? chosen : before;
        EXPECT_EQ(static_cast<COLORREF>(values.*c.field), expected);
        EXPECT_EQ(Swatch(c.id), expected);
    }
}

TEST_F(SettingsWindowTest, TheSelectedTabShowsItsPageOnly) {
    for (std::uint16_t tabSel : {0, 1, 2, 3, 65535}) {
        SCOPED_TRACE(tabSel);
        values.TabSel = tabSel;
        Open();
        const int expected = tabSel < PageCount ? tabSel : 0;
        EXPECT_EQ(window.CurrentTab(), expected);
        EXPECT_EQ(SendMessageA(Item(0, IDC_SETTINGS_TAB), TCM_GETCURSEL, 0, 0), expected);
        ExpectOnlyPageShown(expected);
    }

    const HWND tabs = Item(0, IDC_SETTINGS_TAB);
    for (int target : {2, 1, 0, 2}) {
        SCOPED_TRACE(target);
        SendMessageA(tabs, TCM_SETCURSEL, target, 0);
        NMHDR change = {tabs, IDC_SETTINGS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(window.hwnd, WM_NOTIFY, IDC_SETTINGS_TAB, reinterpret_cast<LPARAM>(&change));
        EXPECT_EQ(window.CurrentTab(), target);
        ExpectOnlyPageShown(target);
    }
    // The window never writes TabSel: the program saves CurrentTab there.
    EXPECT_EQ(values.TabSel, 65535);
}

TEST_F(SettingsWindowTest, KeysMoveTheFocusAsInAnyDialog) {
    struct Case {
        int tab;
        WPARAM key;
        bool shift;
        int from, to;
    };
    const Case cases[] = {
        {BackgroundTab, VK_TAB, false, IDC_BACKGROUND_COLOUR, IDC_GAP_SIZE},
        {BackgroundTab, VK_TAB, false, IDC_GAP_SIZE, IDC_GAP_COLOUR},
        {BackgroundTab, VK_TAB, true, IDC_GAP_SIZE, IDC_BACKGROUND_COLOUR},
        {BackgroundTab, VK_TAB, false, IDC_GAP_COLOUR, IDC_SETTINGS_TAB},
        {BackgroundTab, VK_TAB, false, IDC_SETTINGS_TAB, IDC_BACKGROUND_COLOUR},
        // The keep-ratio box is disabled in percent mode and skipped.
        {SizeTab, VK_TAB, false, IDC_HEIGHT, IDC_ORIGINAL_SIZE},
        {SizeTab, VK_TAB, true, IDC_WIDTH, IDC_PERCENT_SIZE},
        {SizeTab, VK_RIGHT, false, IDC_PERCENT_SIZE, IDC_FIXED_SIZE},
        {JpegTab, VK_TAB, false, IDC_QUALITY, IDC_PROGRESSIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "key " << c.key << " from " << c.from);
        values.TabSel = static_cast<std::uint16_t>(c.tab);
        values.fSize = 1;
        Open();
        ShowWindow(window.hwnd, SW_SHOW);
        SetFocus(Item(c.tab, c.from));
        EXPECT_TRUE(Press(Item(c.tab, c.from), c.key, c.shift));
        EXPECT_EQ(GetFocus(), Item(c.tab, c.to));
        if (c.key == VK_RIGHT) {
            // An arrow key onto an automatic radio button also chooses it.
            EXPECT_TRUE(Checked(c.tab, c.to));
            EXPECT_EQ(values.fSize, 0);
        }
    }
    // Messages for other windows are left to the loop.
    EXPECT_FALSE(Press(owner.hwnd, VK_TAB, false));
}

TEST_F(SettingsWindowTest, CloseBoxAndEscAskTheOwnerToHideTheWindow) {
    Open();
    SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
    ShowWindow(window.hwnd, SW_SHOW);
    SetFocus(Item(BackgroundTab, IDC_GAP_SIZE));
    EXPECT_TRUE(Press(Item(BackgroundTab, IDC_GAP_SIZE), VK_ESCAPE, false));
    EXPECT_EQ(owner.commands, (std::vector<UINT>{IDM_VIEW_SETTINGS, IDM_VIEW_SETTINGS}));
    EXPECT_TRUE(IsWindow(window.hwnd));
}
