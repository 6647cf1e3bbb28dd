#pragma once

#include "browser/BatchPlan.h"
#include "browser/PasteCommand.h"

#include <windows.h>

#include <atomic>

namespace browser {

// The thread that pastes a job's pictures one by one. It reaches the
// progress dialog only through messages: the bar's range and steps and the
// picture's name are sent (so they wait for the dialog's modal loop), the
// completion is posted as its very last act. It never touches another window.
// The object owns its thread: it is waited for before the object goes.
class BatchWorker {
public:
    // Posted to the progress dialog when the job is over.
    static constexpr UINT DoneMessage = WM_USER + 2;

    // The job pastes with the paste settings of the moment it is made.
    BatchWorker(PasteCommand& paster, BatchPlan plan);
    ~BatchWorker();
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    // Starts the thread reporting to dialog; false when it cannot be started.
    bool Start(HWND dialog);
    // The job ends after the picture being pasted.
    void Stop() { stopRequested = true; }
    // Waits until the thread has ended, serving messages sent to this
    // thread meanwhile so that a worker in the middle of a send never waits
    // for a thread that waits for it.
    void Wait();
    // Only meaningful once Wait has returned.
    int PastedCount() const { return plan.PastedCount(); }

private:
    static unsigned __stdcall ThreadMain(void* worker);
    void Run();

    PasteCommand& paster;
    BatchPlan plan;
    const image::PasteParameters values;
    HWND dialog = nullptr;
    HANDLE thread = nullptr;
    std::atomic<bool> stopRequested{false};
};

} // namespace browser
