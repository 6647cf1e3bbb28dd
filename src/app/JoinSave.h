#pragma once

#include "app/JoinOptions.h"
#include "image/JoinDocument.h"
#include "job/CanvasStream.h"
#include "job/JobRun.h"
#include "settings/AppSettings.h"

#include <memory>
#include <string>

namespace app {

// Writes the picture of a command-line join. When the job reserves its
// canvas, the file is written while the job runs (see job::CanvasStream);
// it replaces the target only when it holds what a save at the end would
// write, otherwise the picture is saved at the end. Every report of the job
// goes on to the observer given.
class JoinSave : public job::JobObserver {
public:
    JoinSave(const JoinOptions& options, const settings::AppSettings& settings,
             const image::JoinDocument& document, job::JobObserver& reports, bool streams = true);

    void Started(int visits) override { reports.Started(visits); }
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
    const bool streams;
    std::unique_ptr<job::CanvasStream> stream;
    bool streamed = false;
};

} // namespace app
