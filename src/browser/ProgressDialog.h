#pragma once

#include "browser/BatchWorker.h"
#include "ui/ControlWindow.h"
#include "ui/Dialog.h"

#include <windows.h>

namespace browser {

// The modal dialog shown while a batch worker runs: a bar, the name of the
// picture being pasted and a stop button. It starts the worker when it opens
// and ends when the worker posts that it is done; Enter, Escape and the
// close keys do nothing, so the job is never left running behind a closed
// dialog.
class ProgressDialog : public ui::Dialog {
public:
    explicit ProgressDialog(BatchWorker& worker) : worker(worker) {}

    // Runs the dialog over owner (disabled meanwhile) until the job is over;
    // the worker thread has ended when it returns. 1 after a job, 0 when the
    // thread could not be started, -1 when the dialog could not be made.
    INT_PTR Run(HWND owner);

    int OnInitDialog(LRESULT* result) override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNcActivate(WPARAM active) override;
    // The worker's completion comes in the WM_APP range, which no handler sees.
    int FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    BatchWorker& worker;
    ui::ControlWindow progressBar;
};

} // namespace browser
