#pragma once

namespace job {

// Where a picture sits in the room its padding gives it, along one side:
// top or left, middle or centre, bottom or right.
enum LayoutAlign { AlignStart = 0, AlignMiddle = 1, AlignEnd = 2 };

// What a picture's cell shows below it.
enum CaptionKind { NoCaption = 0, CaptionName = 1, CaptionNumber = 2 };

// How a job pads, sizes and labels its pictures beyond the plain join. The
// default changes nothing: such a job pastes exactly as a job always has.
struct JobLayout {
    int rowAlign = AlignStart;    // rows (row, wrap, per row): top, middle, bottom
    int columnAlign = AlignStart; // the column: left, centre, right
    bool cells = false;           // every picture padded to the largest width and height
    int cellAcross = AlignMiddle; // in its cell: left, centre, right
    int cellDown = AlignMiddle;   // top, middle, bottom
    int justifyHeight = 0;        // rows filling the wrap width near this height; 0: off
    int caption = NoCaption;
    int captionSize = 12; // pixels of character height

    // The band under each picture that holds its caption: 1.5 lines.
    int BandHeight() const { return caption == NoCaption ? 0 : (3 * captionSize + 1) / 2; }
};

} // namespace job
