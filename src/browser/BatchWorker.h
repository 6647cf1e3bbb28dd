#pragma once

#include "browser/BatchPlan.h"
#include "browser/JobReport.h"
#include "browser/PasteCommand.h"
#include "browser/PictureLoader.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace browser {

// The thread that pastes a job's pictures one by one. It reaches the
// progress dialog only through messages: the bar's range and steps and the
// picture's name are sent (so they wait for the dialog's modal loop), the
// completion is posted as its very last act. It never touches another window.
// The object owns its thread: it is waited for before the object goes.
class BatchWorker {
public:
    // Posted to the progress dialog when the job is over. From the WM_APP
    // range: the dialog manager's own messages (DM_REPOSITION is WM_USER + 2)
    // take the first values after WM_USER.
    static constexpr UINT DoneMessage = WM_APP + 2;

    // The job pastes with the paste settings of the moment it is made; hooks
    // steer its picture loader (see PictureLoader::Hooks).
    BatchWorker(PasteCommand& paster, BatchPlan plan,
                PictureLoader::Hooks hooks = PictureLoader::Hooks());
    ~BatchWorker();
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    // Starts the thread reporting to dialog; false when it cannot be started.
    bool Start(HWND dialog);
    // The job ends after the picture being pasted, or at once while it waits
    // for a picture to be loaded. Any thread may call it.
    void Stop();
    // Waits until the thread has ended, serving messages sent to this
    // thread meanwhile so that a worker in the middle of a send never waits
    // for a thread that waits for it.
    void Wait();
    // Only meaningful once Wait has returned.
    int PastedCount() const { return plan.PastedCount(); }
    // The files the job skipped or found damaged; once Wait has returned.
    const JobReport& Report() const { return report; }

private:
    class LoaderInUse;

    static unsigned __stdcall ThreadMain(void* worker);
    void Run();
    // Pastes the picture of the visit, recording the outcome; false when
    // the loader was stopped before it was made.
    bool PasteVisit(PictureLoader& pictures, int visit);

    PasteCommand& paster;
    BatchPlan plan;
    const image::PasteParameters values;
    const PictureLoader::Hooks hooks;
    JobReport report;
    HWND dialog = nullptr;
    HANDLE thread = nullptr;
    std::atomic<bool> stopRequested{false};
    // The running job's loader, for Stop; guarded by loaderMutex.
    std::mutex loaderMutex;
    PictureLoader* loader = nullptr;
};

} // namespace browser
