#include "browser/BatchWorker.h"

#include "browser/BrowserIds.h"
#include "browser/JobSizeEstimate.h"

#include <commctrl.h>
#include <process.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace browser {

// Makes the job's loader reachable by Stop for as long as it exists; a stop
// asked for before it was made reaches it at once.
class BatchWorker::LoaderInUse {
public:
    LoaderInUse(BatchWorker& worker, PictureLoader& loader) : worker(worker) {
        std::lock_guard<std::mutex> lock(worker.loaderMutex);
        worker.loader = &loader;
        if (worker.stopRequested) {
            loader.Stop();
        }
    }
    ~LoaderInUse() {
        std::lock_guard<std::mutex> lock(worker.loaderMutex);
        worker.loader = nullptr;
    }
    LoaderInUse(const LoaderInUse&) = delete;
    LoaderInUse& operator=(const LoaderInUse&) = delete;

private:
    BatchWorker& worker;
};

BatchWorker::BatchWorker(PasteCommand& paster, BatchPlan plan, PictureLoader::Hooks hooks)
    : paster(paster), plan(std::move(plan)), values(paster.Values()), hooks(std::move(hooks)) {}

BatchWorker::~BatchWorker() {
    Stop();
    Wait();
}

bool BatchWorker::Start(HWND progressDialog) {
    if (thread != nullptr) {
        return false;
    }
    dialog = progressDialog;
    // _beginthreadex rather than CreateThread: the runtime library sets up
    // its per-thread state; its handle stays valid until closed here.
    const uintptr_t handle = _beginthreadex(nullptr, 0, &BatchWorker::ThreadMain, this, 0, nullptr);
    thread = reinterpret_cast<HANDLE>(handle);
    return thread != nullptr;
}

void BatchWorker::Stop() {
    stopRequested = true;
    std::lock_guard<std::mutex> lock(loaderMutex);
    if (loader != nullptr) {
        loader->Stop();
    }
}

void BatchWorker::Wait() {
    if (thread == nullptr) {
        return;
    }
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        // Peeking delivers the messages sent from other threads.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
    thread = nullptr;
}

unsigned __stdcall BatchWorker::ThreadMain(void* worker) {
    auto* self = static_cast<BatchWorker*>(worker);
    try {
        self->Run();
    } catch (...) {
        // Out of memory for a path: the job ends here, with what it pasted.
    }
    Sleep(50); // lets the full bar be seen before the dialog goes
    PostMessageA(self->dialog, DoneMessage, 0, 0);
    return 0;
}

void BatchWorker::Run() {
    const HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    SendMessageA(bar, PBM_SETRANGE32, 0, plan.VisitCount());
    std::vector<std::string> paths;
    for (int visit = 0; visit < plan.VisitCount(); ++visit) {
        if (plan.Takes(visit)) {
            paths.push_back(plan.Path(visit));
        }
    }
    PictureLoader pictures(std::move(paths), values, hooks);
    const LoaderInUse inUse(*this, pictures);
    // However the job ends, the room it reserved does not outlive it.
    const image::JoinDocument::RoomRelease release(paster.Document());
    // Read while the first pictures load.
    JobSizeEstimate::ReserveResult(plan.Job(), values, paster.Document());
    for (int visit = 0; visit < plan.VisitCount() && !stopRequested; ++visit) {
        if (plan.Takes(visit) && !PasteVisit(pictures, visit)) {
            break;
        }
        SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
}

bool BatchWorker::PasteVisit(PictureLoader& pictures, int visit) {
    SetDlgItemTextA(dialog, IDC_PROGRESS_NAME, plan.Name(visit).c_str());
    std::unique_ptr<PictureLoader::Picture> picture = pictures.Next();
    if (picture == nullptr) {
        return false;
    }
    const BatchPlan::Paste paste = plan.NextPaste();
    const bool pasted = paster.PasteLoaded(*picture, paste.below, paste.wrapWidth, values) ==
                        PasteCommand::Result::Pasted;
    plan.Record(pasted);
    if (!pasted) {
        report.AddSkipped(plan.Name(visit));
    } else if (picture->damaged) {
        report.AddDamaged(plan.Name(visit));
    }
    pictures.Recycle(std::move(picture));
    return true;
}

} // namespace browser
