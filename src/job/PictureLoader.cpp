#include "job/PictureLoader.h"

#include "formats/ImageLoader.h"
#include "job/Milliseconds.h"

#include <windows.h>

#include <algorithm>
#include <system_error>
#include <utility>

namespace job {

namespace {

// Two loading threads keep two cores busy beside the pasting thread, which
// mostly waits; more would only hold more pictures in memory at once.
constexpr unsigned kMostThreads = 2;

// Files up to this size are read whole, in one call, and decoded from
// memory: the decoders' many small reads each cost a call into the system
// (under Wine a trip through its file layer), which weighs on small files.
// Larger ones are decoded from the file, so that a thread does not keep
// their size in memory for the rest of the job.
constexpr DWORD kWholeFileBytes = 1024 * 1024;

} // namespace

bool PictureLoader::Decode(formats::ByteSource& file, Workspace& work, std::uint32_t background,
                           bool& damaged) {
    const DWORD size = file.Size();
    if (size == INVALID_FILE_SIZE || size == 0 || size > kWholeFileBytes) {
        return formats::LoadImageFile(work.source, file, background, &damaged);
    }
    // The buffer only grows: its pages are the thread's to reuse.
    if (work.bytes.size() < size) {
        work.bytes.resize(size);
    }
    formats::ByteSource memory;
    return file.Seek(0, FILE_BEGIN) == 0 && file.Read(work.bytes.data(), size) == size &&
           memory.OpenMemory(work.bytes.data(), size) &&
           formats::LoadImageFile(work.source, memory, background, &damaged);
}

PictureLoader::PictureLoader(JobFiles& files, const image::PasteParameters& values)
    : PictureLoader(files, values, Hooks()) {}

PictureLoader::PictureLoader(JobFiles& files, const image::PasteParameters& values, Hooks hooks)
    : PictureLoader(files, values, std::move(hooks), {}, JobLayout()) {}

PictureLoader::PictureLoader(JobFiles& files, const image::PasteParameters& values, Hooks hooks,
                             std::vector<LayoutPlan::Cell> cells, const JobLayout& layout)
    : files(files), paths(files.Paths()), values(values), hooks(std::move(hooks)),
      cells(std::move(cells)), layout(layout), slots(paths.size()) {
    const unsigned wanted =
        this->hooks.threads >= 0
            ? static_cast<unsigned>(this->hooks.threads)
            : std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), kMostThreads);
    // Recycle then never needs memory.
    spares.reserve(wanted);
    std::lock_guard<std::mutex> lock(mutex);
    for (unsigned i = 0; i < wanted && i < paths.size(); ++i) {
        try {
            threads.emplace_back([this, i] { Run(i); });
        } catch (const std::system_error&) {
            // Fewer threads, or none: Next then makes the pictures itself.
            break;
        }
    }
}

PictureLoader::~PictureLoader() {
    Stop();
    for (std::thread& thread : threads) {
        thread.join();
    }
}

std::unique_ptr<PictureLoader::Picture> PictureLoader::TakeSpare() {
    std::lock_guard<std::mutex> lock(mutex);
    if (spares.empty()) {
        return nullptr;
    }
    std::unique_ptr<Picture> picture = std::move(spares.back());
    spares.pop_back();
    return picture;
}

