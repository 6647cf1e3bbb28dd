#include "job/JobSizeEstimate.h"

#include "job/BatchPlan.h"
#include "job/LayoutPlan.h"
#include "formats/PictureHeader.h"
#include "image/CellLayout.h"
#include "image/Image.h"
#include "image/PasteSize.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace job {

bool JobSizeEstimate::ReadHeaderSize(const std::string& path, int& width, int& height) {
    formats::PictureHeader header;
    if (!header.Read(path.c_str())) {
        return false;
    }
    width = header.Width();
    height = header.Height();
    return true;
}

bool JobSizeEstimate::ReserveResult(const BatchJob& job, const image::PasteParameters& values,
                                    image::JoinDocument& document, int& width, int& height,
                                    const SizeReader& read) {
    {
        const image::JoinDocument::ReadGuard guard(document);
        if (!document.IsEmpty()) {
            return false;
        }
    }
    const JobSizeEstimate estimate(job, values, read);
    if (estimate.TooBig() || estimate.Width() <= 0 || estimate.Height() <= 0) {
        return false;
    }
    width = static_cast<int>(estimate.Width());
    height = static_cast<int>(estimate.Height());
    document.ReserveRoom(width, height);
    return true;
}

JobSizeEstimate::JobSizeEstimate(BatchJob job, const image::PasteParameters& values,
                                 const SizeReader& read)
    : upperBound(job.stitch && job.arrangement == OneColumn) {
    if (LayoutPlan::Changes(job)) {
        // The run forms its cells by the same plan from the same sizes.
        const LayoutPlan layout(job, values, read);
        upperBound = false; // a layout job is never stitched
        tooBig = layout.TooBig();
        width = tooBig ? 0 : layout.Width();
        height = tooBig ? 0 : layout.Height();
        return;
    }
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
            Paste(size.boxWidth, size.boxHeight, paste.below, paste.wrapWidth, values.gapWidth));
    }
}

bool JobSizeEstimate::Paste(int boxWidth, int boxHeight, bool below, int wrapWidth, int padSize) {
    image::CellPlacement placement;
    if (!image::PlaceCell(width, height, lastCell, boxWidth, boxHeight, below, wrapWidth, padSize,
                          placement)) {
        tooBig = true;
        return false;
    }
    width = placement.canvasWidth;
    height = placement.canvasHeight;
    lastCell = placement.cell;
    return true;
}

std::int64_t JobSizeEstimate::Bytes() const {
    return static_cast<std::int64_t>(image::RowStride(width, 24)) * height;
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
    std::snprintf(line, sizeof(line), "결과: %s%lld x %lld (%lld MB)", upperBound ? "최대 " : "",
                  static_cast<long long>(width), static_cast<long long>(height),
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

} // namespace job
