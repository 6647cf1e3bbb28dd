#pragma once

#include "job/ListEntry.h"

#include <windows.h>

#include <string>
#include <vector>

namespace browser {

// What the file list's paste and batch buttons start. The list hands over a
// copy of its entries (in list order, with the selection) and its folder, so
// the job never reads the list again.
class BatchActions {
public:
    virtual ~BatchActions() = default;
    // The selected pictures to the right of the last one, or each below
    // everything: one directly, several as a job.
    virtual void PasteSelected(HWND owner, const std::string& folder,
                               const std::vector<job::ListEntry>& entries, bool below) = 0;
    // Asks for the job's options in the batch dialog, then runs it.
    virtual void RunBatch(HWND owner, const std::string& folder,
                          const std::vector<job::ListEntry>& entries) = 0;
};

} // namespace browser
