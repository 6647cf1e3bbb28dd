#include "app/AboutDialog.h"

#include "app/ResourceIds.h"
#include "ui/SystemDialogs.h"

namespace app {

int AboutDialog::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        End(1);
        return TRUE;
    case IDC_ABOUT_HOMEPAGE:
        ui::SystemDialogs::Current().ShellExecuteFile(nullptr, "open", HomePage, nullptr, nullptr,
                                                      SW_SHOWNORMAL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace app
