#include "browser/BatchWorker.h"

#include "browser/BrowserIds.h"

#include <commctrl.h>
#include <process.h>

#include <utility>

namespace browser {

BatchWorker::BatchWorker(image::JoinDocument& document, const image::PasteParameters& values,
                         job::BatchPlan plan, job::PictureLoader::Hooks hooks)
    : document(document), values(values), plan(std::move(plan)), hooks(std::move(hooks)) {}

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
        job::RunJob(self->plan, self->values, self->document, *self, self->stop, self->hooks);
    } catch (...) {
        // Out of memory for the job's own records: it ends here, with what
        // it pasted.
    }
    Sleep(50); // lets the full bar be seen before the dialog goes
    PostMessageA(self->dialog, DoneMessage, 0, 0);
    return 0;
}

void BatchWorker::Started(int visits) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, visits);
}

void BatchWorker::Pasting(const std::string& name, const std::string&) {
    SetDlgItemTextA(dialog, IDC_PROGRESS_NAME, name.c_str());
}

void BatchWorker::Visited() {
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void BatchWorker::Skipped(const std::string& path, bool) {
    report.AddSkipped(path);
}

void BatchWorker::Damaged(const std::string& path) {
    report.AddDamaged(path);
}

void BatchWorker::Pasted(const std::string&, int, int) {
    ++pasted;
}

} // namespace browser
