#include "browser/BatchDialog.h"

#include "browser/BrowserIds.h"
#include "job/JobSizeEstimate.h"
#include "ui/CommonDialogs.h"
#include "win/String.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace browser {

namespace {

constexpr int FileChoices = 3;
constexpr int Arrangements = 4;
constexpr int MinPerRow = 1;
constexpr int MaxPerRow = 1000;
constexpr UINT MaxTolerance = 64;
// All_FileText keeps at most this many bytes.
constexpr int PatternCapacity = 255;

} // namespace

int BatchDialog::OnInitDialog(LRESULT* result) {
    // A value out of range (from the INI file) checks nothing rather than a
    // button of the other group; closing then stores 65535.
    if (settings.All_File < FileChoices) {
        SetCheck(IDC_BATCH_FIRST_FILE + settings.All_File, BST_CHECKED);
    }
    SetItemText(IDC_BATCH_PATTERN, settings.All_FileText.Data());
    if (settings.All_Arrange < Arrangements) {
        SetCheck(IDC_BATCH_FIRST_ARRANGE + settings.All_Arrange, BST_CHECKED);
    }
    SetItemInt(IDC_BATCH_WIDTH, settings.All_Width, FALSE);
    SetItemInt(IDC_BATCH_PER_ROW, settings.All_ImgNum, FALSE);
    SetCheck(IDC_BATCH_STITCH, settings.All_Stitch != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetItemInt(IDC_BATCH_STITCH_TOLERANCE,
               std::min<int>(settings.All_StitchTolerance, MaxTolerance), FALSE);
    SendDlgItemMessageA(hwnd, IDC_BATCH_STITCH_TOLERANCE, EM_LIMITTEXT, 2, 0);
    EnableStitch();
    SendDlgItemMessageA(hwnd, IDC_BATCH_PER_ROW_SPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(MaxPerRow, MinPerRow));
    char counts[96];
    std::snprintf(counts, sizeof(counts), "선택파일 %d 개 / 모든그림파일 %d 개 ", selectedPictures,
                  allPictures);
    SetItemText(IDC_BATCH_COUNTS, counts);
    ShowResultSize();
    CenterWindow(GetWindow(hwnd, GW_OWNER));
    *result = TRUE;
    return 1;
}

int BatchDialog::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_BATCH_PER_ROW && code == EN_KILLFOCUS) {
        ShowPerRowInForce();
    }
    if (id == IDC_BATCH_STITCH_TOLERANCE && code == EN_KILLFOCUS) {
        SetItemInt(IDC_BATCH_STITCH_TOLERANCE, StitchToleranceInForce(), FALSE);
    }
    if (code == BN_CLICKED) {
        EnableStitch();
    }
    if (id != IDOK && id != IDCANCEL) {
        if (code == EN_CHANGE || code == BN_CLICKED) {
            ShowResultSize();
        }
        return 0;
    }
    if (id == IDOK && selectedPictures == 0 &&
        GetCheckedIndex(IDC_BATCH_FIRST_FILE, FileChoices) == job::Selected) {
        ui::WarningBox("선택된 파일이 없습니다");
        return 1;
    }
    // Kept in 16 bits as the INI file keeps them: none checked becomes 65535.
    settings.All_File =
        static_cast<std::uint16_t>(GetCheckedIndex(IDC_BATCH_FIRST_FILE, FileChoices));
    settings.All_Arrange =
        static_cast<std::uint16_t>(GetCheckedIndex(IDC_BATCH_FIRST_ARRANGE, Arrangements));
    settings.All_Width = GetItemInt(IDC_BATCH_WIDTH, FALSE);
    // Clamped as the unsigned number it is read as, so that a count past the
    // int range gives the upper limit rather than the lower.
    const UINT perRow = GetDlgItemInt(hwnd, IDC_BATCH_PER_ROW, nullptr, FALSE);
    settings.All_ImgNum =
        static_cast<int>(std::min<UINT>(std::max<UINT>(perRow, MinPerRow), MaxPerRow));
    text::String pattern(PatternCapacity);
    GetItemText(IDC_BATCH_PATTERN, pattern);
    settings.All_FileText.Assign(pattern.Data());
    settings.All_Stitch = IsChecked(IDC_BATCH_STITCH) == BST_CHECKED ? 1 : 0;
    settings.All_StitchTolerance = static_cast<std::uint16_t>(StitchToleranceInForce());
    End(id == IDOK ? 1 : 0);
    return 1;
}

