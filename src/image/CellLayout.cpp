#include "image/CellLayout.h"

#include <algorithm>
#include <climits>

namespace image {

bool CanvasFits(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) {
        return false;
    }
    const std::int64_t stride = (width * 24 + 31) / 32 * 4;
    return stride * height <= INT_MAX;
}

bool PlaceCell(int canvasWidth, int canvasHeight, const CellRect& last, int boxWidth, int boxHeight,
               bool below, int wrapWidth, int padSize, CellPlacement& placement) {
    if (!CanvasFits(boxWidth, boxHeight)) {
        return false;
    }
    const std::int64_t pad = std::max(padSize, 0);
    const std::int64_t rowEnd = static_cast<std::int64_t>(last.x) + last.width;
    const auto gapsFor = [&](bool down, std::int64_t& gapX, std::int64_t& gapY) {
        gapX = down ? 0 : (rowEnd != 0 ? pad : 0);
        gapY = down ? (canvasHeight != 0 ? pad : 0) : (last.y != 0 ? pad : 0);
    };
    std::int64_t gapX = 0;
    std::int64_t gapY = 0;
    gapsFor(below, gapX, gapY);
    if (!below && wrapWidth != 0 && rowEnd + boxWidth + gapX > wrapWidth) {
        below = true;
        gapsFor(below, gapX, gapY);
    }
    const std::int64_t cellWidth = boxWidth + gapX;
    const std::int64_t cellHeight = boxHeight + gapY;
    const std::int64_t newWidth = below ? std::max<std::int64_t>(cellWidth, canvasWidth)
                                        : std::max<std::int64_t>(rowEnd + cellWidth, canvasWidth);
    const std::int64_t newHeight = below
                                       ? canvasHeight + cellHeight
                                       : std::max<std::int64_t>(last.y + cellHeight, canvasHeight);
    if (!CanvasFits(newWidth, newHeight)) {
        return false;
    }
    // Every value fits an int now: each is at most a side of the canvas.
    placement.below = below;
    placement.gapX = static_cast<int>(gapX);
    placement.gapY = static_cast<int>(gapY);
    placement.cell.width = static_cast<int>(cellWidth);
    placement.cell.height = static_cast<int>(cellHeight);
    placement.cell.x = below ? 0 : static_cast<int>(rowEnd);
    placement.cell.y = below ? static_cast<int>(newHeight - cellHeight) : last.y;
    placement.canvasWidth = static_cast<int>(newWidth);
    placement.canvasHeight = static_cast<int>(newHeight);
    return true;
}

} // namespace image
