#include "browser/PictureLoader.h"

#include "formats/ImageLoader.h"

#include <windows.h>

#include <system_error>
#include <utility>

namespace browser {

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

} // namespace

PictureLoader::PictureLoader(std::vector<std::string> paths, const image::PasteParameters& values)
    : paths(std::move(paths)), values(values) {
    try {
        thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread: Next makes each picture itself.
    }
}

PictureLoader::~PictureLoader() {
    Stop();
    if (thread.joinable()) {
        thread.join();
    }
}

std::unique_ptr<PictureLoader::Picture> PictureLoader::Make(const std::string& path,
                                                            Timings& used) {
    std::unique_ptr<Picture> picture;
    {
        std::lock_guard<std::mutex> lock(mutex);
        picture = std::move(spare);
    }
    if (picture == nullptr) {
        picture = std::make_unique<Picture>();
    }
    picture->state = Picture::State::NotLoaded;
    LARGE_INTEGER start, loaded, resized;
    QueryPerformanceCounter(&start);
    const bool read =
        formats::LoadImageFile(source, path.c_str(), static_cast<std::uint32_t>(values.BkColor));
    QueryPerformanceCounter(&loaded);
    used.load += Milliseconds(start, loaded);
    if (!read) {
        return picture;
    }
    picture->state = image::JoinDocument::Prepare(source, values, picture->prepared)
                         ? Picture::State::Ready
                         : Picture::State::NotMade;
    QueryPerformanceCounter(&resized);
    used.resize += Milliseconds(loaded, resized);
    return picture;
}

void PictureLoader::Run() {
    try {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            {
                // One picture ahead: wait until the previous one is taken.
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] { return stopRequested || waiting == nullptr; });
                if (stopRequested) {
                    break;
                }
            }
            Timings used;
            std::unique_ptr<Picture> picture = Make(paths[i], used);
            std::lock_guard<std::mutex> lock(mutex);
            spent.load += used.load;
            spent.resize += used.resize;
            waiting = std::move(picture);
            changed.notify_all();
        }
    } catch (const std::bad_alloc&) {
        // No memory for a picture's record: Next makes the rest itself.
    }
    std::lock_guard<std::mutex> lock(mutex);
    loaderDone = true;
    changed.notify_all();
}

std::unique_ptr<PictureLoader::Picture> PictureLoader::Next() {
    std::unique_lock<std::mutex> lock(mutex);
    if (stopRequested || handedOut >= paths.size()) {
        return nullptr;
    }
    if (thread.joinable()) {
        changed.wait(lock, [this] { return waiting != nullptr || loaderDone || stopRequested; });
        if (waiting != nullptr) {
            ++handedOut;
            changed.notify_all();
            return std::move(waiting);
        }
        if (stopRequested) {
            return nullptr;
        }
    }
    // No loading thread, or it ended early: every picture it made has been
    // handed out, so the next one is made here.
    const std::string& path = paths[handedOut++];
    Timings used;
    lock.unlock();
    std::unique_ptr<Picture> picture = Make(path, used);
    lock.lock();
    spent.load += used.load;
    spent.resize += used.resize;
    return picture;
}

void PictureLoader::Recycle(std::unique_ptr<Picture> picture) {
    std::lock_guard<std::mutex> lock(mutex);
    if (spare == nullptr) {
        spare = std::move(picture);
    }
}

void PictureLoader::Stop() {
    std::lock_guard<std::mutex> lock(mutex);
    stopRequested = true;
    changed.notify_all();
}

PictureLoader::Timings PictureLoader::Spent() const {
    std::lock_guard<std::mutex> lock(mutex);
    return spent;
}

} // namespace browser
