#include "job/JobFiles.h"

#include "formats/PictureHeader.h"

#include <utility>

namespace job {

namespace {

bool ReadHeader(formats::ByteSource& source, int& width, int& height) {
    formats::PictureHeader header;
    if (!header.Read(source)) {
        return false;
    }
    width = header.Width();
    height = header.Height();
    return true;
}

} // namespace

JobFiles::JobFiles(std::vector<std::string> paths, Opener open, std::size_t mostKept)
    : paths(std::move(paths)), open(std::move(open)), mostKept(mostKept),
      handles(this->paths.size()), states(this->paths.size(), State::Ahead) {}

bool JobFiles::OpenPath(const std::string& path, file::FileHandle& file) const {
    return open ? open(path, file) && file.IsOpen() : file.OpenRead(path.c_str());
}

void JobFiles::BeginPass() {
    std::lock_guard<std::mutex> lock(mutex);
    passRunning = true;
}

void JobFiles::Passed(std::size_t index, bool opened, file::FileHandle& file) {
    std::lock_guard<std::mutex> lock(mutex);
    // No loader takes a file after Stop, nor one whose making failed early.
    const bool wanted = !stopped && states[index] != State::Closed;
    if (!opened) {
        states[index] = State::Failed;
    } else if (file.IsOpen() && wanted && kept < mostKept) {
        handles[index] = std::move(file);
        states[index] = State::Kept;
        ++kept;
    } else {
        states[index] = State::Left;
    }
    passed = index + 1;
    changed.notify_all();
}

void JobFiles::EndPass() {
    std::lock_guard<std::mutex> lock(mutex);
    passRunning = false;
    changed.notify_all();
}

bool JobFiles::Open(std::size_t index, formats::ByteSource& source) {
    file::FileHandle file;
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this, index] { return stopped || !passRunning || passed > index; });
        if (stopped || states[index] == State::Failed) {
            return false;
        }
        if (states[index] == State::Kept) {
            file = std::move(handles[index]);
            states[index] = State::Taken;
        }
    }
    // Opened and rewound outside the lock: both may be slow.
    if (!file.IsOpen() && !OpenPath(paths[index], file)) {
        return false;
    }
    return source.Adopt(file);
}

void JobFiles::Close(std::size_t index, formats::ByteSource& source) {
    source.Close();
    file::FileHandle unused;
    std::lock_guard<std::mutex> lock(mutex);
    if (states[index] == State::Kept || states[index] == State::Taken) {
        unused = std::move(handles[index]);
        --kept;
    }
    states[index] = State::Closed;
}

void JobFiles::Stop() {
    std::lock_guard<std::mutex> lock(mutex);
    stopped = true;
    changed.notify_all();
}

JobFiles::HeaderPass::HeaderPass(JobFiles& files) : files(files) {
    files.BeginPass();
}

JobFiles::HeaderPass::~HeaderPass() {
    End();
}

void JobFiles::HeaderPass::End() {
    if (!ended) {
        ended = true;
        files.EndPass();
    }
}

JobFiles::SizeReader JobFiles::HeaderPass::Reader() {
    return [this](const std::string& path, int& width, int& height) {
        return ReadSize(path, width, height);
    };
}

bool JobFiles::HeaderPass::ReadSize(const std::string& path, int& width, int& height) {
    const std::size_t index = next++;
    const bool mine = !ended && index < files.paths.size() && files.paths[index] == path;
    file::FileHandle file;
    const bool opened = files.OpenPath(path, file);
    bool read = false;
    if (opened) {
        formats::ByteSource source;
        source.Adopt(file);
        read = ReadHeader(source, width, height);
        file = source.ReleaseFile();
    }
    if (mine) {
        files.Passed(index, opened, file);
    } else if (!ended && index < files.paths.size()) {
        // Passed all the same, so that its loader does not wait for it.
        file::FileHandle none;
        files.Passed(index, true, none);
    }
    return read;
}

} // namespace job
