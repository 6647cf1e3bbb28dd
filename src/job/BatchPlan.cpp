#include "job/BatchPlan.h"

#include "win/Wildcard.h"

#include <climits>
#include <utility>

namespace job {

BatchPlan::BatchPlan(BatchJob job) : job(std::move(job)), firstPending(this->job.firstBelow) {
    const bool selectedOnly = this->job.files == Selected;
    const std::vector<ListEntry>& entries = this->job.entries;
    // The bar's range is an int: a list longer than that is cut there.
    for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(INT_MAX); ++i) {
        if (entries[i].kind == ImageFile && (!selectedOnly || entries[i].selected)) {
            visits.push_back(static_cast<int>(i));
        }
    }
    if (this->job.perRow < 1) {
        this->job.perRow = 1;
    }
    // The width is read as an unsigned number; one beyond the int range is
    // wider than any canvas can be.
    if (this->job.width < 0) {
        this->job.width = 0;
    }
}

int BatchPlan::CountPictures(const std::vector<ListEntry>& entries, bool selectedOnly) {
    int count = 0;
    for (const ListEntry& entry : entries) {
        if (entry.kind == ImageFile && (!selectedOnly || entry.selected) && count < INT_MAX) {
            ++count;
        }
    }
    return count;
}

const std::string& BatchPlan::Name(int visit) const {
    return job.entries[visits[visit]].name;
}

std::string BatchPlan::Path(int visit) const {
    // A job without a folder names its pictures by their whole paths.
    return job.folder.empty() ? Name(visit) : job.folder + "\\" + Name(visit);
}

bool BatchPlan::Takes(int visit) const {
    if (job.files != Matching) {
        return true;
    }
    if (job.pattern.empty()) {
        return false;
    }
    return text::MatchWildcard(job.pattern.c_str(), Name(visit).c_str());
}

BatchPlan::Paste BatchPlan::NextPaste() {
    if (firstPending) {
        firstPending = false;
        return Paste{true, 0};
    }
    switch (job.arrangement) {
    case OneColumn:
        return Paste{true, 0};
    case FitWidth:
        return Paste{false, job.width};
    case FixedColumns:
        return Paste{pasted % job.perRow == 0, 0};
    default:
        return Paste{false, 0};
    }
}

void BatchPlan::Record(bool wasPasted) {
    if (wasPasted) {
        ++pasted;
    }
}

} // namespace job
