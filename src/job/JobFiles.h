#pragma once

#include "formats/ByteSource.h"
#include "win/FileHandle.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace job {

// The picture files of one job, each opened once: an open costs a kernel
// call and a look by the virus scanner on Windows, a round trip to the
// server under Wine. The header pass, which reads every file's size for the
// canvas, keeps each file it opened; the file's loader then reads that same
// handle from the start. A file the pass did not keep (there was no pass,
// or too many were kept) its loader opens itself; one the pass could not
// open is not tried again. A kept file cannot be written or deleted by
// others until its picture is loaded.
//
// The pass runs on the job's thread while the loading threads already run:
// a loader asking for a file waits until the pass has passed it, or has
// ended, or Stop was called. Any thread may call Open, Close and Stop.
class JobFiles {
public:
    // Opens the file at path for reading into file; false when it cannot.
    using Opener = std::function<bool(const std::string& path, file::FileHandle& file)>;
    // The loaded size of the picture at path; false when it cannot be read.
    using SizeReader = std::function<bool(const std::string& path, int& width, int& height)>;

    // Handles kept at once. Under Wine an open handle may hold a file
    // descriptor in the wine server, one process serving every program of
    // the prefix within its descriptor limit (20000 here): a job of tens of
    // thousands of files must not take them all. Beyond this many the pass
    // reads a file and closes it, and its loader opens it again.
    static constexpr std::size_t kMostKept = 2048;

    // paths: the job's pictures in the order its loader takes them (a path
    // may come twice). open: empty opens with FileHandle::OpenRead.
    JobFiles(std::vector<std::string> paths, Opener open, std::size_t mostKept = kMostKept);
    JobFiles(const JobFiles&) = delete;
    JobFiles& operator=(const JobFiles&) = delete;

    const std::vector<std::string>& Paths() const { return paths; }

    // The header pass, from its making until End or its end however it
    // comes (an exception too): loaders of files it has not yet passed wait
    // meanwhile. Make it before the loaders ask for files, at most once.
    class HeaderPass {
    public:
        explicit HeaderPass(JobFiles& files);
        ~HeaderPass();
        HeaderPass(const HeaderPass&) = delete;
        HeaderPass& operator=(const HeaderPass&) = delete;

        // The k-th call reads the size of file k from its header and keeps
        // the file open for its loader. A path that is not file k's is read
        // alone and closed; file k is then left to its loader.
        bool ReadSize(const std::string& path, int& width, int& height);
        // ReadSize as a size reader; valid while the pass lives.
        SizeReader Reader();
        void End();

    private:
        JobFiles& files;
        std::size_t next = 0;
        bool ended = false;
    };

    // Opens file index into source, at its start: the handle the header
    // pass kept, or a new one. False when it cannot be opened, when the
    // pass could not open it, or after Stop.
    bool Open(std::size_t index, formats::ByteSource& source);
    // Closes source and whatever handle of file index is still kept: once
    // the loader has finished with the file, or will not load it.
    void Close(std::size_t index, formats::ByteSource& source);
    // Releases every loader waiting in Open, which then opens nothing.
    void Stop();

private:
    enum class State {
        Ahead,  // not yet passed by the header pass
        Left,   // passed, not kept: its loader opens it
        Failed, // the header pass could not open it
        Kept,   // its handle waits for its loader
        Taken,  // its loader reads the kept handle
        Closed, // its loader has finished with it
    };

    bool OpenPath(const std::string& path, file::FileHandle& file) const;
    void BeginPass();
    // The pass has read file index; opened: whether it could open it. An
    // open file is kept when there is room for it, else left to its loader.
    void Passed(std::size_t index, bool opened, file::FileHandle& file);
    void EndPass();

    const std::vector<std::string> paths;
    const Opener open;
    const std::size_t mostKept;
    std::mutex mutex;
    std::condition_variable changed;
    // Guarded by mutex:
    std::vector<file::FileHandle> handles;
    std::vector<State> states;
    std::size_t kept = 0; // handles Kept or Taken
    std::size_t passed = 0;
    bool passRunning = false;
    bool stopped = false;
};

} // namespace job
