#include "browser/ProgressDialog.h"

#include "browser/BrowserIds.h"

#include <commctrl.h>

namespace browser {

INT_PTR ProgressDialog::Run(HWND owner) {
    // The template's bar is a common control: its class must exist before the
    // dialog can be made, whoever runs the job.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    const INT_PTR result = DoModal(IDD_PROGRESS, owner);
    // After a completed job this only collects the ended thread; should the
    // modal loop have ended otherwise, the job stops at its next picture.
    worker.Stop();
    worker.Wait();
    return result;
}

int ProgressDialog::OnInitDialog(LRESULT* result) {
    progressBar.AttachDlgItem(hwnd, IDC_PROGRESS_BAR);
    progressBar.Send(PBM_SETSTEP, 1, 0);
    CenterWindow(GetWindow(hwnd, GW_OWNER));
    SetTopmost(TRUE);
    if (!worker.Start(hwnd)) {
        // No completion message will ever come.
        End(0);
        *result = FALSE;
        return 1;
    }
    // The focus stays off the stop button: a focused push button takes
    // Enter and the space bar as a click.
    SetFocus(progressBar.hwnd);
    *result = FALSE;
    return 1;
}

int ProgressDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_PROGRESS_STOP && code == BN_CLICKED) {
        worker.Stop();
        EnableWindow(control, FALSE);
        SetFocus(progressBar.hwnd);
    }
    // IDOK and IDCANCEL (Enter, Escape, Alt+F4) are handled by doing nothing.
    return 1;
}

int ProgressDialog::OnNcActivate(WPARAM active) {
    // Handled while deactivating: the caption keeps its active look.
    return active == FALSE ? 1 : 0;
}

int ProgressDialog::FilterMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != BatchWorker::DoneMessage) {
        return 0;
    }
    End(1);
    *result = TRUE;
    return 1;
}

} // namespace browser
