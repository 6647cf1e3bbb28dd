#include "settings/SettingsWindow.h"

#include "settings/SettingsIds.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace settings {

namespace {

// Tab texts in page order; the second keeps its two trailing blanks.
constexpr const char* TabTexts[SettingsWindow::PageCount] = {"그림", "그림크기  ", "JPEG/WebP"};
// Posted to itself after a DPI change.
constexpr UINT PlacePagesMessage = WM_APP + 31;

} // namespace

SettingsWindow::SettingsWindow(AppSettings& appSettings)
    : appSettings(appSettings), backgroundPage(appSettings), sizePage(appSettings),
      jpegPage(appSettings) {}

SettingsWindow::~SettingsWindow() {
    // The pages are children and go with the window.
    if (IsBoundWindow()) {
        DestroyWindow(hwnd);
    }
}

bool SettingsWindow::Create(HWND ownerWindow) {
    if (IsBoundWindow()) {
        DestroyWindow(hwnd);
    }
    // The template's tab and up-down controls need their classes registered.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);

    owner = ownerWindow;
    if (!CreateModeless(IDD_SETTINGS, ownerWindow)) {
        return false;
    }
    tabControl.AttachDlgItem(hwnd, IDC_SETTINGS_TAB);
    for (int i = 0; i < PageCount; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.pszText = const_cast<char*>(TabTexts[i]);
        item.iImage = -1;
        item.lParam = 0;
        tabControl.Send(TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    if (!CreatePages()) {
        DestroyWindow(hwnd);
        return false;
    }

    PlacePages();
    for (HWND page : pages) {
        // With visual styles a page takes the tab body's background.
        EnableThemeDialogTexture(page, ETDT_ENABLETAB);
    }

    currentTab = appSettings.TabSel < PageCount ? appSettings.TabSel : 0;
    tabControl.Send(TCM_SETCURSEL, static_cast<WPARAM>(currentTab), 0);
    ShowWindow(pages[currentTab], SW_SHOWNORMAL);
    return true;
}

void SettingsWindow::PlacePages() {
    // The display area, in the window's client coordinates: the pages are
    // the window's children, not the tab control's, because a control parent
    // is never a tab stop itself and the tab strip must stay one.
    RECT area;
    tabControl.ClientRect(&area);
    tabControl.Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabControl.hwnd, hwnd, reinterpret_cast<POINT*>(&area), 2);
    for (HWND page : pages) {
        // Above the tab control, which clips its siblings, so that it never
        // paints over the page; the tab strip comes after the page's
        // controls in the Tab order.
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    }
}

int SettingsWindow::FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The dialog manager scales a dialog made from a template, its controls
    // and its child dialogs to a new DPI itself, after this procedure; the
    // pages are laid over the tab's display area once it has.
    if (msg == WM_DPICHANGED) {
        Post(PlacePagesMessage, 0, 0);
    } else if (msg == PlacePagesMessage) {
        PlacePages();
        return 1;
    }
    return ui::Dialog::FilterMessage(msg, wParam, lParam, result);
}

bool SettingsWindow::CreatePages() {
    if (!backgroundPage.Create(hwnd) || !sizePage.Create(hwnd) || !jpegPage.Create(hwnd)) {
        return false;
    }
    pages = {backgroundPage.hwnd, sizePage.hwnd, jpegPage.hwnd};
    return true;
}

bool SettingsWindow::PreTranslate(MSG& msg) {
    if (!IsBoundWindow() || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) {
        return false;
    }
    return IsDialogMessageA(hwnd, &msg) != FALSE;
}

HWND SettingsWindow::PageWindow(int index) const {
    return index >= 0 && index < PageCount ? pages[index] : nullptr;
}

int SettingsWindow::OnClose() {
    RequestHide();
    return 1;
}

int SettingsWindow::OnCommand(UINT id, UINT, HWND) {
    // The dialog manager turns Esc into IDCANCEL.
    if (id != IDCANCEL) {
        return 0;
    }
    RequestHide();
    return 1;
}

int SettingsWindow::OnNotify(WPARAM, NMHDR* header, LRESULT*) {
    if (header->idFrom != IDC_SETTINGS_TAB) {
        return 0;
    }
    if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        const auto selected = static_cast<int>(tabControl.Send(TCM_GETCURSEL, 0, 0));
        if (selected >= 0 && selected < PageCount) {
            ShowWindow(pages[currentTab], SW_HIDE);
            currentTab = selected;
            ShowWindow(pages[currentTab], SW_SHOWNORMAL);
        }
    }
    return 1;
}

void SettingsWindow::RequestHide() const {
    // The owner hides the window and keeps its View menu in step; the window
    // itself is never destroyed by its close box.
    if (owner != nullptr) {
        SendMessageA(owner, WM_COMMAND, MAKEWPARAM(IDM_VIEW_SETTINGS, 0), 0);
    }
}

} // namespace settings
