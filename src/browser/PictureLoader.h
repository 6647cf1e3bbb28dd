#pragma once

#include "image/Image.h"
#include "image/JoinDocument.h"
#include "image/PasteParameters.h"

#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace browser {

// Loads and resizes a job's pictures ahead of the paste on threads of its
// own, one per processor (at most two), and hands them out in order, so that
// a job keeps every core busy while its thread pastes one picture at a time.
// It reads only files and the values it was given, never a window or the
// document. No more pictures are made ahead than there are loading threads.
// Pictures handed back through Recycle lend their bitmaps to later ones:
// memory already in use costs far less than fresh pages, which the system
// must clear and map one by one.
class PictureLoader {
public:
    struct Picture {
        enum class State { Ready, NotLoaded, NotMade };
        State state = State::NotLoaded;
        image::PreparedPicture prepared;
    };

    // Time spent by the loading threads together, in milliseconds.
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
    // loading thread could be started the picture is made here.
    std::unique_ptr<Picture> Next();
    // Gives a pasted picture back so that its memory serves a later one.
    void Recycle(std::unique_ptr<Picture> picture);
    // No further picture is begun; those being made are finished.
    void Stop();
    // Meaningful once the last picture has been handed out.
    Timings Spent() const;

private:
    void Run();
    // Loads and resizes one file as a paste with the loader's values would,
    // decoding into source, which keeps its bitmap for the next file.
    std::unique_ptr<Picture> Make(std::size_t index, image::Image& source);

    const std::vector<std::string> paths;
    const image::PasteParameters values;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::map<std::size_t, std::unique_ptr<Picture>> made; // not yet handed out
    std::vector<std::unique_ptr<Picture>> spares;         // handed back
    std::vector<char> lost;  // claimed by a thread that ran out of memory
    std::size_t claimed = 0; // paths begun
    std::size_t handedOut = 0;
    std::size_t running = 0; // loading threads still at work
    bool stopRequested = false;
    Timings spent;
    std::vector<std::thread> threads;
};

} // namespace browser
