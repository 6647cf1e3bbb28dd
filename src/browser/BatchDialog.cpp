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
constexpr int MinJustify = 1;
constexpr int MaxJustify = 65500;
constexpr int MinCaption = 8;
constexpr int MaxCaption = 72;

const char* const RowWords[] = {"위", "가운데", "아래"};
const char* const ColumnWords[] = {"왼쪽", "가운데", "오른쪽"};
const char* const CaptionWords[] = {"없음", "파일 이름", "번호"};

void FillChoices(HWND combo, const char* const (&words)[3], int selected) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* word : words) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(word));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Choice(HWND combo) {
    const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int>(index);
}

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
    SendDlgItemMessageA(hwnd, IDC_BATCH_PER_ROW_SPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(MaxPerRow, MinPerRow));
    char counts[96];
    std::snprintf(counts, sizeof(counts), "선택파일 %d 개 / 모든그림파일 %d 개 ", selectedPictures,
                  allPictures);
    SetItemText(IDC_BATCH_COUNTS, counts);
    InitLayout();
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
    if (id != IDOK && id != IDCANCEL) {
        if (id == IDC_BATCH_ALIGN && code == CBN_SELCHANGE) {
            (alignShown == 1 ? columnAlign : rowAlign) = Choice(GetDlgItem(hwnd, id));
        }
        if (code == BN_CLICKED || code == CBN_SELCHANGE) {
            ShowLayoutChoices();
        }
        if (code == EN_CHANGE || code == BN_CLICKED || code == CBN_SELCHANGE) {
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
    StoreLayout();
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
    job.stitch = Stitching();
    job.stitchTolerance = StitchToleranceInForce();
    job.layout = LayoutFromControls(true);
    return job;
}

job::JobLayout BatchDialog::StoredLayout(const settings::AppSettings& settings) {
    const auto word = [](std::uint16_t value, int otherwise) {
        return value < 3 ? static_cast<int>(value) : otherwise;
    };
    job::JobLayout layout;
    layout.rowAlign = word(settings.Layout_RowAlign, job::AlignStart);
    layout.columnAlign = word(settings.Layout_ColumnAlign, job::AlignStart);
    layout.cells = settings.Layout_Cells != 0;
    layout.cellAcross = word(settings.Layout_CellAcross, job::AlignMiddle);
    layout.cellDown = word(settings.Layout_CellDown, job::AlignMiddle);
    layout.justifyHeight =
        settings.Layout_Justify == 0
            ? 0
            : std::min(std::max(settings.Layout_JustifyHeight, MinJustify), MaxJustify);
    layout.caption = word(settings.Layout_Caption, job::NoCaption);
    layout.captionSize = std::min(std::max(settings.Layout_CaptionSize, MinCaption), MaxCaption);
    return layout;
}

void BatchDialog::InitLayout() {
    const job::JobLayout layout = StoredLayout(settings);
    rowAlign = layout.rowAlign;
    columnAlign = layout.columnAlign;
    FillChoices(GetDlgItem(hwnd, IDC_BATCH_CELL_ACROSS), ColumnWords, layout.cellAcross);
    FillChoices(GetDlgItem(hwnd, IDC_BATCH_CELL_DOWN), RowWords, layout.cellDown);
    FillChoices(GetDlgItem(hwnd, IDC_BATCH_CAPTION), CaptionWords, layout.caption);
    SetCheck(IDC_BATCH_CELLS, layout.cells ? BST_CHECKED : BST_UNCHECKED);
    SetCheck(IDC_BATCH_JUSTIFY, settings.Layout_Justify != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetItemInt(IDC_BATCH_JUSTIFY_HEIGHT,
               std::min(std::max(settings.Layout_JustifyHeight, MinJustify), MaxJustify), FALSE);
    SetItemInt(IDC_BATCH_CAPTION_SIZE, layout.captionSize, FALSE);
    ShowLayoutChoices();
}

void BatchDialog::ShowLayoutChoices() {
    const int arrangement = GetCheckedIndex(IDC_BATCH_FIRST_ARRANGE, Arrangements);
    const int column = arrangement == job::OneColumn ? 1 : 0;
    if (column != alignShown) {
        FillChoices(GetDlgItem(hwnd, IDC_BATCH_ALIGN), column ? ColumnWords : RowWords,
                    column ? columnAlign : rowAlign);
        alignShown = column;
    }
    // Justified rows size every picture themselves, from the wrap width.
    const bool wraps = arrangement == job::FitWidth;
    const bool justify = wraps && IsChecked(IDC_BATCH_JUSTIFY) == BST_CHECKED;
    const bool cells = !justify && IsChecked(IDC_BATCH_CELLS) == BST_CHECKED;
    EnableItem(IDC_BATCH_JUSTIFY, wraps);
    EnableItem(IDC_BATCH_JUSTIFY_HEIGHT, justify);
    EnableItem(IDC_BATCH_CELLS, !justify);
    EnableItem(IDC_BATCH_CELL_ACROSS, cells);
    EnableItem(IDC_BATCH_CELL_DOWN, cells);
    EnableItem(IDC_BATCH_ALIGN, !justify && !cells);
    EnableItem(IDC_BATCH_CAPTION, true);
    EnableItem(IDC_BATCH_CAPTION_SIZE,
               Choice(GetDlgItem(hwnd, IDC_BATCH_CAPTION)) != job::NoCaption);
    EnableStitch();
}

job::JobLayout BatchDialog::LayoutFromControls(bool inForce) {
    job::JobLayout layout;
    if (inForce && Stitching()) {
        return layout;
    }
    layout.rowAlign = rowAlign;
    layout.columnAlign = columnAlign;
    const bool justify = GetCheckedIndex(IDC_BATCH_FIRST_ARRANGE, Arrangements) == job::FitWidth &&
                         IsChecked(IDC_BATCH_JUSTIFY) == BST_CHECKED;
    layout.justifyHeight =
        justify ? NumberInForce(IDC_BATCH_JUSTIFY_HEIGHT, MinJustify, MaxJustify) : 0;
    layout.cells = !justify && IsChecked(IDC_BATCH_CELLS) == BST_CHECKED;
    layout.cellAcross = Choice(GetDlgItem(hwnd, IDC_BATCH_CELL_ACROSS));
    layout.cellDown = Choice(GetDlgItem(hwnd, IDC_BATCH_CELL_DOWN));
    layout.caption = Choice(GetDlgItem(hwnd, IDC_BATCH_CAPTION));
    layout.captionSize = NumberInForce(IDC_BATCH_CAPTION_SIZE, MinCaption, MaxCaption);
    return layout;
}

void BatchDialog::StoreLayout() {
    const job::JobLayout layout = LayoutFromControls(false);
    settings.Layout_RowAlign = static_cast<std::uint16_t>(rowAlign);
    settings.Layout_ColumnAlign = static_cast<std::uint16_t>(columnAlign);
    settings.Layout_Cells = IsChecked(IDC_BATCH_CELLS) == BST_CHECKED ? 1 : 0;
    settings.Layout_CellAcross = static_cast<std::uint16_t>(layout.cellAcross);
    settings.Layout_CellDown = static_cast<std::uint16_t>(layout.cellDown);
    settings.Layout_Justify = IsChecked(IDC_BATCH_JUSTIFY) == BST_CHECKED ? 1 : 0;
    settings.Layout_JustifyHeight = NumberInForce(IDC_BATCH_JUSTIFY_HEIGHT, MinJustify, MaxJustify);
    settings.Layout_Caption = static_cast<std::uint16_t>(layout.caption);
    settings.Layout_CaptionSize = layout.captionSize;
}

int BatchDialog::NumberInForce(int id, int low, int high) {
    // Clamped as the unsigned number it is read as, as the per-row box.
    const UINT number = GetDlgItemInt(hwnd, id, nullptr, FALSE);
    return static_cast<int>(std::min<UINT>(std::max<UINT>(number, low), high));
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
    // A stitched column keeps each screenshot as it is: stitching and a
    // layout that pads or labels the column's pictures exclude each other.
    const bool column = IsChecked(IDC_BATCH_ONE_COLUMN) == BST_CHECKED;
    job::JobLayout layout = LayoutFromControls(false);
    const bool plain =
        layout.columnAlign == job::AlignStart && !layout.cells && layout.caption == job::NoCaption;
    EnableItem(IDC_BATCH_STITCH, column && plain);
    const bool stitching = Stitching();
    EnableItem(IDC_BATCH_STITCH_TOLERANCE, stitching);
    if (stitching) {
        for (int id : {IDC_BATCH_ALIGN, IDC_BATCH_CELLS, IDC_BATCH_CELL_ACROSS, IDC_BATCH_CELL_DOWN,
                       IDC_BATCH_CAPTION, IDC_BATCH_CAPTION_SIZE}) {
            EnableItem(id, false);
        }
    }
}

bool BatchDialog::Stitching() {
    return IsWindowEnabled(GetDlgItem(hwnd, IDC_BATCH_STITCH)) &&
           IsChecked(IDC_BATCH_STITCH) == BST_CHECKED;
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
