#pragma once

#include "ui/Dialog.h"

namespace app {

// The About box (template 103): OK or the close box end it with 1; "HP"
// opens the project's home page and keeps it open.
class AboutDialog : public ui::Dialog {
public:
    static constexpr const char* HomePage = "https://quiltora.org/";

    int OnCommand(UINT id, UINT code, HWND control) override;
};

} // namespace app
