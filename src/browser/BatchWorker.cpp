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

BatchWorker::BatchWorker(PasteCommand& paster, BatchPlan plan)
    : paster(paster), plan(std::move(plan)), values(paster.Values()) {}

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
    PictureLoader loader(std::move(paths), values);
    // Read while the first pictures load.
    JobSizeEstimate::ReserveResult(plan.Job(), values, paster.Document());
    for (int visit = 0; visit < plan.VisitCount() && !stopRequested; ++visit) {
        if (plan.Takes(visit)) {
            SetDlgItemTextA(dialog, IDC_PROGRESS_NAME, plan.Name(visit).c_str());
            std::unique_ptr<PictureLoader::Picture> picture = loader.Next();
            const BatchPlan::Paste paste = plan.NextPaste();
            plan.Record(picture != nullptr &&
                        paster.PasteLoaded(*picture, paste.below, paste.wrapWidth, values) ==
                            PasteCommand::Result::Pasted);
            loader.Recycle(std::move(picture));
        }
        SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
    paster.Document().ReleaseRoom();
}

} // namespace browser
