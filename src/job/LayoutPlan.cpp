#include "job/LayoutPlan.h"

#include <algorithm>
#include <climits>

namespace job {

namespace {

// Floor division; the justified widths may come from a negative room when
// the gaps alone pass the wrap width.
std::int64_t FloorDivide(__int128 numerator, std::int64_t denominator) {
    __int128 quotient = numerator / denominator;
    if (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) {
        --quotient;
    }
    return quotient > INT64_MAX ? INT64_MAX : quotient < INT64_MIN ? INT64_MIN : quotient;
}

int ClampSide(std::int64_t side) {
    return static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(side, 1), INT_MAX));
}

// A picture's width over its height in 16.16, at least 1.
std::int64_t Aspect(int width, int height) {
    return std::max<std::int64_t>(static_cast<std::int64_t>(width) * 65536 / height, 1);
}

int Offset(int align, int room) {
    return align == AlignEnd ? room : align == AlignMiddle ? room / 2 : 0;
}

// The file name without its folder and extension.
std::string BareName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

bool Justifies(const BatchJob& job) {
    return job.layout.justifyHeight > 0 && job.arrangement == FitWidth && job.width > 0;
}

} // namespace

bool LayoutPlan::Changes(const BatchJob& job) {
    const JobLayout& layout = job.layout;
    if (Justifies(job) || layout.cells || layout.caption != NoCaption) {
        return true;
    }
    return job.arrangement == OneColumn ? layout.columnAlign != AlignStart
                                        : layout.rowAlign != AlignStart;
}

LayoutPlan::LayoutPlan(const BatchJob& job, const image::PasteParameters& values,
                       const SizeReader& reader, const CanvasStart& start)
    : layout(job.layout), arrangement(job.arrangement) {
    BatchPlan plan(job);
    for (int visit = 0; visit < plan.VisitCount(); ++visit) {
        if (!plan.Takes(visit)) {
            continue;
        }
        paths.push_back(plan.Path(visit));
        Cell cell;
        Size size;
        cell.taken =
            reader(paths.back(), size.width, size.height) && size.width > 0 && size.height > 0;
        cell.caption = layout.caption == CaptionNumber ? std::to_string(paths.size())
                                                       : BareName(plan.Name(visit));
        cells.push_back(cell);
        read.push_back(size);
        boxes.push_back(image::ComputePasteSize(size.width, size.height, values));
    }
    if (Justifies(job)) {
        JustifyRows(job.width, std::max(values.gapWidth, 0), job.layout.justifyHeight);
    } else {
        FormRows(plan, values, start);
    }
    Place(values.gapWidth, start);
}

// Rows as a plain job forms them, then each picture padded within its row,
// the column or the largest cell.
void LayoutPlan::FormRows(BatchPlan& plan, const image::PasteParameters& values,
                          const CanvasStart& start) {
    int widest = 0;
    int tallest = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].taken) {
            widest = std::max(widest, boxes[i].boxWidth);
            tallest = std::max(tallest, boxes[i].boxHeight);
        }
    }
    std::vector<int> rowOf(cells.size(), 0);
    std::vector<int> rowHeight;
    int canvasWidth = start.width;
    int canvasHeight = start.height;
    image::CellRect last = start.last;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const BatchPlan::Paste paste = plan.NextPaste();
        plan.Record(cells[i].taken);
        if (!cells[i].taken) {
            continue;
        }
        image::CellPlacement placement;
        const int across = layout.cells ? widest : boxes[i].boxWidth;
        cells[i].below = paste.below;
        if (image::PlaceCell(canvasWidth, canvasHeight, last, across, boxes[i].boxHeight,
                             paste.below, paste.wrapWidth, values.gapWidth, placement)) {
            canvasWidth = placement.canvasWidth;
            canvasHeight = placement.canvasHeight;
            last = placement.cell;
            cells[i].below = placement.below;
        }
        if (cells[i].below || rowHeight.empty()) {
            rowHeight.push_back(0);
        }
        rowOf[i] = static_cast<int>(rowHeight.size()) - 1;
        rowHeight.back() = std::max(rowHeight.back(), boxes[i].boxHeight);
    }
    const bool column = arrangement == OneColumn;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const image::PasteSize& box = boxes[i];
        int roomWidth = box.boxWidth;
        int roomHeight = box.boxHeight;
        int x = 0;
        int y = 0;
        if (layout.cells) {
            roomWidth = widest;
            roomHeight = tallest;
            x = Offset(layout.cellAcross, widest - box.boxWidth);
            y = Offset(layout.cellDown, tallest - box.boxHeight);
        } else if (column && layout.columnAlign != AlignStart) {
            roomWidth = widest;
            x = Offset(layout.columnAlign, widest - box.boxWidth);
        } else if (!column && layout.rowAlign != AlignStart) {
            roomHeight = rowHeight.empty() ? box.boxHeight : rowHeight[rowOf[i]];
            y = Offset(layout.rowAlign, roomHeight - box.boxHeight);
        }
        cells[i].width = roomWidth;
        cells[i].height = ClampSide(static_cast<std::int64_t>(roomHeight) + layout.BandHeight());
        cells[i].picture = {x + box.pictureRect.x, y + box.pictureRect.y, box.pictureRect.width,
                            box.pictureRect.height};
        cells[i].bandHeight = layout.BandHeight();
    }
}

