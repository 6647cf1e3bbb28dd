#pragma once

#include <cstdint>

namespace image {

// A rectangle of canvas pixels, y counted from the top row.
struct CellRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Whether a 24-bit canvas of this size can exist: both sides and the whole
// pixel block (rows padded to 32-bit words) must fit the int arithmetic that
// Image uses. Every limit on a canvas or a picture is this one.
bool CanvasFits(std::int64_t width, std::int64_t height);

// Where one paste goes, worked out from the canvas size and the newest cell
// alone, so that the document's paste and every prediction of it (the
// job's size estimate, the batch dialog's result line) are the same
// arithmetic. A cell is a gap strip gapX wide down its left side, a strip
// gapY high across its top, and the box holding the picture.
struct CellPlacement {
    bool below = false; // after wrapping
    int gapX = 0;
    int gapY = 0;
    CellRect cell;
    int canvasWidth = 0; // the canvas after the paste
    int canvasHeight = 0;
};

// Places a box of boxWidth x boxHeight to the right of last, or below
// everything when below is set or when a right paste would end beyond a
// non-zero wrapWidth. Gaps: below everything only a top gap (none on an
// empty canvas); to the right a left gap after a cell of this row and a top
// gap below the first row, so every picture of a row keeps its top edge;
// padSize below 0 counts as 0. False when the box or the canvas after the
// paste cannot exist (CanvasFits); all arithmetic is 64-bit.
bool PlaceCell(int canvasWidth, int canvasHeight, const CellRect& last, int boxWidth, int boxHeight,
               bool below, int wrapWidth, int padSize, CellPlacement& placement);

} // namespace image
