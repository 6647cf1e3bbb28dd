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

using Field = std::int32_t settings::AppSettings::*;

constexpr int BackgroundTab = 0;
constexpr int SizeTab = 1;
constexpr int JpegTab = 2;
// Stands for the settings window itself where a table names a page.
constexpr int WindowItself = -1;

// The main window's stand-in: it records the commands it is sent.
class RecordingOwner : public ui::Window {
public:
    std::vector<UINT> commands;
    int OnCommand(UINT id, UINT, HWND) override {
        commands.push_back(id);
        return 1;
    }
};

// A 24-bit memory bitmap selected into its own device context.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height) : dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
    }
    ~MemoryCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC dc;

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
    void TearDown() override {
        // Takes the owned settings window with it.
        DestroyWindow(owner.hwnd);
    }

    void Open() { ASSERT_TRUE(window.Create(owner.hwnd)); }
    HWND Page(int tab) const { return tab == WindowItself ? window.hwnd : window.PageWindow(tab); }
    HWND Item(int tab, int id) const { return GetDlgItem(Page(tab), id); }
    void Type(int tab, int id, const char* text) { SetDlgItemTextA(Page(tab), id, text); }
    std::string Text(int tab, int id) const {
        char text[64] = {};
        GetDlgItemTextA(Page(tab), id, text, sizeof(text));
        return text;
    }
    void Click(int tab, int id) { SendMessageA(Item(tab, id), BM_CLICK, 0, 0); }
    bool Checked(int tab, int id) const { return IsDlgButtonChecked(Page(tab), id) == BST_CHECKED; }
    bool Shown(int tab) const { return (GetWindowLongA(Page(tab), GWL_STYLE) & WS_VISIBLE) != 0; }
    // The colour the background page's button paints as its swatch.
    COLORREF Swatch(int id) {
        MemoryCanvas canvas(40, 24);
        DRAWITEMSTRUCT item = {ODT_BUTTON, static_cast<UINT>(id),   0,         ODA_DRAWENTIRE,
                               0,          Item(BackgroundTab, id), canvas.dc, {0, 0, 40, 24},
                               0};
        SendMessageA(Page(BackgroundTab), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
        return GetPixel(canvas.dc, 20, 12);
    }
    // A key press as the message loop would offer it.
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

    settings::AppSettings values;
    settings::SettingsWindow window{values};
    RecordingOwner owner;
};

} // namespace

TEST_F(SettingsWindowTest, CreatingTheWindowBringsTheSavedNumbersIntoRange) {
    struct Case {
        const char* name;
        std::uint16_t fSize;
        std::int32_t padSize, quality, perW, perH, sizeW, sizeH;
        std::int32_t wantPad, wantQuality, wantPerW, wantPerH, wantSizeW, wantSizeH;
    };
    const Case cases[] = {
        {"in range", 1, 7, 85, 40, 60, 0, 0, 7, 85, 40, 60, 0, 0},
        {"too large", 1, 50, 250, 150, 100, 0, 0, 30, 100, 100, 100, 0, 0},
        {"zero and negative", 1, -1, 0, 0, 5, 0, 0, 30, 1, 1, 5, 0, 0},
        {"fixed size", 0, 0, 1, 0, 0, 0, 5000, 0, 1, 0, 0, 1, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        values.fSize = c.fSize;
        values.PadSize = c.padSize;
        values.JPEGQuality = c.quality;
        values.PerW = c.perW;
        values.PerH = c.perH;
        values.SizeW = c.sizeW;
        values.SizeH = c.sizeH;
        Open();
        EXPECT_EQ(values.PadSize, c.wantPad);
        EXPECT_EQ(values.JPEGQuality, c.wantQuality);
        EXPECT_EQ(values.PerW, c.wantPerW);
        EXPECT_EQ(values.PerH, c.wantPerH);
        EXPECT_EQ(values.SizeW, c.wantSizeW);
        EXPECT_EQ(values.SizeH, c.wantSizeH);
        EXPECT_EQ(Checked(SizeTab, IDC_PERCENT_SIZE), c.fSize != 0);
        EXPECT_EQ(Checked(SizeTab, IDC_FIXED_SIZE), c.fSize == 0);
    }
}

TEST_F(SettingsWindowTest, TypedNumbersAreStoredByTheRuleWhileTheBoxKeepsTheText) {
    struct Case {
        int tab;
        int id;
        std::uint16_t fSize;
        const char* text;
        Field field;
        std::int32_t stored;
    };
    using S = settings::AppSettings;
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
        SCOPED_TRACE(std::string(c.text) + " into " + std::to_string(c.id));
        values.fSize = c.fSize;
        Open();
        Type(c.tab, c.id, c.text);
        EXPECT_EQ(values.*c.field, c.stored);
        EXPECT_EQ(Text(c.tab, c.id), c.text);
    }
}

