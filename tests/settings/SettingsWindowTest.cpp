#include "settings/SettingsWindow.h"
#include "settings/AppSettings.h"
#include "settings/SettingsIds.h"
#include "support/ScriptedDialogs.h"
#include "support/TestWindows.h"
#include "win/ScopedGdi.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using S = settings::AppSettings;
using Field = std::int32_t S::*;

constexpr int BackgroundTab = 0;
constexpr int SizeTab = 1;
constexpr int JpegTab = 2;

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testsupport::CreateTopLevel(owner)); }
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
    // The gap, quality, width and height boxes, as "gap/quality/WxH".
    std::string Boxes() const {
        return Text(BackgroundTab, IDC_GAP_SIZE) + "/" + Text(JpegTab, IDC_QUALITY) + "/" +
               Text(SizeTab, IDC_WIDTH) + "x" + Text(SizeTab, IDC_HEIGHT);
    }
    // The same values as a paste and a save take them from the settings.
    std::string InForce() const {
        const bool percent = values.fSize != 0;
        return std::to_string(values.PadSize) + "/" + std::to_string(values.JPEGQuality) + "/" +
               std::to_string(percent ? values.PerW : values.SizeW) + "x" +
               std::to_string(percent ? values.PerH : values.SizeH);
    }
    void Click(int tab, int id) { SendMessageA(Item(tab, id), BM_CLICK, 0, 0); }
    bool Checked(int tab, int id) const { return IsDlgButtonChecked(Page(tab), id) == BST_CHECKED; }
    // The page windows' visibility, one digit each.
    std::string Shown() const {
        std::string shown;
        for (int tab = 0; tab < settings::SettingsWindow::PageCount; ++tab) {
            shown += (GetWindowLongA(Page(tab), GWL_STYLE) & WS_VISIBLE) ? '1' : '0';
        }
        return shown;
    }
    // The colour a background page button paints as its swatch.
    COLORREF Swatch(int id) {
        const win::MemoryDC dc;
        const win::GdiObject bitmap(CreateBitmap(40, 24, 1, 32, nullptr));
        const win::SelectScope select(dc.Get(), bitmap.Get());
        DRAWITEMSTRUCT item = {ODT_BUTTON, static_cast<UINT>(id),   0,        ODA_DRAWENTIRE,
                               0,          Item(BackgroundTab, id), dc.Get(), {0, 0, 40, 24},
                               0};
        SendMessageA(Page(BackgroundTab), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
        return GetPixel(dc.Get(), 20, 12);
    }
    // A key press as the message loop offers it, without shift.
    bool Press(HWND target, WPARAM key) {
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        MSG msg = {target, WM_KEYDOWN, key, 1, 0, {}};
        return window.PreTranslate(msg);
    }

    S values;
    settings::SettingsWindow window{values};
    testsupport::CommandRecorder owner;
};

} // namespace

// Out-of-range numbers from the file are shown as they are mended; of the
// two size pairs only the one in force is, the other when its mode is chosen.
TEST_F(SettingsWindowTest, BoxesOpenOnTheValuesInForceAndEachModeShowsItsOwnPair) {
    for (const std::uint16_t fSize : {0, 1}) {
        SCOPED_TRACE(fSize);
        values.fSize = fSize;
        values.SizeW = values.PerW = 0;
        values.SizeH = values.PerH = 150;
        values.PadSize = 31;
        values.JPEGQuality = fSize ? 0 : 150;
        Open();
        EXPECT_EQ(Boxes(), fSize ? "30/1/1x100" : "30/100/1x150");
        EXPECT_EQ(Boxes(), InForce());
        EXPECT_EQ(fSize ? values.SizeW : values.PerW, 0);
        EXPECT_EQ(Checked(SizeTab, IDC_FIXED_SIZE), fSize == 0);
        Click(SizeTab, fSize ? IDC_FIXED_SIZE : IDC_PERCENT_SIZE);
        EXPECT_EQ(Boxes(), fSize ? "30/1/1x150" : "30/100/1x100");
        EXPECT_EQ(Boxes(), InForce());
    }
}

