#pragma once

#include "job/BatchJob.h"
#include "image/JoinDocument.h"
#include "image/PasteParameters.h"

#include <cstdint>
#include <functional>
#include <string>

namespace job {

// The size of the picture a job will produce on an empty document, worked
// out before it runs from the pictures' sizes alone: the job's plan visits
// the same pictures in the same directions, and each paste is placed by the
// document's own arithmetic (PlaceCell), gaps included. A picture whose size cannot
// be read is left out, as the job would fail to load it.
class JobSizeEstimate {
public:
    // The loaded size of the picture at path; false when it cannot be read.
    using SizeReader = std::function<bool(const std::string& path, int& width, int& height)>;

    // JPEG keeps each side in 16 bits and its writer stops below that.
    static constexpr std::int64_t JpegSideLimit = 65500;
    // WebP keeps each side less one in 14 bits.
    static constexpr std::int64_t WebpSideLimit = 16383;

    JobSizeEstimate(BatchJob job, const image::PasteParameters& values, const SizeReader& read);

    // A SizeReader that reads the file's header (see formats::PictureHeader).
    static bool ReadHeaderSize(const std::string& path, int& width, int& height);
    // When the document is empty, makes room in it for the job's result, so
    // that the job's canvas is made once (see JoinDocument::ReserveRoom),
    // reading the sizes with read; nothing is read otherwise. True, with the
    // result's size, when it made room.
    static bool ReserveResult(const BatchJob& job, const image::PasteParameters& values,
                              image::JoinDocument& document, int& width, int& height,
                              const SizeReader& read = ReadHeaderSize);

    std::int64_t Width() const { return width; }
    std::int64_t Height() const { return height; }
    // A paste would need a canvas larger than an Image may be.
    bool TooBig() const { return tooBig; }
    // The bytes of the 24-bit canvas.
    std::int64_t Bytes() const;
    // The batch dialog's line: "결과: 4800 x 3600 (49 MB)", with a warning
    // when JPEG or WebP cannot hold it, or "결과: 너무 큼"; "결과: 최대 ..."
    // for a stitching column.
    std::string Describe() const;

private:
    bool Paste(int boxWidth, int boxHeight, bool below, int wrapWidth, int padSize);

    // The canvas so far, never larger than CanvasFits allows.
    int width = 0;
    int height = 0;
    image::CellRect lastCell;
    bool tooBig = false;
    // A stitching column may come out shorter: its overlaps show only in
    // the pixels.
    bool upperBound = false;
};

} // namespace job