TEST_F(SettingsWindowTest, SwitchingModesShowsTheStoredPairAndKeepRatioOnlyInFixedMode) {
    values.fSize = 1;
    values.SizeW = 640;
    values.SizeH = 480;
    values.bRatio = 1;
    Open();
    Type(SizeTab, IDC_WIDTH, "150");
    EXPECT_EQ(values.PerW, 100);

    struct Step {
        int click;
        std::uint16_t fSize;
        const char* width;
        const char* height;
        bool ratioEnabled;
    };
    const Step steps[] = {
        {IDC_FIXED_SIZE, 0, "640", "480", true},
        {IDC_PERCENT_SIZE, 1, "100", "100", false},
        {IDC_FIXED_SIZE, 0, "640", "480", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.click);
        Click(SizeTab, s.click);
        EXPECT_EQ(values.fSize, s.fSize);
        EXPECT_EQ(Text(SizeTab, IDC_WIDTH), s.width);
        EXPECT_EQ(Text(SizeTab, IDC_HEIGHT), s.height);
        EXPECT_EQ(IsWindowEnabled(Item(SizeTab, IDC_KEEP_RATIO)) != FALSE, s.ratioEnabled);
        EXPECT_TRUE(Checked(SizeTab, IDC_KEEP_RATIO));
    }

    // The two check boxes store their state as they are clicked.
    Click(SizeTab, IDC_KEEP_RATIO);
    EXPECT_EQ(values.bRatio, 0);
    Click(JpegTab, IDC_PROGRESSIVE);
    EXPECT_EQ(values.JPEGProg, 1);
    Click(JpegTab, IDC_PROGRESSIVE);
    EXPECT_EQ(values.JPEGProg, 0);
}

TEST_F(SettingsWindowTest, OriginalSizeSwitchesToOneHundredPercent) {
    values.fSize = 0;
    values.SizeW = 300;
    values.SizeH = 200;
    values.PerW = 50;
    values.PerH = 40;
    Open();
    Click(SizeTab, IDC_ORIGINAL_SIZE);
    EXPECT_EQ(values.fSize, 1);
    EXPECT_EQ(values.PerW, 100);
    EXPECT_EQ(values.PerH, 100);
    EXPECT_EQ(values.SizeW, 300);
    EXPECT_EQ(values.SizeH, 200);
    EXPECT_TRUE(Checked(SizeTab, IDC_PERCENT_SIZE));
    EXPECT_FALSE(Checked(SizeTab, IDC_FIXED_SIZE));
    EXPECT_EQ(Text(SizeTab, IDC_WIDTH), "100");
    EXPECT_EQ(Text(SizeTab, IDC_HEIGHT), "100");
    EXPECT_FALSE(IsWindowEnabled(Item(SizeTab, IDC_KEEP_RATIO)));
}

TEST_F(SettingsWindowTest, ColourButtonsAskTheColourDialogAndKeepTheColourOnCancel) {
    const COLORREF chosen = RGB(12, 34, 56);
    struct Case {
        int id;
        Field field;
        bool answered;
    };
    using S = settings::AppSettings;
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
        SCOPED_TRACE(std::to_string(c.id) + (c.answered ? " answered" : " cancelled"));
        ui::ScriptedDialogs dialogs;
        const auto before = static_cast<COLORREF>(values.*c.field);
        if (c.answered) {
            dialogs.AnswerColour(chosen);
        } else {
            dialogs.CancelColour();
        }
        Click(BackgroundTab, c.id);
        // A double click on the button only repeats the click it ends.
        SendMessageA(Page(BackgroundTab), WM_COMMAND, MAKEWPARAM(c.id, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(Item(BackgroundTab, c.id)));
        ASSERT_EQ(dialogs.ColourDialogs().size(), 1u);
        EXPECT_EQ(dialogs.ColourDialogs()[0].dialog.hwndOwner, Page(BackgroundTab));
        EXPECT_EQ(dialogs.ColourDialogs()[0].dialog.rgbResult, before);
        const COLORREF expected = c.answered ? chosen : before;
        EXPECT_EQ(static_cast<COLORREF>(values.*c.field), expected);
        EXPECT_EQ(Swatch(c.id), expected);
        EXPECT_EQ(dialogs.Unanswered(), 0);
    }
}

