#pragma once

#include "formats/ByteSink.h"
#include "formats/RowSource.h"
#include "formats/SafeWriter.h"
#include "image/JoinDocument.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace job {

// Saves the picture a job joins while the job still runs. Once a picture is
// pasted, the canvas rows above the top of its cell never change again: later
// pastes go to its right or below everything, and a canvas that grows wider
// only brings background in at their right. A writer thread takes those rows
// as they settle, padded with background to the width the job will reach,
// into a file beside the target; the job's end settles the rest. The file
// can replace the target only when the finished canvas has the size the
// stream was started with, which a picture that fails to load may change;
// otherwise nothing is left behind and the caller saves at the end.
class CanvasStream : public formats::RowSource {
public:
    // Writes every row of rows to sink; false when a row never comes or a
    // write fails.
    using Writer = std::function<bool(formats::RowSource& rows, formats::ByteSink& sink)>;

    // Starts the writer on a thread of its own. width x height: the job's
    // result; background: the colour (a COLORREF) a wider canvas brings in.
    CanvasStream(const image::JoinDocument& document, int width, int height,
                 std::uint32_t background, const std::string& target, Writer writer);
    // Abandons a stream that was not finished, waits for its thread and
    // removes its file when it was not committed.
    ~CanvasStream() override;

    // On the job's thread after a paste: the rows above rows are final.
    void Settle(int rows);
    // On the job's thread once the job has ended: true when the file holds
    // the document's whole picture, ready for Commit.
    bool Finish();
    // Moves the finished file over the target.
    bool Commit();

    const std::uint8_t* Row(int y, std::uint8_t* scratch) override;

private:
    void Abandon();

    const image::JoinDocument& document;
    std::uint8_t fill[3]; // the background's blue, green, red
    formats::SafeWriter file;
    std::mutex mutex;
    std::condition_variable settled;
    int settledRows = 0; // guarded by mutex, as are the two below
    bool abandoned = false;
    bool written = false;
    std::thread thread;
};

} // namespace job