std::unique_ptr<PictureLoader::Picture> PictureLoader::Make(std::size_t index, Workspace& work) {
    image::Image& source = work.source;
    std::unique_ptr<Picture> picture = TakeSpare();
    LARGE_INTEGER start, loaded, resized;
    QueryPerformanceCounter(&start);
    loaded = resized = start;
    try {
        if (picture == nullptr) {
            picture = std::make_unique<Picture>();
        }
        picture->state = Picture::State::NotLoaded;
        picture->damaged = false;
        if (hooks.beforeMake) {
            hooks.beforeMake(index);
        }
        // A picture of a layout whose size was not read has no cell.
        const bool sized = cells.empty() || cells[index].taken;
        formats::ByteSource file;
        const bool read =
            sized && files.Open(index, file) &&
            Decode(file, work, static_cast<std::uint32_t>(values.background), picture->damaged);
        // Closed once decoded, and no longer counted among the kept files
        // (also one not loaded).
        files.Close(index, file);
        QueryPerformanceCounter(&loaded);
        if (!cells.empty() && sized) {
            if (work.painter == nullptr) {
                work.painter = std::make_unique<CellPainter>(layout, values.background);
            }
            const bool made =
                work.painter->Make(read ? &source : nullptr, cells[index], picture->prepared);
            picture->state = !made  ? Picture::State::NotMade
                             : read ? Picture::State::Ready
                                    : Picture::State::NotLoaded;
        } else if (read) {
            picture->state = image::JoinDocument::Prepare(source, values, picture->prepared)
                                 ? Picture::State::Ready
                                 : Picture::State::NotMade;
        }
        QueryPerformanceCounter(&resized);
    } catch (...) {
        // Out of memory, or any other fault, for this one picture: the job
        // skips it and goes on. What it held goes back to the system.
        source.Destroy();
        // Its file too, if it was not closed yet.
        formats::ByteSource unused;
        files.Close(index, unused);
        if (picture != nullptr) {
            picture->state = Picture::State::NotMade;
            picture->prepared.resized.Destroy();
        }
    }
    std::lock_guard<std::mutex> lock(mutex);
    spent.load += Milliseconds(start, loaded);
    spent.resize += Milliseconds(loaded, resized);
    return picture;
}

void PictureLoader::Run(std::size_t first) {
    Workspace work;
    for (std::size_t index = first;; index += threads.size()) {
        {
            // No more pictures ahead of the paste than there are threads.
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this, index] {
                return stopRequested || index >= paths.size() || index - handedOut < threads.size();
            });
            if (stopRequested || index >= paths.size()) {
                return;
            }
        }
        std::unique_ptr<Picture> picture = Make(index, work);
        std::lock_guard<std::mutex> lock(mutex);
        slots[index].picture = std::move(picture);
        slots[index].done = true;
        changed.notify_all();
    }
}

std::unique_ptr<PictureLoader::Picture> PictureLoader::Next() {
    std::unique_lock<std::mutex> lock(mutex);
    if (stopRequested || handedOut >= paths.size()) {
        return nullptr;
    }
    const std::size_t index = handedOut;
    // Every picture's loading thread makes it unless stopped first.
    changed.wait(lock,
                 [this, index] { return stopRequested || slots[index].done || threads.empty(); });
    if (stopRequested) {
        return nullptr;
    }
    ++handedOut;
    changed.notify_all();
    std::vector<std::unique_ptr<Picture>> unused; // freed outside the lock
    if (handedOut == paths.size() && !threads.empty()) {
        // Every picture is made: the job's last paste, and a save running
        // beside it, need the memory more.
        unused.swap(spares);
    }
    std::unique_ptr<Picture> picture = std::move(slots[index].picture);
    const bool done = slots[index].done;
    lock.unlock();
    if (!done) {
        Workspace work;
        picture = Make(index, work);
    }
    if (picture == nullptr) {
        // Its loading thread had no memory even for the record.
        picture = std::make_unique<Picture>();
        picture->state = Picture::State::NotMade;
    }
    return picture;
}

void PictureLoader::Recycle(std::unique_ptr<Picture> picture) {
    std::lock_guard<std::mutex> lock(mutex);
    // Once every picture is made no spare is kept (see Next).
    if (picture != nullptr && handedOut < paths.size() && spares.size() < threads.size()) {
        spares.push_back(std::move(picture));
    }
}

void PictureLoader::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopRequested = true;
        changed.notify_all();
    }
    // A loading thread may wait there for the header pass.
    files.Stop();
}

PictureLoader::Timings PictureLoader::Spent() const {
    std::lock_guard<std::mutex> lock(mutex);
    return spent;
}

} // namespace job
