#pragma once

#include "image/Image.h"
#include "image/JoinDocument.h"
#include "job/JobLayout.h"
#include "job/LayoutPlan.h"
#include "win/ScopedGdi.h"

#include <cstdint>

namespace job {

// Makes the pixels of one cell of a job with a layout on a loading thread:
// the loaded picture resized to its place in the cell, the rest in the
// background colour, the caption drawn in the band below. Each loading
// thread has its own, with its own memory context and font.
class CellPainter {
public:
    CellPainter(const JobLayout& layout, std::int32_t background);
    CellPainter(const CellPainter&) = delete;
    CellPainter& operator=(const CellPainter&) = delete;

    // Makes prepared the cell, ready for a paste of the whole box; source is
    // null for a picture that could not be loaded, whose cell stays
    // background with its caption. A source pasted at its own size moves
    // into prepared (source then holds prepared's old bitmap). False when a
    // bitmap cannot be made.
    bool Make(image::Image* source, const LayoutPlan::Cell& cell, image::PreparedPicture& prepared);

private:
    bool DrawCaption(image::Image& target, const LayoutPlan::Cell& cell);

    int captionSize;
    std::int32_t background;
    win::MemoryDC dc;
    win::GdiObject font; // made for the first caption
};

} // namespace job
