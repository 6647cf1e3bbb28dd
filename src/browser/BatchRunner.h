#pragma once

#include "browser/BatchActions.h"
#include "job/BatchJob.h"
#include "job/PictureLoader.h"
#include "browser/PasteCommand.h"
#include "settings/AppSettings.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace browser {

// The file list's paste and batch actions: one selected picture goes
// straight to the main window's interactive paste; more, or a job from the
// batch dialog, run on a worker thread behind the progress dialog.
class BatchRunner : public BatchActions {
public:
    BatchRunner(PasteCommand& paster, settings::AppSettings& settings)
        : paster(paster), settings(settings) {}
    BatchRunner(const BatchRunner&) = delete;
    BatchRunner& operator=(const BatchRunner&) = delete;

    void PasteSelected(HWND owner, const std::string& folder,
                       const std::vector<job::ListEntry>& entries, bool below) override;
    void RunBatch(HWND owner, const std::string& folder,
                  const std::vector<job::ListEntry>& entries) override;

    // Files named by whole paths (dropped, or named on a command line): in
    // name order to the right of the last picture, or each below everything;
    // one directly, several as a job. While a job runs they wait for its end.
    void PasteFiles(std::vector<std::string> paths, bool below);

    // Set by the application before the list can call in.
    // The main window's paste of one file, with its messages and refresh.
    std::function<bool(const char* path, bool below)> pasteInteractive;
    // Brings the main window's title and canvas up to date; called on this
    // thread after a job that pasted something.
    std::function<void()> refreshView;
    // The progress dialog's owner, disabled while a job runs (the main window).
    HWND progressOwner = nullptr;
    // Steer the jobs' picture loaders; tests use them (see PictureLoader::Hooks).
    job::PictureLoader::Hooks loaderHooks;

private:
    // The job is a copy: nothing it reads can change while it runs.
    void RunJob(job::BatchJob job);

    PasteCommand& paster;
    settings::AppSettings& settings;
};

} // namespace browser
