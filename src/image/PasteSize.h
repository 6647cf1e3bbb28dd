#pragma once

#include "image/PasteParameters.h"

#include <windows.h>

namespace image {

// Where the resized picture sits inside its box, in pixels.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The size one pasted picture takes: the box it occupies in the joined picture
// (gap strips not included) and the resized picture inside that box.
struct PasteSize {
    int boxWidth = 0;
    int boxHeight = 0;
    PictureRect pictureRect;
};

// The paste size of a picture under the resize settings (byPercent,
// keepAspect, the box and the two percentages). Box sides are at least 1; the picture inside a
// fitted box may have a side of 0, and then nothing is drawn into the box.
// Results that would not fit an int are cut to INT_MAX, which no canvas can
// hold, so the paste fails instead of wrapping around.
PasteSize ComputePasteSize(int pictureWidth, int pictureHeight, const PasteParameters& settings);

// Fits the rectangle r (whose size is the picture's, both sides above 0) into
// a boxWidth x boxHeight box at r's top-left corner, keeping the aspect ratio
// and centring it. With noEnlarge a picture that already fits keeps its size.
// A rectangle with a side below 1 is left as it is.
void FitRect(RECT& r, int boxWidth, int boxHeight, bool noEnlarge);

} // namespace image