// Typing stores the value by the rule while the box keeps the text; leaving
// the box rewrites it with the value stored, which stores it again and
// nothing more.
TEST_F(SettingsWindowTest, LeavingABoxShowsTheValueAPasteOrSaveUses) {
    const struct {
        int tab, id;
        std::uint16_t fSize;
        const char* typed;
        Field field;
        const char* shown;
    } cases[] = {
        {BackgroundTab, IDC_GAP_SIZE, 1, "", &S::PadSize, "0"},
        {BackgroundTab, IDC_GAP_SIZE, 1, "abc", &S::PadSize, "0"},
        {BackgroundTab, IDC_GAP_SIZE, 1, "31", &S::PadSize, "30"},
        {BackgroundTab, IDC_GAP_SIZE, 1, "3000000000", &S::PadSize, "30"},
        {SizeTab, IDC_WIDTH, 1, "150", &S::PerW, "100"},
        {SizeTab, IDC_WIDTH, 1, "0", &S::PerW, "1"},
        {SizeTab, IDC_HEIGHT, 1, "", &S::PerH, "1"},
        {SizeTab, IDC_WIDTH, 0, "0", &S::SizeW, "1"},
        {SizeTab, IDC_WIDTH, 0, "3000000000", &S::SizeW, "2147483647"},
        {SizeTab, IDC_HEIGHT, 0, "", &S::SizeH, "1"},
        {SizeTab, IDC_HEIGHT, 0, "3000000000", &S::SizeH, "2147483647"},
        {SizeTab, IDC_HEIGHT, 0, "640", &S::SizeH, "640"},
        {JpegTab, IDC_QUALITY, 1, "0", &S::JPEGQuality, "1"},
        {JpegTab, IDC_QUALITY, 1, "150", &S::JPEGQuality, "100"},
        {JpegTab, IDC_QUALITY, 1, "x9", &S::JPEGQuality, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.typed);
        values.fSize = c.fSize;
        values.TabSel = static_cast<std::uint16_t>(c.tab);
        Open();
        ShowWindow(window.hwnd, SW_SHOW);
        SetFocus(Item(c.tab, c.id));
        Type(c.tab, c.id, c.typed);
        EXPECT_EQ(Text(c.tab, c.id), c.typed);
        EXPECT_EQ(std::to_string(values.*c.field), c.shown);
        SetFocus(Item(c.tab, IDC_SETTINGS_TAB));
        ASSERT_EQ(GetFocus(), Item(c.tab, IDC_SETTINGS_TAB));
        EXPECT_EQ(Text(c.tab, c.id), c.shown);
        EXPECT_EQ(std::to_string(values.*c.field), c.shown);
    }
}

TEST_F(SettingsWindowTest, ModeButtonsShowTheStoredPairAndKeepRatioOnlyInFixedMode) {
    values.fSize = values.bRatio = 1;
    values.SizeW = 640;
    values.SizeH = 480;
    values.PerW = 50;
    values.PerH = 40;
    Open();
    Type(SizeTab, IDC_WIDTH, "150");
    // The button clicked, then the mode stored and the pair shown.
    for (const auto& [click, fSize, size] :
         {std::tuple{IDC_FIXED_SIZE, 0, "640x480"}, std::tuple{IDC_PERCENT_SIZE, 1, "100x40"},
          std::tuple{IDC_FIXED_SIZE, 0, "640x480"}, std::tuple{IDC_ORIGINAL_SIZE, 1, "100x100"}}) {
        Click(SizeTab, click);
        EXPECT_EQ(values.fSize, fSize) << click;
        EXPECT_EQ(Checked(SizeTab, IDC_PERCENT_SIZE), fSize != 0);
        EXPECT_EQ(Text(SizeTab, IDC_WIDTH) + "x" + Text(SizeTab, IDC_HEIGHT), size);
        EXPECT_EQ(IsWindowEnabled(Item(SizeTab, IDC_KEEP_RATIO)) != FALSE, fSize == 0);
    }
    EXPECT_EQ(values.SizeW, 640);
    // The check boxes store their state as they are clicked.
    Click(SizeTab, IDC_FIXED_SIZE);
    Click(SizeTab, IDC_KEEP_RATIO);
    Click(JpegTab, IDC_PROGRESSIVE);
    Click(JpegTab, IDC_WEBP_LOSSLESS);
    EXPECT_EQ(values.bRatio * 100 + values.JPEGProg * 10 + values.WebPLossless, 11);
}

