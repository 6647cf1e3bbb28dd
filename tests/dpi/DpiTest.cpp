// The program's own layout at the display's DPI. CTest runs this program at
// 96, 144 and 192 DPI (each in a Wine prefix of its own, whose LogPixels
// QUILTORA_DPI names); run alone it takes the DPI the system has.

#include "app/MainWindow.h"
#include "browser/BatchDialog.h"
#include "browser/BrowserIds.h"
#include "browser/FileListWindow.h"
#include "image/JoinDocument.h"
#include "win/ScopedGdi.h"
#include "settings/AppSettings.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestPictures.h"
#include "support/TestWindows.h"
#include "ui/Dpi.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

using testsupport::ChildRect;

namespace {

std::wstring WideText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    std::wstring shown;
    // "&&" shows one ampersand, a single one only underlines.
    for (const wchar_t* at = text; *at != 0; ++at) {
        if (*at != L'&' || at[1] == L'&') {
            shown += *at == L'&' ? *++at : *at;
        }
    }
    return shown;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// The room a control's text needs in its own font: the text, and beside a
// check box or radio button the box and its gap.
SIZE NeededRoom(HWND control, UINT dpi) {
    const std::wstring text = WideText(control);
    SIZE room = {0, 0};
    if (text.empty()) {
        return room;
    }
    const HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &room);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG kind = style & BS_TYPEMASK;
    if (ClassOf(control) == "Button" && (kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON ||
                                         kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX)) {
        room.cx += GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + ui::ScaleToDpi(3, dpi);
    }
    return room;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// An up-down control laid beside its buddy shares the buddy's border.
bool ArePartners(HWND a, HWND b) {
    const auto buddy = [](HWND control) {
        return ClassOf(control) == UPDOWN_CLASSA
                   ? reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0))
                   : nullptr;
    };
    return buddy(a) == b || buddy(b) == a;
}

bool IsGroupBox(HWND control) {
    return ClassOf(control) == "Button" &&
           (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Every child of the dialog lies inside it, shows its text whole, and
// overlaps no other child; a group box holds whole controls or none.
void ExpectNothingCutOrOverlapping(HWND dialog, UINT dpi) {
    RECT client = {};
    GetClientRect(dialog, &client);
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_FALSE(children.empty());
    for (HWND child : children) {
        const RECT rect = ChildRect(child);
        const std::string name = ClassOf(child) + " " + std::to_string(GetDlgCtrlID(child));
        EXPECT_TRUE(Inside(rect, client)) << name << " is cut by the dialog's edge";
        if (ClassOf(child) != "Edit") {
            const SIZE room = NeededRoom(child, dpi);
            EXPECT_LE(room.cx, rect.right - rect.left) << name << " cuts its text";
            EXPECT_LE(room.cy, rect.bottom - rect.top) << name << " cuts its text";
        }
        for (HWND other : children) {
            const RECT otherRect = ChildRect(other);
            RECT common = {};
            if (other == child || !IntersectRect(&common, &rect, &otherRect) ||
                ArePartners(child, other)) {
                continue;
            }
            const bool held = IsGroupBox(other) && Inside(rect, otherRect);
            const bool holds = IsGroupBox(child) && Inside(otherRect, rect);
            EXPECT_TRUE(held || holds)
                << name << " overlaps " << ClassOf(other) << " " << GetDlgCtrlID(other);
        }
    }
}

class DpiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dpi = ui::SystemDpi();
        const char* expected = std::getenv("QUILTORA_DPI");
        if (expected != nullptr && *expected != 0) {
            ASSERT_EQ(dpi, static_cast<UINT>(std::atoi(expected))) << "the prefix's LogPixels";
        }
        settings.PadSize = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        settings.ListDir.Assign(temp);
        settings.ListDir.StripFileName();
    }
    void TearDown() override {
        for (ui::Window* window : std::vector<ui::Window*>{&fileList, &main}) {
            if (window->hwnd != nullptr && IsWindow(window->hwnd)) {
                DestroyWindow(window->hwnd);
            }
        }
        testsupport::PumpMessages();
    }

    UINT dpi = 96;
    ui::ScriptedDialogs dialogs;
    settings::AppSettings settings;
    image::JoinDocument document;
    app::MainWindow main{document, settings};
    browser::FileListWindow fileList;
};

} // namespace

TEST_F(DpiTest, NoControlOfTheSettingsWindowOrTheBatchDialogIsCutOrOverlapped) {
    settings::SettingsWindow window(settings);
    ASSERT_TRUE(window.Create(nullptr));
    {
        SCOPED_TRACE("settings window");
        // The window holds the tab control, and the tab's display area the
        // pages.
        const HWND tab = GetDlgItem(window.hwnd, IDC_SETTINGS_TAB);
        RECT client = {};
        GetClientRect(window.hwnd, &client);
        EXPECT_TRUE(Inside(ChildRect(tab), client));
        RECT area = {};
        GetClientRect(tab, &area);
        SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MapWindowPoints(tab, window.hwnd, reinterpret_cast<POINT*>(&area), 2);
        for (int i = 0; i < settings::SettingsWindow::PageCount; ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(Inside(ChildRect(window.PageWindow(i)), area));
            ExpectNothingCutOrOverlapping(window.PageWindow(i), dpi);
        }
    }
    browser::BatchDialog batch(settings, 2, 12);
    ASSERT_TRUE(batch.CreateModeless(IDD_BATCH, nullptr));
    {
        SCOPED_TRACE("batch dialog");
        ExpectNothingCutOrOverlapping(batch.hwnd, dpi);
    }
    DestroyWindow(batch.hwnd);
}

