#pragma once

#include "formats/ByteSource.h"
#include "image/Image.h"
#include "image/JoinDocument.h"
#include "image/PasteParameters.h"
#include "job/CellPainter.h"
#include "job/JobFiles.h"
#include "job/JobLayout.h"
#include "job/LayoutPlan.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace job {

// Loads and resizes a job's pictures ahead of the paste on threads of its
// own, one per processor (at most two), and hands them out in order, so that
// a job keeps every core busy while its thread pastes one picture at a time.
// Loading thread t of n makes pictures t, t + n, t + 2n and so on. It reads
// only files and the values it was given, never a window or the document. No
// more pictures are made ahead than there are loading threads. Pictures
// handed back through Recycle lend their bitmaps to later ones: memory
// already in use costs far less than fresh pages, which the system must
// clear and map one by one.
class PictureLoader {
public:
    struct Picture {
        // NotMade: read, but it could not be made ready (too large), or
        // memory or anything else failed while it was being made.
        enum class State { Ready, NotLoaded, NotMade };
        State state = State::NotLoaded;
        // Ready from a damaged file, read as far as it could be.
        bool damaged = false;
        image::PreparedPicture prepared;
    };

    // Time spent by the loading threads together, in milliseconds.
    struct Timings {
        double load = 0;
        double resize = 0;
    };

    // How tests steer a loader: the number of loading threads (below 0: one
    // per processor, at most two; 0 leaves every picture to Next), a call
    // before each picture is made, on the thread that makes it, which may
    // throw or wait, and for the job's files (see JobFiles) how each is
    // opened (empty: FileHandle::OpenRead) and how many are kept open at
    // once.
    struct Hooks {
        int threads = -1;
        std::function<void(std::size_t index)> beforeMake;
        std::function<bool(const std::string& path, file::FileHandle& file)> open;
        std::size_t keptFiles = JobFiles::kMostKept;
    };

    // Makes the pictures of files, in its order; files must outlive the
    // loader.
    PictureLoader(JobFiles& files, const image::PasteParameters& values);
    PictureLoader(JobFiles& files, const image::PasteParameters& values, Hooks hooks);
    // A job with a layout: each picture made into its cell (see CellPainter),
    // one whose size was not read not even loaded; a picture that cannot be
    // loaded comes as NotLoaded with its empty cell made all the same.
    PictureLoader(JobFiles& files, const image::PasteParameters& values, Hooks hooks,
                  std::vector<LayoutPlan::Cell> cells, const JobLayout& layout);
    ~PictureLoader();
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    // The next picture, in the order of the paths, waiting until it is made;
    // one that could not be made comes as NotLoaded or NotMade in its place.
    // Null once every path has been handed out, or at once after Stop, even
    // while waiting. Where no loading thread could be started the picture is
    // made here. Throws only when there is no memory even for the record of
    // a picture that failed.
    std::unique_ptr<Picture> Next();
    // Gives a pasted picture back so that its memory serves a later one.
    void Recycle(std::unique_ptr<Picture> picture);
    // No further picture is begun; those being made are finished. Any thread
    // may call it.
    void Stop();
    // Meaningful once the last picture has been handed out.
    Timings Spent() const;

private:
    // A picture's place: done once its loading thread has finished with it;
    // done without a picture when not even its record could be made.
    struct Slot {
        std::unique_ptr<Picture> picture;
        bool done = false;
    };

    // What a loading thread keeps from one picture to the next, so that
    // later ones reuse its memory.
    struct Workspace {
        image::Image source;                  // the decoded picture
        std::unique_ptr<CellPainter> painter; // made for the first cell
        std::vector<std::uint8_t> bytes;      // a file read whole
    };

    void Run(std::size_t first);
    // Loads and resizes one file as a paste with the loader's values would,
    // decoding into the workspace's source. Never throws: a failure makes
    // the picture NotMade, or null when there is no memory for its record.
    std::unique_ptr<Picture> Make(std::size_t index, Workspace& work);
    // Decodes the open file into work.source, from memory when it is small.
    static bool Decode(formats::ByteSource& file, Workspace& work, std::uint32_t background,
                       bool& damaged);
    std::unique_ptr<Picture> TakeSpare();

    JobFiles& files;
    const std::vector<std::string>& paths;
    const image::PasteParameters values;
    const Hooks hooks;
    const std::vector<LayoutPlan::Cell> cells; // empty: no layout
    const JobLayout layout;
    mutable std::mutex mutex;
    std::condition_variable changed;
    // One for every path, made at the start, so that storing a picture never
    // needs memory.
    std::vector<Slot> slots;
    std::vector<std::unique_ptr<Picture>> spares; // handed back
    std::size_t handedOut = 0;
    bool stopRequested = false;
    Timings spent;
    std::vector<std::thread> threads;
};

} // namespace job
