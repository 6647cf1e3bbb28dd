#include "job/CanvasStream.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <utility>

namespace job {

CanvasStream::CanvasStream(const image::JoinDocument& document, int width, int height,
                           std::uint32_t background, const std::string& target, Writer writer)
    : RowSource(width, height),
      document(document), fill{static_cast<std::uint8_t>(background >> 16),
                               static_cast<std::uint8_t>(background >> 8),
                               static_cast<std::uint8_t>(background)},
      file(target.c_str()) {
    if (!file.IsOpen() || width < 1 || height < 1) {
        abandoned = true;
        return;
    }
    try {
        thread = std::thread([this, writer = std::move(writer)] {
            bool done = false;
            try {
                done = writer(*this, file) && file.Complete();
            } catch (...) {
                // Out of memory in the writer: the caller saves at the end.
            }
            std::lock_guard<std::mutex> lock(mutex);
            written = done;
        });
    } catch (const std::system_error&) {
        abandoned = true; // no thread: the caller saves at the end
    }
}

CanvasStream::~CanvasStream() {
    Abandon();
    if (thread.joinable()) {
        thread.join();
    }
}

void CanvasStream::Abandon() {
    std::lock_guard<std::mutex> lock(mutex);
    abandoned = true;
    settled.notify_all();
}

void CanvasStream::Settle(int rows) {
    if (document.width > Width() || document.height > Height()) {
        // The job outgrew its estimate: these rows would not be its own.
        Abandon();
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (rows > settledRows) {
        settledRows = std::min(rows, Height());
        settled.notify_all();
    }
}

bool CanvasStream::Finish() {
    if (document.width == Width() && document.height == Height()) {
        Settle(Height());
    } else {
        Abandon();
    }
    if (thread.joinable()) {
        thread.join();
    }
    std::lock_guard<std::mutex> lock(mutex);
    return written && !abandoned;
}

bool CanvasStream::Commit() {
    return file.Commit();
}

const std::uint8_t* CanvasStream::Row(int y, std::uint8_t* scratch) {
    {
        std::unique_lock<std::mutex> lock(mutex);
        settled.wait(lock, [this, y] { return abandoned || y < settledRows; });
        if (abandoned) {
            return nullptr;
        }
    }
    // The job may be pasting below: the canvas is read under the document's
    // lock, which also keeps it from moving to a larger bitmap meanwhile.
    const image::JoinDocument::ReadGuard guard(document);
    if (y >= document.height || document.width > Width()) {
        return nullptr;
    }
    const int have = document.width;
    std::memcpy(scratch, document.picture.PixelAddress(0, y), static_cast<std::size_t>(have) * 3);
    for (std::uint8_t *p = scratch + static_cast<std::size_t>(have) * 3,
                      *end = scratch + static_cast<std::size_t>(Width()) * 3;
         p < end; p += 3) {
        std::memcpy(p, fill, 3);
    }
    return scratch;
}

} // namespace job