TEST_F(DpiTest, AtFullSizeEveryPicturePixelIsOneScreenPixel) {
    ASSERT_TRUE(main.CreateWindows());
    main.SetSize(400, 300);
    main.Show(SW_SHOWNOACTIVATE);
    // 1 x 1-pixel checks: any stretch by the display's scale smears them.
    constexpr int Side = 64;
    image::Image checks;
    ASSERT_TRUE(testpictures::MakeImage(checks, Side, Side,
                                        [](int x, int y) { return (x + y) % 2 * 0xFFFFFFu; }));
    ASSERT_TRUE(document.PasteImage(checks, false, 0, settings.PasteValues()));
    main.RefreshView();
    RedrawWindow(main.canvas.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // Read back from the window's own context.
    const HDC screen = GetDC(main.canvas.hwnd);
    int wrong = 0;
    for (int y = 0; y < Side + 2; ++y) {
        for (int x = 0; x < Side + 2; ++x) {
            const COLORREF expected = x >= Side || y >= Side ? GetSysColor(COLOR_BTNSHADOW)
                                      : (x + y) % 2 == 0     ? RGB(0, 0, 0)
                                                             : RGB(255, 255, 255);
            wrong += GetPixel(screen, x, y) != expected ? 1 : 0;
        }
    }
    ReleaseDC(main.canvas.hwnd, screen);
    EXPECT_EQ(wrong, 0);
}

// The toolbars, the list's icons and the scroll step at the display's DPI;
// then a move to a monitor of another DPI: the suggested rectangle is taken
// and everything inside is laid out again at the new DPI.
TEST_F(DpiTest, ToolbarsAndIconsFollowTheDpiAndAChangeRelaysBothWindows) {
    ASSERT_TRUE(main.CreateWindows());
    ASSERT_TRUE(fileList.Create(main.hwnd, settings));
    const auto expectSizesAt = [this](UINT at) {
        SCOPED_TRACE(at);
        // The images are 16, 15 and 16 pixels at 96 DPI, rounded to the
        // nearest pixel at others (the list's toolbar is 23 at 144 DPI).
        const struct {
            const char* what;
            ui::Toolbar& toolbar;
            int image;
        } toolbars[] = {{"main", main.toolbar, MulDiv(16, at, 96)},
                        {"list", fileList.toolbar, MulDiv(15, at, 96)}};
        for (const auto& bar : toolbars) {
            SCOPED_TRACE(bar.what);
            EXPECT_EQ(bar.toolbar.ImageSize().cx, bar.image);
            EXPECT_EQ(bar.toolbar.ImageSize().cy, bar.image);
            // A button holds its image and the control's padding around it.
            const auto padding = static_cast<DWORD>(bar.toolbar.Send(TB_GETPADDING, 0, 0));
            EXPECT_GE(bar.toolbar.ButtonSize().cx, bar.image + LOWORD(padding) / 2);
            EXPECT_GE(bar.toolbar.ButtonSize().cy, bar.image + HIWORD(padding) / 2);
            EXPECT_GE(bar.toolbar.WindowSize().cy, bar.toolbar.ButtonSize().cy);
        }
        EXPECT_EQ(fileList.imageList.ImageSize().cx, MulDiv(16, at, 96));
        EXPECT_EQ(fileList.imageList.ImageSize().cy, MulDiv(16, at, 96));
        EXPECT_EQ(main.canvas.ScrollStep(), MulDiv(view::CanvasView::LineStep, at, 96));
    };
    expectSizesAt(dpi);
    const UINT newDpi = dpi == 96 ? 192 : dpi == 144 ? 96 : 144;
    const int previewBefore = fileList.PreviewHeight();
    const RECT suggested[] = {
        {30, 40, 30 + ui::ScaleToDpi(320, newDpi), 40 + ui::ScaleToDpi(250, newDpi)},
        {60, 70, 60 + ui::ScaleToDpi(260, newDpi), 70 + ui::ScaleToDpi(300, newDpi)}};
    ui::Window* const windows[] = {&main, &fileList};
    for (int i = 0; i < 2; ++i) {
        windows[i]->Send(WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                         reinterpret_cast<LPARAM>(&suggested[i]));
        RECT now = {};
        windows[i]->WindowRect(&now);
        EXPECT_TRUE(EqualRect(&now, &suggested[i])) << i;
    }
    EXPECT_EQ(main.Dpi(), newDpi);
    EXPECT_EQ(fileList.Dpi(), newDpi);
    expectSizesAt(newDpi);
    int edges[app::StatusBar::PartCount] = {};
    main.statusBar.Send(SB_GETPARTS, app::StatusBar::PartCount, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], ui::ScaleToDpi(120, newDpi));
    const RECT canvas = ChildRect(main.canvas.hwnd);
    const SIZE client = main.ClientSize();
    EXPECT_EQ(canvas.top, main.toolbar.WindowSize().cy);
    EXPECT_EQ(canvas.bottom, client.cy - main.statusBar.WindowSize().cy);
    EXPECT_EQ(fileList.PreviewHeight(), MulDiv(previewBefore, newDpi, dpi));
    // The splitter strip between the list and the preview.
    EXPECT_EQ(ChildRect(fileList.previewPane.hwnd).top - ChildRect(fileList.listView.hwnd).bottom,
              ui::ScaleToDpi(browser::SplitterHeight, newDpi));
    EXPECT_EQ(ChildRect(fileList.listView.hwnd).top, fileList.toolbar.WindowSize().cy);
}
