#pragma once

#include "app/JoinOptions.h"
#include "image/JoinDocument.h"
#include "job/CanvasStream.h"
#include "job/JobRun.h"
#include "settings/AppSettings.h"

#include <cstdint>
#include <memory>
#include <string>

namespace app {

// Writes the picture of a command-line join. When the job reserves a large
// canvas and its rows of pictures can settle before it ends (it has more
// than one picture, not all in one row), the file is written while the job
// runs (see job::CanvasStream);
// it replaces the target only when it holds what a save at the end would
// write, otherwise the picture is saved at the end. Every report of the job
// goes on to the observer given.
class JoinSave : public job::JobObserver {
public:
    // A smaller canvas is saved at the end: its save is short, and a
    // stream's own buffers (a band being compressed, the writer's thread)
    // would weigh on the job's memory.
    static constexpr std::int64_t kStreamFrom = 32 * 1024 * 1024;

    // streamFrom: the least canvas, in bytes, that is streamed.
    JoinSave(const JoinOptions& options, const settings::AppSettings& settings,
             const image::JoinDocument& document, job::JobObserver& reports,
             std::int64_t streamFrom = kStreamFrom);

    void Started(int visits) override;
    void Reserved(int width, int height) override;
    void Pasting(const std::string& name, const std::string& path) override {
        reports.Pasting(name, path);
    }
    void Visited() override { reports.Visited(); }
    void Pasted(const std::string& path, int taken, int count) override;
    void Skipped(const std::string& path, bool notLoaded) override;
    void Damaged(const std::string& path) override { reports.Damaged(path); }

    // Once the job has ended: false when the file cannot be written, the
    // target then as it was.
    bool Save();
    // The saved file is the one written while the job ran.
    bool Streamed() const { return streamed; }

private:
    bool SaveAtEnd() const;

    const JoinOptions& options;
    const settings::AppSettings& settings;
    const image::JoinDocument& document;
    job::JobObserver& reports;
    const std::int64_t streamFrom;
    bool streams = false;
    std::unique_ptr<job::CanvasStream> stream;
    bool streamed = false;
};

} // namespace app