job::BatchJob BatchDialog::JobFromControls() {
    job::BatchJob job;
    job.folder = folder;
    job.entries = entries;
    job.files = GetCheckedIndex(IDC_BATCH_FIRST_FILE, FileChoices);
    job.arrangement = GetCheckedIndex(IDC_BATCH_FIRST_ARRANGE, Arrangements);
    job.firstBelow = true;
    job.width = GetItemInt(IDC_BATCH_WIDTH, FALSE);
    job.perRow = PerRowInForce();
    text::String pattern(PatternCapacity);
    GetItemText(IDC_BATCH_PATTERN, pattern);
    job.pattern = pattern.Data();
    job.stitch = IsChecked(IDC_BATCH_STITCH) == BST_CHECKED;
    job.stitchTolerance = StitchToleranceInForce();
    return job;
}

int BatchDialog::PerRowInForce() {
    // Clamped as the unsigned number it is read as, so that a count past the
    // int range gives the upper limit rather than the lower.
    const UINT perRow = GetDlgItemInt(hwnd, IDC_BATCH_PER_ROW, nullptr, FALSE);
    return static_cast<int>(std::min<UINT>(std::max<UINT>(perRow, MinPerRow), MaxPerRow));
}

void BatchDialog::ShowPerRowInForce() {
    // The new text reports a change, which only measures the result again.
    SetItemInt(IDC_BATCH_PER_ROW, PerRowInForce(), FALSE);
}

int BatchDialog::StitchToleranceInForce() {
    const UINT tolerance = GetDlgItemInt(hwnd, IDC_BATCH_STITCH_TOLERANCE, nullptr, FALSE);
    return static_cast<int>(std::min<UINT>(tolerance, MaxTolerance));
}

void BatchDialog::EnableStitch() {
    const bool column = IsChecked(IDC_BATCH_ONE_COLUMN) == BST_CHECKED;
    EnableWindow(GetDlgItem(hwnd, IDC_BATCH_STITCH), column);
    EnableWindow(GetDlgItem(hwnd, IDC_BATCH_STITCH_TOLERANCE),
                 column && IsChecked(IDC_BATCH_STITCH) == BST_CHECKED);
}

void BatchDialog::ShowResultSize() {
    // Without the folder's entries there is nothing to measure (and the
    // controls are still being filled while the dialog starts).
    if (entries.empty() || GetDlgItem(hwnd, IDC_BATCH_RESULT) == nullptr) {
        return;
    }
    const auto readSize = [this](const std::string& path, int& width, int& height) {
        auto found = sizes.find(path);
        if (found == sizes.end()) {
            int w = 0;
            int h = 0;
            const bool read = job::JobSizeEstimate::ReadHeaderSize(path, w, h);
            found = sizes.emplace(path, std::make_pair(read ? w : 0, read ? h : 0)).first;
        }
        width = found->second.first;
        height = found->second.second;
        return width > 0;
    };
    const job::JobSizeEstimate estimate(JobFromControls(), settings.PasteValues(), readSize);
    SetItemText(IDC_BATCH_RESULT, estimate.Describe().c_str());
}

int BatchDialog::OnNcActivate(WPARAM active) {
    // Handled while deactivating: the caption keeps its active look.
    return active == FALSE ? 1 : 0;
}

} // namespace browser
