#pragma once

#include "job/BatchJob.h"

#include <string>
#include <vector>

namespace job {

// The layout and selection rule of a batch job, without windows or files:
// which pictures the job visits (each one advances the progress bar), which
// of them pass the name filter, and for each paste its direction and wrap
// width, given which earlier pastes succeeded.
class BatchPlan {
public:
    explicit BatchPlan(BatchJob job);

    struct Paste {
        bool below;
        int wrapWidth; // 0: no wrapping
    };

    // Pictures (ImageFile entries) of the list, all or the selected ones.
    static int CountPictures(const std::vector<ListEntry>& entries, bool selectedOnly);

    int VisitCount() const { return static_cast<int>(visits.size()); }
    const std::string& Name(int visit) const;
    std::string Path(int visit) const;
    // Whether the visited picture reaches the paste step.
    bool Takes(int visit) const;

    // The next paste's direction; call once for every picture that Takes,
    // then Record whether it was pasted.
    Paste NextPaste();
    void Record(bool pasted);
    int PastedCount() const { return pasted; }
    const BatchJob& Job() const { return job; }

private:
    BatchJob job;
    std::vector<int> visits; // indices into job.entries, in list order
    bool firstPending;
    int pasted = 0;
};

} // namespace job
