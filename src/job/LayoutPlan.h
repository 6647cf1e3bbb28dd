#pragma once

#include "image/CellLayout.h"
#include "image/PasteParameters.h"
#include "image/PasteSize.h"
#include "job/BatchJob.h"
#include "job/BatchPlan.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace job {

// The canvas a job joins onto: its size and newest cell (all 0 when empty).
struct CanvasStart {
    int width = 0;
    int height = 0;
    image::CellRect last;
};

// Where every picture of a job with a layout goes, worked out from the
// pictures' header sizes before any is loaded, so that the result is the
// size predicted whatever the loaders make of the files. Rows are formed as
// a plain job forms them (PlaceCell, with the widths that layout gives);
// then each picture gets its cell: the resized picture padded by the
// alignment, or sized by the justified rows, and the caption band below.
// Each cell is then pasted whole, in its direction, as one box.
class LayoutPlan {
public:
    // The loaded size of the picture at path; false when it cannot be read.
    using SizeReader = std::function<bool(const std::string& path, int& width, int& height)>;

    struct Cell {
        bool taken = false; // its size was read; a picture without one takes no cell
        bool below = false; // pasted below everything, else to the right
        int width = 0;      // the whole cell: padded picture and caption band
        int height = 0;
        image::PictureRect picture; // where the resized picture sits in the cell
        int bandHeight = 0;         // the caption band, at the cell's bottom
        std::string caption;        // UTF-8
    };

    // Whether the job's layout does anything; a job without one pastes as
    // jobs always have.
    static bool Changes(const BatchJob& job);

    LayoutPlan(const BatchJob& job, const image::PasteParameters& values, const SizeReader& read,
               const CanvasStart& start = CanvasStart());

    // One for every picture the job takes, in its order, with its path.
    const std::vector<Cell>& Cells() const { return cells; }
    const std::vector<std::string>& Paths() const { return paths; }
    // The canvas once every cell is pasted; meaningless when TooBig.
    int Width() const { return width; }
    int Height() const { return height; }
    bool TooBig() const { return tooBig; }

private:
    struct Size {
        int width = 0;
        int height = 0;
    };

    void FormRows(BatchPlan& plan, const image::PasteParameters& values, const CanvasStart& start);
    void JustifyRows(int wrapWidth, int gap, int target);
    void CloseRow(const std::vector<std::size_t>& row, std::int64_t A, std::int64_t S, int height);
    void Place(int gap, const CanvasStart& start);

    JobLayout layout;
    unsigned arrangement;
    std::vector<Cell> cells;
    std::vector<std::string> paths;
    std::vector<Size> read;              // each picture's size from its header
    std::vector<image::PasteSize> boxes; // after resizing, before padding
    int width = 0;
    int height = 0;
    bool tooBig = false;
};

} // namespace job
