#pragma once

#include "image/JoinDocument.h"
#include "image/PasteParameters.h"
#include "job/BatchPlan.h"
#include "job/PictureLoader.h"

#include <atomic>
#include <mutex>
#include <string>

namespace job {

// What a running job tells whoever started it, on the job's own thread:
// the progress dialog's worker turns it into messages, the command line into
// lines. Every call has a default that does nothing.
class JobObserver {
public:
    virtual ~JobObserver() = default;
    // Started(visits): the job visits this many entries; each ends with
    // Visited.
    virtual void Started(int) {}
    // Reserved(width, height): the canvas was made ready for a result of
    // this size, which it will have unless a picture fails; before the first
    // paste. Not said for a stitching column, which may come out shorter.
    virtual void Reserved(int, int) {}
    // Pasting(name, path): the picture about to be pasted, by the entry's
    // name and its path.
    virtual void Pasting(const std::string&, const std::string&) {}
    virtual void Visited() {}
    // Pasted(path, taken, count): taken counts the pictures handed to the
    // paste so far, of count.
    virtual void Pasted(const std::string&, int, int) {}
    // Skipped(path, notLoaded): notLoaded when the file could not be read;
    // else the picture or the canvas it needed could not be made.
    virtual void Skipped(const std::string&, bool) {}
    // Damaged(path): pasted as far as a damaged file could be read.
    virtual void Damaged(const std::string&) {}
};

// Ends a running job from any thread: at once while the job waits for a
// picture to load, otherwise after the picture being pasted.
class JobStop {
public:
    void Request();
    bool Requested() const { return requested; }

private:
    friend class LoaderLink;
    std::atomic<bool> requested{false};
    std::mutex mutex;
    PictureLoader* loader = nullptr; // the running job's, guarded by mutex
};

// What a job did.
struct JobOutcome {
    int pasted = 0;
    int skipped = 0;
    int damaged = 0;
    PictureLoader::Timings spent; // the loading threads' time
    double pasting = 0;           // milliseconds spent pasting
};

// Runs the job the plan describes into the document with the paste values
// taken when it began: its pictures load ahead on the loader's threads, the
// canvas is reserved at the size their headers give when the document is
// empty, and they are pasted one by one in the plan's directions. Its pastes
// are one undo step. The reserved room is released however the job ends.
// Throws only what allocation throws for the job's own records.
JobOutcome RunJob(BatchPlan& plan, const image::PasteParameters& values,
                  image::JoinDocument& document, JobObserver& observer, JobStop& stop,
                  const PictureLoader::Hooks& hooks = PictureLoader::Hooks());

} // namespace job
