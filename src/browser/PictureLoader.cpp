#include "browser/PictureLoader.h"

#include "formats/ImageLoader.h"

#include <windows.h>

#include <algorithm>
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

// Two loading threads keep two cores busy beside the pasting thread, which
// mostly waits; more would only hold more pictures in memory at once.
constexpr unsigned kMostThreads = 2;

} // namespace

PictureLoader::PictureLoader(std::vector<std::string> paths, const image::PasteParameters& values)
    : paths(std::move(paths)), values(values), lost(this->paths.size(), 0) {
    const unsigned wanted =
        std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), kMostThreads);
    std::lock_guard<std::mutex> lock(mutex);
    for (unsigned i = 0; i < wanted && i < this->paths.size(); ++i) {
        try {
            threads.emplace_back([this] { Run(); });
            ++running;
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

std::unique_ptr<PictureLoader::Picture> PictureLoader::Make(std::size_t index,
                                                            image::Image& source) {
    std::unique_ptr<Picture> picture;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!spares.empty()) {
            picture = std::move(spares.back());
            spares.pop_back();
        }
    }
    if (picture == nullptr) {
        picture = std::make_unique<Picture>();
    }
    picture->state = Picture::State::NotLoaded;
    LARGE_INTEGER start, loaded, resized;
    QueryPerformanceCounter(&start);
    const bool read = formats::LoadImageFile(source, paths[index].c_str(),
                                             static_cast<std::uint32_t>(values.BkColor));
    QueryPerformanceCounter(&loaded);
    if (read) {
        picture->state = image::JoinDocument::Prepare(source, values, picture->prepared)
                             ? Picture::State::Ready
                             : Picture::State::NotMade;
    }
    QueryPerformanceCounter(&resized);
    std::lock_guard<std::mutex> lock(mutex);
    spent.load += Milliseconds(start, loaded);
    spent.resize += Milliseconds(loaded, resized);
    return picture;
}

void PictureLoader::Run() {
    image::Image source;
    std::size_t index = paths.size(); // the picture in hand, if any
    try {
        for (;;) {
            {
                // No more pictures ahead of the paste than there are threads.
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] {
                    return stopRequested || claimed >= paths.size() ||
                           claimed - handedOut < threads.size();
                });
                if (stopRequested || claimed >= paths.size()) {
                    break;
                }
                index = claimed++;
            }
            std::unique_ptr<Picture> picture = Make(index, source);
            std::lock_guard<std::mutex> lock(mutex);
            made.emplace(index, std::move(picture));
            index = paths.size();
            changed.notify_all();
        }
    } catch (const std::bad_alloc&) {
        // No memory for a picture's record: Next makes the one in hand.
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (index < paths.size()) {
        lost[index] = 1;
    }
    --running;
    changed.notify_all();
}

std::unique_ptr<PictureLoader::Picture> PictureLoader::Next() {
    std::unique_lock<std::mutex> lock(mutex);
    if (stopRequested || handedOut >= paths.size()) {
        return nullptr;
    }
    const std::size_t index = handedOut;
    changed.wait(lock,
                 [this, index] { return stopRequested || made.count(index) != 0 || running == 0; });
    if (stopRequested) {
        return nullptr;
    }
    ++handedOut;
    changed.notify_all();
    const auto found = made.find(index);
    if (found != made.end()) {
        std::unique_ptr<Picture> picture = std::move(found->second);
        made.erase(found);
        return picture;
    }
    // No loading thread, none left, or the one that had it ran out of
    // memory: this picture is made here.
    claimed = std::max(claimed, index + 1);
    lock.unlock();
    image::Image source;
    return Make(index, source);
}

void PictureLoader::Recycle(std::unique_ptr<Picture> picture) {
    std::lock_guard<std::mutex> lock(mutex);
    if (picture != nullptr && spares.size() < threads.size()) {
        spares.push_back(std::move(picture));
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