TEST_F(SettingsWindowTest, TheSelectedTabShowsItsPageOnly) {
    const std::uint16_t saved[] = {0, 1, 2, 3, 65535};
    for (std::uint16_t tabSel : saved) {
        SCOPED_TRACE(tabSel);
        values.TabSel = tabSel;
        Open();
        const int expected = tabSel < settings::SettingsWindow::PageCount ? tabSel : 0;
        EXPECT_EQ(window.CurrentTab(), expected);
        EXPECT_EQ(SendDlgItemMessageA(window.hwnd, IDC_SETTINGS_TAB, TCM_GETCURSEL, 0, 0),
                  expected);
        for (int tab = 0; tab < settings::SettingsWindow::PageCount; ++tab) {
            EXPECT_EQ(Shown(tab), tab == expected) << "page " << tab;
        }
    }

    const HWND tabs = GetDlgItem(window.hwnd, IDC_SETTINGS_TAB);
    for (int target : {2, 1, 0, 2}) {
        SCOPED_TRACE(target);
        SendMessageA(tabs, TCM_SETCURSEL, target, 0);
        NMHDR change = {tabs, IDC_SETTINGS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(window.hwnd, WM_NOTIFY, IDC_SETTINGS_TAB, reinterpret_cast<LPARAM>(&change));
        EXPECT_EQ(window.CurrentTab(), target);
        for (int tab = 0; tab < settings::SettingsWindow::PageCount; ++tab) {
            EXPECT_EQ(Shown(tab), tab == target) << "page " << tab;
        }
    }
    // The values saved as TabSel come only from the user's choice.
    EXPECT_EQ(values.TabSel, 65535);
}

TEST_F(SettingsWindowTest, KeysMoveTheFocusAsInAnyDialog) {
    struct Case {
        int tab;
        WPARAM key;
        bool shift;
        int fromTab, from;
        int toTab, to;
    };
    const Case cases[] = {
        {BackgroundTab, VK_TAB, false, BackgroundTab, IDC_BACKGROUND_COLOUR, BackgroundTab,
         IDC_GAP_SIZE},
        {BackgroundTab, VK_TAB, false, BackgroundTab, IDC_GAP_SIZE, BackgroundTab, IDC_GAP_COLOUR},
        {BackgroundTab, VK_TAB, true, BackgroundTab, IDC_GAP_SIZE, BackgroundTab,
         IDC_BACKGROUND_COLOUR},
        {BackgroundTab, VK_TAB, false, BackgroundTab, IDC_GAP_COLOUR, WindowItself,
         IDC_SETTINGS_TAB},
        {BackgroundTab, VK_TAB, false, WindowItself, IDC_SETTINGS_TAB, BackgroundTab,
         IDC_BACKGROUND_COLOUR},
        // The keep-ratio box is disabled in percent mode and skipped.
        {SizeTab, VK_TAB, false, SizeTab, IDC_HEIGHT, SizeTab, IDC_ORIGINAL_SIZE},
        {SizeTab, VK_TAB, true, SizeTab, IDC_WIDTH, SizeTab, IDC_PERCENT_SIZE},
        {SizeTab, VK_RIGHT, false, SizeTab, IDC_PERCENT_SIZE, SizeTab, IDC_FIXED_SIZE},
        {JpegTab, VK_TAB, false, JpegTab, IDC_QUALITY, JpegTab, IDC_PROGRESSIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " key " + std::to_string(c.key));
        values.TabSel = static_cast<std::uint16_t>(c.tab);
        values.fSize = 1;
        Open();
        ShowWindow(window.hwnd, SW_SHOW);
        SetFocus(Item(c.fromTab, c.from));
        EXPECT_TRUE(Press(Item(c.fromTab, c.from), c.key, c.shift));
        EXPECT_EQ(GetFocus(), Item(c.toTab, c.to));
        if (c.key == VK_RIGHT) {
            // An arrow key into an automatic radio button also chooses it.
            EXPECT_TRUE(Checked(c.toTab, c.to));
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
