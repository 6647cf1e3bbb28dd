#pragma once

#include "job/JobLayout.h"
#include "job/ListEntry.h"

#include <string>
#include <vector>

namespace job {

// Everything a batch job reads, copied when it starts: the list may change,
// and the settings window may write the All_ fields, while the job runs.
struct BatchJob {
    std::string folder; // without a trailing separator
    std::vector<ListEntry> entries;
    // A BatchFileChoice; any other value (65535 from an unchecked radio
    // group) takes every picture.
    unsigned files = Selected;
    // A BatchArrangement; any other value pastes to the right.
    unsigned arrangement = OneRow;
    bool firstBelow = false;
    int width = 0;       // All_Width: FitWidth's wrap width
    int perRow = 1;      // All_ImgNum: FixedColumns' pictures per row
    std::string pattern; // All_FileText, for Matching
    // OneColumn only: screenshots that continue each other are joined into
    // one long picture (see ColumnStitcher), rows matching within the
    // tolerance (0 to 64).
    bool stitch = false;
    int stitchTolerance = 4;
    JobLayout layout;
};

} // namespace job
