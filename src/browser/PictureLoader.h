#pragma once

#include "image/JoinDocument.h"
#include "image/PasteParameters.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace browser {

// Loads and resizes a job's pictures in order on a thread of its own, one
// picture ahead of the paste, so that a job keeps both cores busy: while the
// job's thread pastes one picture the next is decoded and resampled. It
// reads only files and the values it was given, never a window or the
// document. At most one finished picture waits besides the one being made.
// Pictures handed back through Recycle lend their bitmaps to the next ones:
// memory already in use costs far less than fresh pages, which the system
// must clear and map one by one.
class PictureLoader {
public:
    struct Picture {
        enum class State { Ready, NotLoaded, NotMade };
        State state = State::NotLoaded;
        image::PreparedPicture prepared;
    };

    // Time spent by the loading thread, in milliseconds.
    struct Timings {
        double load = 0;
        double resize = 0;
    };

    PictureLoader(std::vector<std::string> paths, const image::PasteParameters& values);
    ~PictureLoader();
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    // The next picture, in the order of the paths, waiting until it is made.
    // Null once every path has been handed out or after Stop. Where no
    // thread could be started the picture is made here.
    std::unique_ptr<Picture> Next();
    // Gives a pasted picture back so that its memory serves a later one.
    void Recycle(std::unique_ptr<Picture> picture);
    // No further picture is begun; the one being made is finished.
    void Stop();
    // Meaningful once the last picture has been handed out.
    Timings Spent() const;

private:
    void Run();
    // Loads and resizes one file as a paste with the loader's values would.
    std::unique_ptr<Picture> Make(const std::string& path, Timings& used);

    const std::vector<std::string> paths;
    const image::PasteParameters values;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::unique_ptr<Picture> waiting; // made, not yet handed out
    std::unique_ptr<Picture> spare;   // handed back, to be made again
    image::Image source;              // the decoded file; kept for the next
    std::size_t handedOut = 0;
    bool stopRequested = false;
    bool loaderDone = false;
    Timings spent;
    std::thread thread;
};

} // namespace browser
