#pragma once

#include "job/BatchJob.h"
#include "job/ListEntry.h"
#include "settings/AppSettings.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace browser {

// The batch dialog: which pictures of the folder a job takes and how it
// arranges them. It shows and stores the All_ fields of the settings; they
// are stored on "실행" and on "취소" alike. DoModal returns 1 for "실행".
// Given the folder and its entries, it shows the size of the picture the
// options would produce, read from the files' headers, as they change.
class BatchDialog : public ui::Dialog {
public:
    BatchDialog(settings::AppSettings& settings, int selectedPictures, int allPictures,
                std::string folder = std::string(), std::vector<job::ListEntry> entries = {})
        : settings(settings), selectedPictures(selectedPictures), allPictures(allPictures),
          folder(std::move(folder)), entries(std::move(entries)) {}

    int OnInitDialog(LRESULT* result) override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNcActivate(WPARAM active) override;

    // The layout the stored choices give a job, with values out of range
    // (from the INI file) taken as the defaults or the nearest limit.
    static job::JobLayout StoredLayout(const settings::AppSettings& settings);

private:
    // The job the controls describe now, as RunBatch would build it.
    job::BatchJob JobFromControls();
    void ShowResultSize();
    // The pictures-per-row box read as a number, clamped to 1 .. 1000.
    int PerRowInForce();
    // Rewrites the pictures-per-row box with the number a job takes from it.
    void ShowPerRowInForce();
    // The stitch tolerance box read as a number, clamped to 0 .. 64.
    int StitchToleranceInForce();
    // Stitching is a column's: its controls are enabled only for one.
    void EnableStitch();
    // Stitching is offered and chosen.
    bool Stitching();
    void InitLayout();
    // The alignment words of the arrangement checked, and which layout
    // choices fit it and each other; the others are disabled.
    void ShowLayoutChoices();
    // inForce: the layout a job takes, the default while stitching; else
    // what the layout controls show, to be stored.
    job::JobLayout LayoutFromControls(bool inForce);
    void StoreLayout();
    int NumberInForce(int id, int low, int high);

    settings::AppSettings& settings;
    int selectedPictures;
    int allPictures;
    std::string folder;
    std::vector<job::ListEntry> entries;
    // Each file's header is read once, however often the options change;
    // a size of 0 x 0 stands for a file that cannot be read.
    std::map<std::string, std::pair<int, int>> sizes;
    // The alignment drop-down shows one of the two at a time.
    int rowAlign = 0;
    int columnAlign = 0;
    int alignShown = -1; // 1: the column's words, 0: the rows', -1: none yet
};

} // namespace browser