// Rows filled in order until their height, with the gaps, fits the wrap
// width at or below the target; all arithmetic in 64 bits (128 for the
// products that could pass them), with aspects in 16.16.
void LayoutPlan::JustifyRows(int wrapWidth, int gap, int target) {
    std::vector<std::size_t> row;
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!cells[i].taken) {
            continue;
        }
        row.push_back(i);
        sum += Aspect(read[i].width, read[i].height);
        const std::int64_t room =
            wrapWidth - static_cast<std::int64_t>(gap) * static_cast<std::int64_t>(row.size() - 1);
        const std::int64_t rowHeight =
            FloorDivide(static_cast<__int128>(room) * 65536 + sum / 2, sum);
        if (rowHeight <= target) {
            CloseRow(row, room, sum, ClampSide(rowHeight));
            row.clear();
            sum = 0;
        }
    }
    // The last row, not filled, keeps the target height and each aspect.
    for (const std::size_t i : row) {
        const __int128 aspect = Aspect(read[i].width, read[i].height);
        boxes[i] = image::PasteSize();
        boxes[i].boxWidth = ClampSide(FloorDivide(aspect * target + 32768, 65536));
        boxes[i].boxHeight = target;
        cells[i].below = i == row.front();
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        boxes[i].pictureRect = {0, 0, boxes[i].boxWidth, boxes[i].boxHeight};
        cells[i].width = boxes[i].boxWidth;
        cells[i].height =
            ClampSide(static_cast<std::int64_t>(boxes[i].boxHeight) + layout.BandHeight());
        cells[i].picture = boxes[i].pictureRect;
        cells[i].bandHeight = layout.BandHeight();
    }
}

void LayoutPlan::CloseRow(const std::vector<std::size_t>& row, std::int64_t room, std::int64_t sum,
                          int rowHeight) {
    std::int64_t before = 0; // the aspects of the pictures to the left
    std::int64_t left = 0;
    for (const std::size_t i : row) {
        before += Aspect(read[i].width, read[i].height);
        const std::int64_t right =
            FloorDivide(static_cast<__int128>(2) * room * before + sum, 2 * sum);
        boxes[i] = image::PasteSize();
        boxes[i].boxWidth = ClampSide(right - left);
        boxes[i].boxHeight = rowHeight;
        cells[i].below = i == row.front();
        left = right;
    }
}

// Every cell in its direction, as the job will paste it.
void LayoutPlan::Place(int gap, const CanvasStart& start) {
    width = start.width;
    height = start.height;
    image::CellRect last = start.last;
    for (const Cell& cell : cells) {
        if (!cell.taken) {
            continue;
        }
        image::CellPlacement placement;
        if (!image::PlaceCell(width, height, last, cell.width, cell.height, cell.below, 0, gap,
                              placement)) {
            tooBig = true;
            return;
        }
        width = placement.canvasWidth;
        height = placement.canvasHeight;
        last = placement.cell;
    }
}

} // namespace job