// A chosen colour reaching the picture is shown in the program test.
TEST_F(SettingsWindowTest, AColourButtonShowsTheColourAndKeepsItOnCancel) {
    values.BkColor = RGB(200, 0, 0);
    Open();
    ui::ScriptedDialogs dialogs;
    dialogs.CancelColour();
    dialogs.AnswerColour(RGB(12, 34, 56));
    for (const COLORREF expected : {RGB(200, 0, 0), RGB(12, 34, 56)}) {
        Click(BackgroundTab, IDC_BACKGROUND_COLOUR);
        // A double click only repeats the click that it ends.
        SendMessageA(Page(BackgroundTab), WM_COMMAND,
                     MAKEWPARAM(IDC_BACKGROUND_COLOUR, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(Item(BackgroundTab, IDC_BACKGROUND_COLOUR)));
        EXPECT_EQ(static_cast<COLORREF>(values.BkColor), expected);
        EXPECT_EQ(Swatch(IDC_BACKGROUND_COLOUR), expected);
    }
    ASSERT_EQ(dialogs.ColourDialogs().size(), 2u);
    EXPECT_EQ(dialogs.ColourDialogs()[1].dialog.hwndOwner, Page(BackgroundTab));
    EXPECT_EQ(dialogs.ColourDialogs()[1].dialog.rgbResult, RGB(200, 0, 0));
}

TEST_F(SettingsWindowTest, TheSelectedTabShowsItsPageOnly) {
    values.TabSel = 65535; // out of range: the first page
    Open();
    EXPECT_EQ(Shown(), "100");
    const HWND tabs = Item(0, IDC_SETTINGS_TAB);
    SendMessageA(tabs, TCM_SETCURSEL, 2, 0);
    NMHDR change = {tabs, IDC_SETTINGS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(window.hwnd, WM_NOTIFY, IDC_SETTINGS_TAB, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(window.CurrentTab(), 2);
    EXPECT_EQ(Shown(), "001");
    // The window never writes TabSel: the program saves CurrentTab there.
    EXPECT_EQ(values.TabSel, 65535);
}

// The tab order itself is the template's and the rest the dialog manager's;
// this shows that the window's keys reach it at all.
TEST_F(SettingsWindowTest, KeysMoveTheFocusAsInAnyDialogAndEscHidesTheWindow) {
    values.TabSel = SizeTab;
    Open();
    ShowWindow(window.hwnd, SW_SHOW);
    // An arrow key onto an automatic radio button moves to it and chooses it.
    SetFocus(Item(SizeTab, IDC_PERCENT_SIZE));
    EXPECT_TRUE(Press(Item(SizeTab, IDC_PERCENT_SIZE), VK_RIGHT));
    EXPECT_EQ(GetFocus(), Item(SizeTab, IDC_FIXED_SIZE));
    EXPECT_EQ(values.fSize, 0);
    // Messages for other windows are left to the loop.
    EXPECT_FALSE(Press(owner.hwnd, VK_TAB));
    // Esc, like the close box, asks the owner to hide the window.
    SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Press(Item(SizeTab, IDC_WIDTH), VK_ESCAPE));
    EXPECT_EQ(owner.commands, (std::vector<UINT>{IDM_VIEW_SETTINGS, IDM_VIEW_SETTINGS}));
    EXPECT_TRUE(IsWindow(window.hwnd));
}
