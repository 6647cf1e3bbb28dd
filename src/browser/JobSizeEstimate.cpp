#include "browser/JobSizeEstimate.h"

#include "browser/BatchPlan.h"
#include "formats/PictureHeader.h"
#include "image/PasteSize.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

namespace browser {

namespace {

// 24-bit rows are padded to whole 32-bit words.
std::int64_t Stride(std::int64_t width) {
    return (width * 24 + 31) / 32 * 4;
}

// The limit JoinDocument holds a canvas to: sides and pixel block in an int.
bool CanvasFits(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= INT_MAX && height <= INT_MAX &&
           Stride(width) * height <= INT_MAX;
}

} // namespace

bool JobSizeEstimate::ReadHeaderSize(const std::string& path, int& width, int& height) {
    formats::PictureHeader header;
    if (!header.Read(path.c_str())) {
        return false;
    }
    width = header.Width();
    height = header.Height();
    return true;
}

void JobSizeEstimate::ReserveResult(const BatchJob& job, const image::PasteParameters& values,
                                    image::JoinDocument& document) {
    {
        const image::JoinDocument::ReadGuard guard(document);
        if (!document.IsEmpty()) {
            return;
        }
    }
    const JobSizeEstimate estimate(job, values, ReadHeaderSize);
    if (!estimate.TooBig() && estimate.Width() > 0 && estimate.Height() > 0) {
        document.ReserveRoom(static_cast<int>(estimate.Width()),
                             static_cast<int>(estimate.Height()));
    }
}

JobSizeEstimate::JobSizeEstimate(BatchJob job, const image::PasteParameters& values,
                                 const SizeReader& read) {
    BatchPlan plan(std::move(job));
    for (int visit = 0; visit < plan.VisitCount(); ++visit) {
        if (!plan.Takes(visit)) {
            continue;
        }
        // The worker asks for the direction before it loads the picture.
        const BatchPlan::Paste paste = plan.NextPaste();
        int pictureWidth = 0;
        int pictureHeight = 0;
        if (!read(plan.Path(visit), pictureWidth, pictureHeight)) {
            plan.Record(false);
            continue;
        }
        const image::PasteSize size = image::ComputePasteSize(pictureWidth, pictureHeight, values);
        plan.Record(
            Paste(size.boxWidth, size.boxHeight, paste.below, paste.wrapWidth, values.PadSize));
    }
}

bool JobSizeEstimate::Paste(int boxWidth, int boxHeight, bool below, int wrapWidth, int padSize) {
    if (!CanvasFits(boxWidth, boxHeight)) {
        tooBig = true;
        return false;
    }
    const std::int64_t pad = std::max(padSize, 0);
    const std::int64_t rowEnd = cellX + cellWidth;
    // The gaps of JoinDocument::ComputeGap: below everything only a top gap
    // (none on an empty canvas); to the right a left gap after a cell of this
    // row and a top gap below the first row.
    std::int64_t gapX = below ? 0 : (rowEnd != 0 ? pad : 0);
    std::int64_t gapY = below ? (height != 0 ? pad : 0) : (cellY != 0 ? pad : 0);
    if (!below && wrapWidth != 0 && rowEnd + boxWidth + gapX > wrapWidth) {
        below = true;
        gapX = 0;
        gapY = height != 0 ? pad : 0;
    }
    const std::int64_t newCellWidth = boxWidth + gapX;
    const std::int64_t newCellHeight = boxHeight + gapY;
    const std::int64_t newWidth =
        below ? std::max(newCellWidth, width) : std::max(rowEnd + newCellWidth, width);
    const std::int64_t newHeight =
        below ? height + newCellHeight : std::max(cellY + newCellHeight, height);
    if (!CanvasFits(newWidth, newHeight)) {
        tooBig = true;
        return false;
    }
    width = newWidth;
    height = newHeight;
    cellX = below ? 0 : rowEnd;
    cellY = below ? height - newCellHeight : cellY;
    cellWidth = newCellWidth;
    return true;
}

std::int64_t JobSizeEstimate::Bytes() const {
    return Stride(width) * height;
}

std::string JobSizeEstimate::Describe() const {
    if (tooBig) {
        return "결과: 너무 큼";
    }
    if (width == 0) {
        return "결과: 없음";
    }
    constexpr std::int64_t Megabyte = 1024 * 1024;
    char line[128];
    std::snprintf(line, sizeof(line), "결과: %lld x %lld (%lld MB)", static_cast<long long>(width),
                  static_cast<long long>(height),
                  static_cast<long long>((Bytes() + Megabyte / 2) / Megabyte));
    std::string text = line;
    const std::int64_t side = std::max(width, height);
    if (side > JpegSideLimit) {
        text += " — JPEG, WebP로 저장할 수 없음";
    } else if (side > WebpSideLimit) {
        text += " — WebP로 저장할 수 없음";
    }
    return text;
}

} // namespace browser
