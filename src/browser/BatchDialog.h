#pragma once

#include "settings/AppSettings.h"
#include "ui/Dialog.h"

#include <windows.h>

namespace browser {

// The batch dialog: which pictures of the folder a job takes and how it
// arranges them. It shows and stores the All_ fields of the settings; they
// are stored on "실행" and on "취소" alike. DoModal returns 1 for "실행".
class BatchDialog : public ui::Dialog {
public:
    BatchDialog(settings::AppSettings& settings, int selectedPictures, int allPictures)
        : settings(settings), selectedPictures(selectedPictures), allPictures(allPictures) {}

    int OnInitDialog(LRESULT* result) override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNcActivate(WPARAM active) override;

private:
    settings::AppSettings& settings;
    int selectedPictures;
    int allPictures;
};

} // namespace browser
