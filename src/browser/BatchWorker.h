#pragma once

#include "browser/JobReport.h"
#include "image/JoinDocument.h"
#include "image/PasteParameters.h"
#include "job/BatchPlan.h"
#include "job/JobRun.h"
#include "job/PictureLoader.h"

#include <windows.h>

namespace browser {

// The thread that runs a job for the progress dialog. It reaches the dialog
// only through messages: the bar's range and steps and the picture's name are
// sent (so they wait for the dialog's modal loop), the completion is posted
// as its very last act. It never touches another window. The object owns its
// thread: it is waited for before the object goes.
class BatchWorker : private job::JobObserver {
public:
    // Posted to the progress dialog when the job is over. From the WM_APP
    // range: the dialog manager's own messages (DM_REPOSITION is WM_USER + 2)
    // take the first values after WM_USER.
    static constexpr UINT DoneMessage = WM_APP + 2;

    // The job pastes into document with values, the paste settings of the
    // moment it is made; hooks steer its picture loader.
    BatchWorker(image::JoinDocument& document, const image::PasteParameters& values,
                job::BatchPlan plan, job::PictureLoader::Hooks hooks = job::PictureLoader::Hooks());
    ~BatchWorker() override;
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    // Starts the thread reporting to dialog; false when it cannot be started.
    bool Start(HWND dialog);
    // The job ends after the picture being pasted, or at once while it waits
    // for a picture to be loaded. Any thread may call it.
    void Stop() { stop.Request(); }
    // Waits until the thread has ended, serving messages sent to this
    // thread meanwhile so that a worker in the middle of a send never waits
    // for a thread that waits for it.
    void Wait();
    // Only meaningful once Wait has returned.
    int PastedCount() const { return pasted; }
    // The files the job skipped or found damaged; once Wait has returned.
    const JobReport& Report() const { return report; }

private:
    static unsigned __stdcall ThreadMain(void* worker);

    void Started(int visits) override;
    void Pasting(const std::string& name, const std::string& path) override;
    void Visited() override;
    void Skipped(const std::string& path, bool notLoaded) override;
    void Damaged(const std::string& path) override;
    void Pasted(const std::string& path, int taken, int count) override;

    image::JoinDocument& document;
    const image::PasteParameters values;
    job::BatchPlan plan;
    const job::PictureLoader::Hooks hooks;
    job::JobStop stop;
    JobReport report;
    // Counted as the job reports them: a layout job leaves the plan's own
    // count alone. Read only after Wait, which orders it after the thread.
    int pasted = 0;
    HWND dialog = nullptr;
    HANDLE thread = nullptr;
};

} // namespace browser
