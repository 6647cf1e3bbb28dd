#include "image/PasteSize.h"

#include <climits>
#include <cstdint>

namespace image {

namespace {

int ClampToInt(std::int64_t value) {
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// A percentage side: truncated, and never below one pixel.
int PercentOf(int length, int percent) {
    const std::int64_t scaled = static_cast<std::int64_t>(length) * percent / 100;
    return scaled < 1 ? 1 : ClampToInt(scaled);
}

} // namespace

void FitRect(RECT& r, int boxWidth, int boxHeight, bool noEnlarge) {
    const std::int64_t w = static_cast<std::int64_t>(r.right) - r.left;
    const std::int64_t h = static_cast<std::int64_t>(r.bottom) - r.top;
    if (w < 1 || h < 1) {
        return;
    }
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t shiftX = 0;
    std::int64_t shiftY = 0;
    if (noEnlarge && w <= boxWidth && h <= boxHeight) {
        width = w;
        height = h;
        shiftX = (boxWidth - w) / 2;
        shiftY = (boxHeight - h) / 2;
    } else {
        // 64-bit products: large pictures and boxes must not wrap around. The
        // side that is used always comes out within the box.
        const std::int64_t fitW = w * boxHeight / h;
        if (fitW < boxWidth) {
            width = fitW;
            height = boxHeight;
            shiftX = (boxWidth - fitW) / 2;
        } else {
            width = boxWidth;
            height = h * boxWidth / w;
            shiftY = (boxHeight - height) / 2;
        }
    }
    r.left = ClampToInt(r.left + shiftX);
    r.top = ClampToInt(r.top + shiftY);
    r.right = ClampToInt(static_cast<std::int64_t>(r.left) + width);
    r.bottom = ClampToInt(static_cast<std::int64_t>(r.top) + height);
}

PasteSize ComputePasteSize(int pictureWidth, int pictureHeight, const PasteParameters& settings) {
    PasteSize size;
    if (settings.byPercent != 0) {
        size.boxWidth = PercentOf(pictureWidth, settings.widthPercent);
        size.boxHeight = PercentOf(pictureHeight, settings.heightPercent);
        size.pictureRect = {0, 0, size.boxWidth, size.boxHeight};
        return size;
    }
    // The settings window keeps the fixed size at 1 or more; an INI file may
    // not, and a box below one pixel would make cells overlap.
    size.boxWidth = settings.boxWidth < 1 ? 1 : settings.boxWidth;
    size.boxHeight = settings.boxHeight < 1 ? 1 : settings.boxHeight;
    if (settings.keepAspect == 0) {
        size.pictureRect = {0, 0, size.boxWidth, size.boxHeight};
        return size;
    }
    if (pictureWidth < 1 || pictureHeight < 1) {
        // Nothing to fit: the box stays empty.
        return size;
    }
    RECT fitted = {0, 0, pictureWidth, pictureHeight};
    FitRect(fitted, size.boxWidth, size.boxHeight, false);
    size.pictureRect = {fitted.left, fitted.top, fitted.right - fitted.left,
                        fitted.bottom - fitted.top};
    return size;
}

} // namespace image
