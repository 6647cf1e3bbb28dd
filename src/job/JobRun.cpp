#include "job/JobRun.h"

#include "job/ColumnStitcher.h"
#include "job/JobFiles.h"
#include "job/JobSizeEstimate.h"
#include "job/LayoutPlan.h"
#include "job/Milliseconds.h"

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

namespace job {

// Makes the job's loader reachable by JobStop for as long as it exists; a
// stop asked for before it was made reaches it at once.
class LoaderLink {
public:
    LoaderLink(JobStop& stop, PictureLoader& loader) : stop(stop) {
        std::lock_guard<std::mutex> lock(stop.mutex);
        stop.loader = &loader;
        if (stop.requested) {
            loader.Stop();
        }
    }
    ~LoaderLink() {
        std::lock_guard<std::mutex> lock(stop.mutex);
        stop.loader = nullptr;
    }
    LoaderLink(const LoaderLink&) = delete;
    LoaderLink& operator=(const LoaderLink&) = delete;

private:
    JobStop& stop;
};

void JobStop::Request() {
    requested = true;
    std::lock_guard<std::mutex> lock(mutex);
    if (loader != nullptr) {
        loader->Stop();
    }
}

namespace {

enum class Result { Pasted, NotLoaded, NotMade };

// The pictures the plan takes, in its order: the order of the header pass
// and of the loader alike.
std::vector<std::string> TakenPaths(const BatchPlan& plan) {
    std::vector<std::string> paths;
    for (int visit = 0; visit < plan.VisitCount(); ++visit) {
        if (plan.Takes(visit)) {
            paths.push_back(plan.Path(visit));
        }
    }
    return paths;
}

// Counts and reports one picture the job took: pasted (and perhaps damaged)
// or skipped.
void Report(Result result, const PictureLoader::Picture& picture, const std::string& path,
            int taken, int count, JobObserver& observer, JobOutcome& outcome) {
    if (result != Result::Pasted) {
        ++outcome.skipped;
        observer.Skipped(path, result == Result::NotLoaded);
        return;
    }
    ++outcome.pasted;
    observer.Pasted(path, taken, count);
    if (picture.damaged) {
        ++outcome.damaged;
        observer.Damaged(path);
    }
}

Result PastePicture(PictureLoader::Picture& picture, const BatchPlan::Paste& paste,
                    const image::PasteParameters& values, image::JoinDocument& document,
                    ColumnStitcher* stitcher) {
    switch (picture.state) {
    case PictureLoader::Picture::State::NotLoaded:
        return Result::NotLoaded;
    case PictureLoader::Picture::State::NotMade:
        return Result::NotMade;
    default:
        if (stitcher != nullptr) {
            return stitcher->Paste(picture, values, document) ? Result::Pasted : Result::NotMade;
        }
        return document.PastePrepared(picture.prepared, paste.below, paste.wrapWidth, values)
                   ? Result::Pasted
                   : Result::NotMade;
    }
}

// A job with a layout: its cells come from the headers, read once before
// any picture loads, and each is pasted whole in its direction. A picture
// that fails to load still leaves its cell, so the result is the size the
// plan gave; it is named as skipped all the same.
JobOutcome RunLayoutJob(const BatchPlan& plan, const image::PasteParameters& values,
                        image::JoinDocument& document, JobObserver& observer, JobStop& stop,
                        const PictureLoader::Hooks& hooks) {
    observer.Started(plan.VisitCount());
    CanvasStart start;
    {
        const image::JoinDocument::ReadGuard guard(document);
        start = CanvasStart{document.width, document.height, document.lastCell};
    }
    JobFiles files(TakenPaths(plan), hooks.open, hooks.keptFiles);
    JobFiles::HeaderPass pass(files);
    const LayoutPlan layout(plan.Job(), values, pass.Reader(), start);
    pass.End();
    const std::vector<LayoutPlan::Cell>& cells = layout.Cells();
    const int count = static_cast<int>(cells.size());
    PictureLoader loader(files, values, hooks, cells, plan.Job().layout);
    const LoaderLink link(stop, loader);
    const image::JoinDocument::RoomRelease release(document);
    const image::JoinDocument::UndoGroup group(document);
    if (start.width == 0 && !layout.TooBig() && layout.Width() > 0) {
        document.ReserveRoom(layout.Width(), layout.Height());
        observer.Reserved(layout.Width(), layout.Height());
    }
    JobOutcome outcome;
    int taken = 0;
    for (int visit = 0; visit < plan.VisitCount() && !stop.Requested(); ++visit) {
        if (plan.Takes(visit)) {
            const LayoutPlan::Cell& cell = cells[taken];
            const std::string& path = layout.Paths()[taken];
            observer.Pasting(plan.Name(visit), path);
            std::unique_ptr<PictureLoader::Picture> picture = loader.Next();
            if (picture == nullptr) {
                break;
            }
            ++taken;
            using State = PictureLoader::Picture::State;
            if (picture->state == State::NotMade) {
                // Not even its cell could be made: it stays background.
                picture->prepared.resized.Destroy();
                picture->prepared.size = image::PasteSize{cell.width, cell.height, {}};
            }
            LARGE_INTEGER begin, end;
            QueryPerformanceCounter(&begin);
            const bool placed =
                cell.taken && document.PastePrepared(picture->prepared, cell.below, 0, values);
            QueryPerformanceCounter(&end);
            outcome.pasting += Milliseconds(begin, end);
            const Result result = placed && picture->state == State::Ready ? Result::Pasted
                                  : picture->state == State::NotLoaded     ? Result::NotLoaded
                                                                           : Result::NotMade;
            Report(result, *picture, path, taken, count, observer, outcome);
            loader.Recycle(std::move(picture));
        }
        observer.Visited();
    }
    outcome.spent = loader.Spent();
    return outcome;
}

} // namespace

JobOutcome RunJob(BatchPlan& plan, const image::PasteParameters& values,
                  image::JoinDocument& document, JobObserver& observer, JobStop& stop,
                  const PictureLoader::Hooks& hooks) {
    if (LayoutPlan::Changes(plan.Job())) {
        return RunLayoutJob(plan, values, document, observer, stop, hooks);
    }
    observer.Started(plan.VisitCount());
    JobFiles files(TakenPaths(plan), hooks.open, hooks.keptFiles);
    const int count = static_cast<int>(files.Paths().size());
    // Begun before the loader: its threads wait for the files the pass has
    // not yet read.
    JobFiles::HeaderPass pass(files);
    PictureLoader loader(files, values, hooks);
    const LoaderLink link(stop, loader);
    const image::JoinDocument::RoomRelease release(document);
    const image::JoinDocument::UndoGroup group(document);
    std::unique_ptr<ColumnStitcher> stitcher;
    if (plan.Job().stitch && plan.Job().arrangement == OneColumn) {
        stitcher = std::make_unique<ColumnStitcher>(plan.Job().stitchTolerance);
    }
    // Read while the first pictures load; each file stays open for its
    // loader.
    int width = 0;
    int height = 0;
    const bool reserved =
        JobSizeEstimate::ReserveResult(plan.Job(), values, document, width, height, pass.Reader());
    pass.End();
    if (reserved && stitcher == nullptr) {
        observer.Reserved(width, height);
    }
    JobOutcome outcome;
    int taken = 0;
    for (int visit = 0; visit < plan.VisitCount() && !stop.Requested(); ++visit) {
        if (plan.Takes(visit)) {
            const std::string path = plan.Path(visit);
            observer.Pasting(plan.Name(visit), path);
            std::unique_ptr<PictureLoader::Picture> picture = loader.Next();
            if (picture == nullptr) {
                break; // stopped while it waited
            }
            const BatchPlan::Paste paste = plan.NextPaste();
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            const Result result = PastePicture(*picture, paste, values, document, stitcher.get());
            QueryPerformanceCounter(&end);
            outcome.pasting += Milliseconds(start, end);
            plan.Record(result == Result::Pasted);
            ++taken;
            Report(result, *picture, path, taken, count, observer, outcome);
            if (stitcher != nullptr && result == Result::Pasted) {
                picture = stitcher->Keep(std::move(picture));
            }
            loader.Recycle(std::move(picture));
        }
        observer.Visited();
    }
    outcome.spent = loader.Spent();
    return outcome;
}

} // namespace job
