#include "job/JobRun.h"

#include "job/ColumnStitcher.h"
#include "job/JobSizeEstimate.h"
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

} // namespace

JobOutcome RunJob(BatchPlan& plan, const image::PasteParameters& values,
                  image::JoinDocument& document, JobObserver& observer, JobStop& stop,
                  const PictureLoader::Hooks& hooks) {
    observer.Started(plan.VisitCount());
    std::vector<std::string> paths;
    for (int visit = 0; visit < plan.VisitCount(); ++visit) {
        if (plan.Takes(visit)) {
            paths.push_back(plan.Path(visit));
        }
    }
    const int count = static_cast<int>(paths.size());
    PictureLoader loader(std::move(paths), values, hooks);
    const LoaderLink link(stop, loader);
    const image::JoinDocument::RoomRelease release(document);
    const image::JoinDocument::UndoGroup group(document);
    // Read while the first pictures load.
    JobSizeEstimate::ReserveResult(plan.Job(), values, document);
    std::unique_ptr<ColumnStitcher> stitcher;
    if (plan.Job().stitch && plan.Job().arrangement == OneColumn) {
        stitcher = std::make_unique<ColumnStitcher>(plan.Job().stitchTolerance);
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
            if (result != Result::Pasted) {
                ++outcome.skipped;
                observer.Skipped(path, result == Result::NotLoaded);
            } else {
                observer.Pasted(path, taken, count);
                if (picture->damaged) {
                    ++outcome.damaged;
                    observer.Damaged(path);
                }
            }
            if (stitcher != nullptr && result == Result::Pasted) {
                picture = stitcher->Keep(std::move(picture));
            }
            loader.Recycle(std::move(picture));
        }
        observer.Visited();
    }
    outcome.pasted = plan.PastedCount();
    outcome.spent = loader.Spent();
    return outcome;
}

} // namespace job
