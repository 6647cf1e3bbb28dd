#pragma once

#include "settings/AppSettings.h"
#include "settings/BackgroundPage.h"
#include "settings/JpegPage.h"
#include "settings/SizePage.h"
#include "ui/ControlWindow.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <array>

namespace settings {

// The modeless tool window that edits the background, gap, size and JPEG
// settings on three tab pages. Every change is stored at once; there is no
// OK button. Closing it asks the owner to hide it: the window lives until its
// owner goes.
class SettingsWindow : public ui::Dialog {
public:
    static constexpr int PageCount = 3;

    explicit SettingsWindow(AppSettings& appSettings);
    ~SettingsWindow() override;

    // Builds the hidden window, owned by owner, with its pages, and shows the
    // page saved in TabSel (the first when TabSel names none). False, with no
    // window left, when any of the four dialogs cannot be created.
    bool Create(HWND owner);

    // Gives the message loop's message to the dialog manager when it is for
    // this window or one of its controls, so that Tab, the arrow keys,
    // mnemonics and Esc work as in any dialog. True when it was consumed and
    // must not be dispatched.
    bool PreTranslate(MSG& msg);

    // The page shown, saved at exit as TabSel.
    int CurrentTab() const { return currentTab; }
    // The page window at a tab index, NULL outside 0 to PageCount - 1.
    HWND PageWindow(int index) const;

    int OnClose() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(WPARAM id, NMHDR* header, LRESULT* result) override;
    // WM_DPICHANGED lays the pages out again.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    bool CreatePages();
    void PlacePages();
    void RequestHide() const;

    AppSettings& appSettings;
    BackgroundPage backgroundPage;
    SizePage sizePage;
    JpegPage jpegPage;
    ui::ControlWindow tabControl;
    std::array<HWND, PageCount> pages{};
    int currentTab = 0;
    HWND owner = nullptr;
};

} // namespace settings
