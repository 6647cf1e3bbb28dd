#include "browser/BatchRunner.h"

#include "browser/BatchDialog.h"
#include "job/BatchPlan.h"
#include "browser/BatchWorker.h"
#include "browser/BrowserIds.h"
#include "browser/ProgressDialog.h"

#include <algorithm>
#include <utility>

namespace browser {

namespace {

// Ends the paste command's job when the scope ends.
class JobHold {
public:
    explicit JobHold(PasteCommand& paster) : paster(paster) {}
    ~JobHold() { paster.EndJob(); }
    JobHold(const JobHold&) = delete;
    JobHold& operator=(const JobHold&) = delete;

private:
    PasteCommand& paster;
};

} // namespace

void BatchRunner::PasteSelected(HWND, const std::string& folder,
                                const std::vector<job::ListEntry>& entries, bool below) {
    const int count = job::BatchPlan::CountPictures(entries, true);
    if (count == 0) {
        return;
    }
    if (count == 1) {
        for (const job::ListEntry& entry : entries) {
            if (entry.kind == job::ImageFile && entry.selected && pasteInteractive) {
                pasteInteractive((folder + "\\" + entry.name).c_str(), below);
                return;
            }
        }
        return;
    }
    job::BatchJob job;
    job.folder = folder;
    job.entries = entries;
    job.files = job::Selected;
    job.arrangement = below ? job::OneColumn : job::OneRow;
    job.firstBelow = false;
    job.width = settings.All_Width;
    job.perRow = settings.All_ImgNum;
    job.layout = BatchDialog::StoredLayout(settings);
    RunJob(std::move(job));
}

void BatchRunner::RunBatch(HWND owner, const std::string& folder,
                           const std::vector<job::ListEntry>& entries) {
    // The list stays usable during a job, but a second one is not begun.
    if (paster.JobRunning()) {
        return;
    }
    BatchDialog dialog(settings, job::BatchPlan::CountPictures(entries, true),
                       job::BatchPlan::CountPictures(entries, false), folder, entries);
    if (dialog.DoModal(IDD_BATCH, owner) != 1) {
        return;
    }
    job::BatchJob job;
    job.folder = folder;
    job.entries = entries;
    job.files = settings.All_File;
    job.arrangement = settings.All_Arrange;
    job.firstBelow = true;
    job.width = settings.All_Width;
    job.perRow = settings.All_ImgNum;
    job.pattern = settings.All_FileText.Data();
    job.stitch = settings.All_Stitch != 0;
    job.stitchTolerance = settings.All_StitchTolerance;
    job.layout = BatchDialog::StoredLayout(settings);
    RunJob(std::move(job));
}

void BatchRunner::PasteFiles(std::vector<std::string> paths, bool below) {
    if (paths.empty()) {
        return;
    }
    if (paster.JobRunning()) {
        paster.Defer([this, paths = std::move(paths), below]() mutable {
            PasteFiles(std::move(paths), below);
        });
        return;
    }
    if (paths.size() == 1) {
        if (pasteInteractive) {
            pasteInteractive(paths.front().c_str(), below);
        }
        return;
    }
    // By the file's own name, as the list orders them; the whole path only
    // settles names that are equal apart from case.
    const auto fileName = [](const std::string& path) {
        const size_t slash = path.find_last_of("\\/");
        return slash == std::string::npos ? path : path.substr(slash + 1);
    };
    std::stable_sort(paths.begin(), paths.end(),
                     [&fileName](const std::string& a, const std::string& b) {
                         const int order = lstrcmpiA(fileName(a).c_str(), fileName(b).c_str());
                         return order != 0 ? order < 0 : lstrcmpiA(a.c_str(), b.c_str()) < 0;
                     });
    job::BatchJob job;
    // No folder: each entry's name is its whole path.
    for (std::string& path : paths) {
        job.entries.push_back({std::move(path), job::ImageFile, true});
    }
    job.files = job::Selected;
    job.arrangement = below ? job::OneColumn : job::OneRow;
    job.firstBelow = false;
    job.layout = BatchDialog::StoredLayout(settings);
    RunJob(std::move(job));
}

void BatchRunner::RunJob(job::BatchJob job) {
    if (!paster.BeginJob()) {
        return;
    }
    {
        const JobHold hold(paster);
        BatchWorker worker(paster.Document(), paster.Values(), job::BatchPlan(std::move(job)),
                           loaderHooks);
        ProgressDialog(worker).Run(progressOwner);
        if (worker.PastedCount() > 0 && refreshView) {
            refreshView();
        }
        worker.Report().Show();
    }
    // One at a time from the front: a paste that is itself a job takes the
    // rest of the queue after it, so arrival order holds throughout.
    while (const std::function<void()> paste = paster.TakeDeferred()) {
        paste();
    }
}

} // namespace browser
