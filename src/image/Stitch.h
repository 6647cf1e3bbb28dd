#pragma once

#include "image/Image.h"
#include "image/RowProfile.h"

namespace image {

// Where a screenshot b continues the screenshot a taken before it, both
// 24-bit and equally wide. Rows match when the sum of |difference| over
// their channel values is at most tolerance x 3 x width.
//  - topBand: the rows both share at the top (a title bar), found from the
//    top down, at most a third of the shorter picture; one row in eight of
//    the band may differ (a status bar's clock).
//  - bottomBand: the same from the bottom (an input bar).
//  - overlap: how many of b's rows below its top band repeat the last rows
//    of a above its bottom band; at least 16, and at least 4 of them not of
//    one colour. 0 when the pictures do not continue each other.
// The stitched picture is a without its bottom band, then b from row
// topBand + overlap down.
struct StitchCut {
    int topBand = 0;
    int bottomBand = 0;
    int overlap = 0;
};

// The profiles are those of a and b. Returns a cut whose overlap is 0 when
// the pictures do not stitch (different widths included).
StitchCut FindStitch(const Image& a, const RowProfile& profileA, const Image& b,
                     const RowProfile& profileB, int tolerance);

} // namespace image
