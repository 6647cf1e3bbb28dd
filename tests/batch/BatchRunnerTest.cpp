#include "job/BatchPlan.h"
#include "browser/BatchRunner.h"
#include "browser/BrowserIds.h"
#include "browser/JobReport.h"
#include "job/JobSizeEstimate.h"
#include "formats/BmpWriter.h"
#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/PngWriter.h"
#include "formats/WebpWriter.h"
#include "job/JobRun.h"
#include "win/FileHandle.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using job::ListEntry;

// A document whose canvas creation can be held, so that a test looks at the
// progress dialog while the worker is in the middle of a paste, or can fail.
class HeldDocument : public image::JoinDocument {
public:
    std::function<void(int height)> onCanvas;
    bool CreateCanvas(image::Image& canvas, int width, int height, int roomWidth,
                      int roomHeight) override {
        if (onCanvas) {
            onCanvas(height);
        }
        return JoinDocument::CreateCanvas(canvas, width, height, roomWidth, roomHeight);
    }
};

// p0 .. p6 of different sizes, start.png, tall.png (30 x 200), broken.png
// (no picture) and cut.png (a PNG cut in the middle of its image data).
std::string PictureFolder() {
    static const testsupport::ScratchFolder scratch;
    static const std::string folder = [] {
        const std::string path = scratch.path;
        for (int i = 0; i < 8; ++i) {
            image::Image picture;
            picture.Create(20 + 7 * i, 12 + 5 * (i % 3), 24);
            picture.FillAll(0x102030u * (i + 1));
            const std::string name = i < 7 ? "p" + std::to_string(i) : "start";
            formats::SavePng(picture, (path + "\\" + name + ".png").c_str());
        }
        std::ofstream(path + "\\broken.png") << "not a picture";
        image::Image picture;
        picture.Create(40, 30, 24);
        testpictures::FillNoise(picture, 7);
        formats::SavePng(picture, (path + "\\cut.png").c_str());
        const std::string whole = testsupport::ReadAll(path + "\\cut.png");
        std::ofstream(path + "\\cut.png", std::ios::binary) << whole.substr(0, whole.size() / 2);
        picture.Create(30, 200, 24);
        formats::SavePng(picture, (path + "\\tall.png").c_str());
        return path;
    }();
    return folder;
}

using Bytes = std::vector<std::uint8_t>;

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A one-colour GIF (width * height a multiple of 4) whose LZW codes all stay
// 3 bits wide: every pixel is a clear code and colour 0, so four pixels take
// the same three bytes; the end code follows.
Bytes OneColourGif(std::uint8_t width, std::uint8_t height) {
    Bytes data;
    for (int i = 0; i < width * height / 4; ++i) {
        data.insert(data.end(), {0x04, 0x41, 0x10});
    }
    data.push_back(0x05);
    Bytes gif = {'G', 'I', 'F', '8',  '9', 'a', width, 0, height, 0, 0x80,   0, 0, 0x20, 0x40, 0x60,
                 0,   0,   0,   0x2C, 0,   0,   0,     0, width,  0, height, 0, 0, 2};
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t block = std::min<size_t>(255, data.size() - at);
        gif.push_back(static_cast<std::uint8_t>(block));
        gif.insert(gif.end(), data.begin() + at, data.begin() + at + block);
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

// Gives a JPEG file an Exif segment with the orientation tag, little-endian.
void AddOrientation(const std::string& path, std::uint8_t orientation) {
    const std::string file = testsupport::ReadAll(path);
    Bytes jpeg(file.begin(), file.end());
    const Bytes exif = {0xFF, 0xE1, 0, 34, 'E',         'x', 'i', 'f', 0,    0, 'I', 'I',
                        42,   0,    8, 0,  0,           0,   1,   0,   0x12, 1, 3,   0,
                        1,    0,    0, 0,  orientation, 0,   0,   0,   0,    0, 0,   0};
    jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
    WriteBytes(path, jpeg);
}

// The parent and a folder entry, then the pictures.
std::vector<ListEntry> Pictures(const std::vector<std::string>& names, bool selected) {
    std::vector<ListEntry> entries = {{"..", job::ParentFolder, selected},
                                      {"sub", job::Folder, selected}};
    for (const std::string& name : names) {
        entries.push_back({name, job::ImageFile, selected});
    }
    return entries;
}

// Runs this thread's messages until done() or ten seconds have passed.
bool PumpUntil(const std::function<bool()>& done) {
    for (const DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > 10000) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    return true;
}

std::string ItemText(HWND box, int id) {
    char text[256] = {};
    GetDlgItemTextA(box, id, text, sizeof(text));
    return text;
}

// A control's notice to its dialog, as the control sends it.
void Notify(HWND box, int id, UINT code) {
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

class BatchRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.PadSize = 2;
        settings.PadCol = 0x0000FF;
        settings.BkColor = 0x00FF00;
        runner.refreshView = [this] { ++refreshes; };
        runner.pasteInteractive = [this](const char* path, bool below) {
            interactive += std::string(path) + (below ? " below;" : " right;");
            return true;
        };
        // The modal dialogs run modeless here, driven by the test's own loop.
        dialogs.HandleModal([this](ui::Dialog& dialog, int templateId, HWND parent) -> INT_PTR {
            if (!dialog.CreateModeless(templateId, parent)) {
                return -1;
            }
            const HWND box = dialog.hwnd;
            if (templateId == IDD_BATCH) {
                batchDialog = &dialog;
                const int command = answerBatch ? answerBatch(box) : IDOK;
                SendMessageA(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
                DestroyWindow(box);
                return command == IDOK ? 1 : 0;
            }
            ++progressShown;
            if (duringJob) {
                duringJob(box, dialog);
            }
            ended = PumpUntil([&] { return dialog.hwnd == nullptr; });
            const HWND control = GetDlgItem(box, IDC_PROGRESS_BAR);
            bar = std::to_string(SendMessageA(control, PBM_GETPOS, 0, 0)) + "/" +
                  std::to_string(SendMessageA(control, PBM_GETRANGE, FALSE, 0)) + " " +
                  ItemText(box, IDC_PROGRESS_NAME);
            DestroyWindow(box);
            return 1;
        });
    }
    void TearDown() override {
        SetEvent(release);
        CloseHandle(entered);
        CloseHandle(release);
    }

    // A single paste of a picture of the folder, as the main window makes one.
    browser::PasteCommand::Result PasteFile(const std::string& name, bool below = false,
                                            int wrapWidth = 0) {
        image::Image picture;
        formats::LoadImageFile(picture, (PictureFolder() + "\\" + name).c_str());
        return paster.PastePicture(picture, below, wrapWidth);
    }

    // Clears the document and pastes the start picture.
    void Start() {
        document.Clear();
        ASSERT_EQ(PasteFile("start.png"), browser::PasteCommand::Result::Pasted);
    }

    // Size, number of pastes and a checksum of the pixels.
    std::string Snapshot() const {
        unsigned sum = 0;
        for (int y = 0; y < document.height; ++y) {
            for (int x = 0; x < document.width; ++x) {
                sum = sum * 31 + document.picture.ReadPixel(x, y);
            }
        }
        return std::to_string(document.width) + "x" + std::to_string(document.height) + " " +
               std::to_string(document.UndoRecords().size()) + " #" + std::to_string(sum);
    }

    // Holds the worker in its first canvas creation while check runs.
    void HoldFirstPaste(std::function<void(HWND box, ui::Dialog& dialog)> check) {
        document.onCanvas = [this](int) {
            if (!held.exchange(true)) {
                workerThread = GetCurrentThreadId();
                SetEvent(entered);
                WaitForSingleObject(release, 10000);
            }
        };
        duringJob = [this, check](HWND box, ui::Dialog& dialog) {
            ASSERT_TRUE(PumpUntil([this] { return WaitForSingleObject(entered, 0) == 0; }));
            check(box, dialog);
            SetEvent(release);
        };
    }

    HeldDocument document;
    settings::AppSettings settings;
    browser::PasteCommand paster{document, settings};
    browser::BatchRunner runner{paster, settings};
    ui::ScriptedDialogs dialogs;
    std::function<int(HWND box)> answerBatch;
    ui::Dialog* batchDialog = nullptr;
    std::function<void(HWND box, ui::Dialog& dialog)> duringJob;
    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> held{false};
    DWORD workerThread = 0;
    int refreshes = 0;
    int progressShown = 0;
    bool ended = false;
    std::string bar; // position/range and the name shown when the dialog ended
    std::string interactive;
};

// Which pictures a job takes is the file name pattern's rule, checked with
// the wildcard matcher; here it is checked through the jobs that use it.
TEST_F(BatchRunnerTest, EachArrangementEqualsTheRepeatedSinglePastes) {
    const struct {
        bool fromDialog; // else PasteSelected
        bool below;
        unsigned arrangement;
        int width, perRow;
        const char* singles; // the same pictures pasted one by one: B below, R right
    } cases[] = {
        {false, false, 0, 0, 0, "RRRRRRR"},
        {false, true, 0, 0, 0, "BBBBBBB"},
        {true, false, 65535, 0, 0, "BRRRRRR"},
        {true, false, job::FitWidth, 100, 0, "BRRRRRR"},
        // Rows of 3, 3 and 1: the broken file leaves no hole.
        {true, false, job::FixedColumns, 0, 3, "BRRBRRB"},
    };
    const std::vector<ListEntry> entries = Pictures(
        {"p0.png", "p1.png", "p2.png", "broken.png", "p3.png", "p4.png", "p5.png", "p6.png"}, true);
    for (const auto& c : cases) {
        Start();
        for (int i = 0; i < 7; ++i) {
            const bool below = c.singles[i] == 'B';
            PasteFile("p" + std::to_string(i) + ".png", below, below ? 0 : c.width);
        }
        const std::string expected = Snapshot();
        Start();
        const std::string beforeJob = Snapshot();
        refreshes = 0;
        settings.All_File = c.arrangement == 65535 ? 65535 : job::AllInFolder;
        settings.All_Arrange = static_cast<std::uint16_t>(c.arrangement);
        settings.All_Width = c.width;
        settings.All_ImgNum = c.perRow;
        if (c.fromDialog) {
            runner.RunBatch(nullptr, PictureFolder(), entries);
        } else {
            runner.PasteSelected(nullptr, PictureFolder(), entries, c.below);
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(Snapshot(), expected) << c.singles << " " << c.arrangement;
        // One Undo takes the whole job back, to the picture before it.
        ASSERT_TRUE(document.Undo());
        EXPECT_EQ(Snapshot(), beforeJob);
        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(bar, "8/8 p6.png");
        ASSERT_EQ(dialogs.MessageBoxes().size(), static_cast<size_t>(&c - cases + 1));
        EXPECT_EQ(dialogs.MessageBoxes().back().text, "붙여넣지 못한 파일:\nbroken.png");
    }
    EXPECT_FALSE(paster.JobRunning());
}

TEST_F(BatchRunnerTest, TheDialogPredictsTheSizeEachArrangementProduces) {
    // One picture of each format; the JPEG is stored 40 x 24 and turned a
    // quarter by its orientation, so it joins as 24 x 40.
    const std::string folder = PictureFolder();
    image::Image picture;
    picture.Create(40, 24, 24);
    picture.FillAll(0x336699u);
    ASSERT_TRUE(formats::SaveBmp(picture, (folder + "\\m1.bmp").c_str()));
    ASSERT_TRUE(formats::SaveJpeg(picture, (folder + "\\m2.jpg").c_str(), 90, false));
    AddOrientation(folder + "\\m2.jpg", 6);
    WriteBytes(folder + "\\m3.gif", OneColourGif(32, 17));
    const std::vector<ListEntry> entries =
        Pictures({"p0.png", "m1.bmp", "m2.jpg", "broken.png", "m3.gif", "p5.png"}, true);
    settings.PerW = 150;
    // With layouts too: alignment, cells, justified rows (the broken file
    // takes no cell) and captions.
    const struct {
        unsigned arrangement;
        int width, perRow;
        std::uint16_t rowAlign, columnAlign, cells, justify, caption;
    } cases[] = {{job::OneRow, 0, 0, 0, 0, 0, 0, 0},      {job::OneColumn, 0, 0, 0, 0, 0, 0, 0},
                 {job::FitWidth, 120, 0, 0, 0, 0, 0, 0},  {job::FixedColumns, 0, 2, 0, 0, 0, 0, 0},
                 {job::OneRow, 0, 0, 2, 0, 0, 0, 0},      {job::OneColumn, 0, 0, 0, 1, 0, 0, 1},
                 {job::FitWidth, 120, 0, 0, 0, 1, 0, 0},  {job::FitWidth, 120, 0, 1, 0, 1, 1, 2},
                 {job::FixedColumns, 0, 2, 1, 0, 0, 0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        document.Clear();
        settings.All_File = job::AllInFolder;
        settings.All_Arrange = static_cast<std::uint16_t>(c.arrangement);
        settings.All_Width = c.width;
        settings.All_ImgNum = c.perRow;
        settings.Layout_RowAlign = c.rowAlign;
        settings.Layout_ColumnAlign = c.columnAlign;
        settings.Layout_Cells = c.cells;
        settings.Layout_Justify = c.justify;
        settings.Layout_JustifyHeight = 30;
        settings.Layout_Caption = c.caption;
        std::string shown;
        answerBatch = [&shown](HWND box) {
            shown = ItemText(box, IDC_BATCH_RESULT);
            return IDOK;
        };
        runner.RunBatch(nullptr, folder, entries);
        ASSERT_EQ(document.UndoRecords().size(), 5u);
        const std::string size =
            std::to_string(document.width) + " x " + std::to_string(document.height);
        EXPECT_EQ(shown.substr(0, shown.find(" (")), "결과: " + size);
    }
}

TEST(JobSizeEstimate, WarnsWhereJpegWebpOrACanvasEnds) {
    // Sides above 65500 cannot be saved as JPEG, above 16383 as WebP; a canvas holds at most
    // INT_MAX bytes of 3-byte pixels in rows padded to 4 bytes.
    const int tallest = INT_MAX / 3000;
    // Two pictures, none when the first width is 0, and the result line after "결과: ".
    const struct {
        unsigned arrangement;
        int width1, height1, width2, height2;
        const char* shown;
    } cases[] = {
        {job::OneRow, 35000, 300, 35000, 300, "70000 x 300 (60 MB) — JPEG, WebP로 저장할 수 없음"},
        {job::OneRow, 32750, 300, 32750, 300, "65500 x 300 (56 MB) — WebP로 저장할 수 없음"},
        {job::OneColumn, 300, 16000, 300, 383, "300 x 16383 (14 MB)"},
        {job::OneColumn, 300, 16000, 300, 384, "300 x 16384 (14 MB) — WebP로 저장할 수 없음"},
        {job::OneColumn, 1000, 400000, 1000, tallest - 400000,
         "1000 x 715827 (2048 MB) — JPEG, WebP로 저장할 수 없음"},
        {job::OneColumn, 1000, 400000, 1000, tallest - 399999, "너무 큼"},
        {job::OneRow, 0, 0, 0, 0, "없음"},
    };
    image::PasteParameters values;
    values.gapWidth = 0;
    for (const auto& c : cases) {
        job::BatchJob job;
        job.arrangement = c.arrangement;
        for (const char* name : {"1", "2"}) {
            if (c.width1 > 0) {
                job.entries.push_back({name, job::ImageFile, true});
            }
        }
        const auto read = [&c](const std::string& path, int& width, int& height) {
            width = path == "1" ? c.width1 : c.width2;
            height = path == "1" ? c.height1 : c.height2;
            return true;
        };
        EXPECT_EQ(job::JobSizeEstimate(job, values, read).Describe(),
                  std::string("결과: ") + c.shown);
    }
}

TEST_F(BatchRunnerTest, PasteSelectedByTheNumberOfSelectedPictures) {
    const std::string folder = PictureFolder();
    Start();
    const std::string before = Snapshot();
    std::vector<ListEntry> entries = Pictures({"p0.png", "broken.png", "broken.png"}, false);
    entries[1].selected = true; // a folder: never pasted
    runner.PasteSelected(nullptr, folder, entries, false);
    entries[2].selected = true;
    runner.PasteSelected(nullptr, folder, entries, true);
    EXPECT_EQ(interactive, folder + "\\p0.png below;");
    EXPECT_EQ(progressShown, 0);
    // A job whose pictures all fail.
    entries[2].selected = false;
    entries[3].selected = entries[4].selected = true;
    runner.PasteSelected(nullptr, folder, entries, false);
    EXPECT_TRUE(ended);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(BatchRunnerTest, TheWorkerPastesOnItsOwnThreadAndStopsOnlyOnRequest) {
    Start();
    HoldFirstPaste([this](HWND box, ui::Dialog& dialog) {
        EXPECT_NE(workerThread, GetCurrentThreadId());
        // The worker's name was shown by this thread's loop before the paste.
        EXPECT_EQ(ItemText(box, IDC_PROGRESS_NAME), "p0.png");
        EXPECT_EQ(PasteFile("p1.png"), browser::PasteCommand::Result::Busy);
        // Enter, Escape, space and the close keys neither end the dialog nor stop the job.
        for (const WPARAM key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
            MSG msg = {GetDlgItem(box, IDC_PROGRESS_BAR), WM_KEYDOWN, key, 0, 0, {}};
            IsDialogMessageA(box, &msg);
        }
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        // The dialog manager's own messages are not the worker's completion.
        SendMessageA(box, DM_REPOSITION, 0, 0);
        EXPECT_EQ(dialog.hwnd, box);
        Notify(box, IDC_PROGRESS_STOP, BN_CLICKED);
    });
    runner.PasteSelected(nullptr, PictureFolder(), Pictures({"p0.png", "p1.png", "p2.png"}, true),
                         true);
    // The picture being pasted when "중지" was pressed stays.
    EXPECT_TRUE(ended);
    EXPECT_EQ(document.UndoRecords().size(), 2u);
    EXPECT_EQ(bar, "1/3 p0.png");
    EXPECT_EQ(refreshes, 1);
}

TEST_F(BatchRunnerTest, TheDialogShowsAndStoresTheOptionsOnBothButtons) {
    const struct {
        std::uint16_t file, arrange; // as stored before
        int checkFile, checkArrange; // clicked, or -1
        const char* perRow;          // typed
        int command;
        std::uint16_t storedFile, storedArrange;
        int storedPerRow;
    } cases[] = {
        {0, 0, 2, 3, "0", IDOK, 2, 3, 1},
        // Out of range from the INI file: nothing checked, stored as 65535.
        {7, 9, -1, -1, "4294967295", IDCANCEL, 65535, 65535, 1000},
        {0, 0, -1, -1, "", IDCANCEL, 0, 0, 1},
        {0, 0, -1, -1, "1001", IDCANCEL, 0, 0, 1000},
        {0, 0, -1, -1, "7", IDCANCEL, 0, 0, 7},
    };
    // One of twenty pictures matches the pattern typed; the bar still counts all.
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back((i < 7 ? "p" : "q") + std::to_string(i) + ".png");
    }
    std::vector<ListEntry> entries = Pictures(names, false);
    entries[1].selected = entries[4].selected = entries[9].selected = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.perRow);
        settings.All_File = c.file;
        settings.All_Arrange = c.arrange;
        bar.clear();
        Start();
        answerBatch = [&](HWND box) {
            EXPECT_EQ(ItemText(box, IDC_BATCH_COUNTS), "선택파일 2 개 / 모든그림파일 20 개 ");
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(IsDlgButtonChecked(box, IDC_BATCH_FIRST_FILE + i), i == c.file && i < 3);
                EXPECT_EQ(IsDlgButtonChecked(box, IDC_BATCH_FIRST_ARRANGE + i), i == c.arrange);
            }
            if (c.checkFile >= 0) {
                CheckRadioButton(box, IDC_BATCH_FIRST_FILE, IDC_BATCH_MATCHING_FILES,
                                 IDC_BATCH_FIRST_FILE + c.checkFile);
                CheckRadioButton(box, IDC_BATCH_FIRST_ARRANGE, IDC_BATCH_FIXED_COLUMNS,
                                 IDC_BATCH_FIRST_ARRANGE + c.checkArrange);
            }
            SetDlgItemTextA(box, IDC_BATCH_WIDTH, "3000000000");
            SetDlgItemTextA(box, IDC_BATCH_PER_ROW, c.perRow);
            // The box keeps what is typed; leaving it shows the count a job takes.
            EXPECT_EQ(ItemText(box, IDC_BATCH_PER_ROW), c.perRow);
            Notify(box, IDC_BATCH_PER_ROW, EN_KILLFOCUS);
            EXPECT_EQ(ItemText(box, IDC_BATCH_PER_ROW), std::to_string(c.storedPerRow));
            SetDlgItemTextA(box, IDC_BATCH_PATTERN, "p3.*");
            return c.command;
        };
        runner.RunBatch(nullptr, PictureFolder(), entries);
        EXPECT_EQ(bar, c.command == IDOK ? "20/20 p3.png" : "");
        EXPECT_EQ(std::make_tuple(settings.All_File, settings.All_Arrange, settings.All_ImgNum),
                  std::make_tuple(c.storedFile, c.storedArrange, c.storedPerRow));
        EXPECT_EQ(static_cast<std::uint32_t>(settings.All_Width), 3000000000u);
        EXPECT_STREQ(settings.All_FileText.Data(), "p3.*");
        EXPECT_EQ(document.UndoRecords().size(), c.command == IDOK ? 2u : 1u);
    }
}

// The alignment words follow the arrangement; a choice that does not fit
// the others is disabled; what is chosen is stored.
TEST_F(BatchRunnerTest, LayoutChoicesFollowTheArrangementAndEachOther) {
    const int ids[] = {IDC_BATCH_JUSTIFY,     IDC_BATCH_JUSTIFY_HEIGHT, IDC_BATCH_CELLS,
                       IDC_BATCH_CELL_ACROSS, IDC_BATCH_CELL_DOWN,      IDC_BATCH_ALIGN,
                       IDC_BATCH_CAPTION_SIZE};
    const struct {
        std::uint16_t arrangement, justify, cells, caption;
        const char* enabled; // of ids
        const char* word;    // the alignment shown
    } cases[] = {
        {job::OneRow, 1, 0, 0, "0010010", "아래"},
        {job::OneColumn, 0, 1, 1, "0011101", "가운데"},
        {job::FitWidth, 1, 1, 2, "1100001", "아래"},
        {job::FitWidth, 0, 1, 0, "1011100", "아래"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        settings.All_Arrange = c.arrangement;
        settings.Layout_RowAlign = 2;
        settings.Layout_ColumnAlign = 1;
        settings.Layout_Justify = c.justify;
        settings.Layout_Cells = c.cells;
        settings.Layout_Caption = c.caption;
        answerBatch = [&](HWND box) {
            std::string enabled;
            for (const int id : ids) {
                enabled += IsWindowEnabled(GetDlgItem(box, id)) ? '1' : '0';
            }
            EXPECT_EQ(enabled, c.enabled);
            EXPECT_EQ(ItemText(box, IDC_BATCH_ALIGN), c.word);
            // The column's words once it is checked; the one chosen is kept.
            CheckRadioButton(box, IDC_BATCH_FIRST_ARRANGE, IDC_BATCH_FIXED_COLUMNS,
                             IDC_BATCH_ONE_COLUMN);
            SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_BATCH_ONE_COLUMN, BN_CLICKED), 0);
            EXPECT_EQ(ItemText(box, IDC_BATCH_ALIGN), "가운데");
            SendDlgItemMessageA(box, IDC_BATCH_ALIGN, CB_SETCURSEL, 2, 0);
            Notify(box, IDC_BATCH_ALIGN, CBN_SELCHANGE);
            return IDCANCEL;
        };
        runner.RunBatch(nullptr, PictureFolder(), Pictures({"p0.png"}, false));
        EXPECT_EQ(settings.Layout_ColumnAlign, 2);
        EXPECT_EQ(settings.Layout_RowAlign, 2);
        EXPECT_EQ(settings.Layout_Justify, c.justify);
    }
}

// Stitching is offered for a column only; its result line is an upper
// bound, and its tolerance is kept within 0 to 64.
TEST_F(BatchRunnerTest, StitchingIsAColumnsAndItsSizeAnUpperBound) {
    std::string seen;
    answerBatch = [&seen](HWND box) {
        // state: an arrangement's radio button when -1, else the box's check.
        const auto click = [box, &seen](int id, int state, UINT code = BN_CLICKED) {
            if (state < 0) {
                CheckRadioButton(box, IDC_BATCH_FIRST_ARRANGE, IDC_BATCH_FIXED_COLUMNS, id);
            } else if (code == BN_CLICKED) {
                CheckDlgButton(box, id, state);
            } else {
                SendDlgItemMessageA(box, id, CB_SETCURSEL, state, 0);
            }
            Notify(box, id, code);
            for (int control : {IDC_BATCH_STITCH, IDC_BATCH_STITCH_TOLERANCE, IDC_BATCH_CAPTION}) {
                seen += IsWindowEnabled(GetDlgItem(box, control)) ? "1" : "0";
            }
            seen += ItemText(box, IDC_BATCH_RESULT).find(" x ") == std::string::npos    ? "?"
                    : ItemText(box, IDC_BATCH_RESULT).find("최대") != std::string::npos ? "<"
                                                                                        : "=";
            seen += " ";
        };
        click(IDC_BATCH_FIRST_ARRANGE, -1);
        click(IDC_BATCH_ONE_COLUMN, -1);
        click(IDC_BATCH_STITCH, BST_CHECKED);
        SetDlgItemTextA(box, IDC_BATCH_STITCH_TOLERANCE, "99");
        Notify(box, IDC_BATCH_STITCH_TOLERANCE, EN_KILLFOCUS);
        seen += ItemText(box, IDC_BATCH_STITCH_TOLERANCE) + " ";
        click(IDC_BATCH_STITCH, BST_UNCHECKED);
        click(IDC_BATCH_CAPTION, job::CaptionNumber, CBN_SELCHANGE);
        click(IDC_BATCH_STITCH, BST_CHECKED); // disabled: the caption stays, no stitching
        return IDCANCEL;
    };
    runner.RunBatch(nullptr, PictureFolder(), Pictures({"p0.png", "p5.png"}, true));
    // Stitching and a caption exclude each other; a disabled choice is no choice.
    EXPECT_EQ(seen, "001= 101= 110< 64 101= 001= 001= ");
    EXPECT_EQ(settings.All_StitchTolerance, 64);
    EXPECT_EQ(settings.Layout_Caption, job::CaptionNumber);
}

// A picture that cannot be made, whichever thread makes it and however that
// fails, is skipped in its place and named; the job goes on to its end.
TEST_F(BatchRunnerTest, APictureThatCannotBeMadeIsSkippedAndNamed) {
    const struct {
        int threads;         // loading thread t of 2 makes pictures t, t + 2, ...;
        std::size_t failing; // with none, the job's thread makes them in Next
        bool outOfMemory;    // else another exception
    } cases[] = {{2, 0, true}, {2, 3, true}, {2, 5, true},  {2, 2, false},
                 {1, 4, true}, {0, 0, true}, {0, 5, false}, {0, 2, true}};
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) {
        names.push_back("p" + std::to_string(i) + ".png");
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.threads) + " threads, picture " + std::to_string(c.failing));
        Start();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i != c.failing) {
                PasteFile(names[i]);
            }
        }
        const std::string expected = Snapshot();
        Start();
        ended = false;
        runner.loaderHooks.threads = c.threads;
        runner.loaderHooks.beforeMake = [&c](std::size_t index) {
            if (index == c.failing && c.outOfMemory) {
                throw std::bad_alloc();
            }
            if (index == c.failing) {
                throw std::runtime_error("no picture");
            }
        };
        const size_t warnings = dialogs.MessageBoxes().size();
        runner.PasteSelected(nullptr, PictureFolder(), Pictures(names, true), false);
        EXPECT_TRUE(ended);
        EXPECT_EQ(Snapshot(), expected);
        ASSERT_EQ(dialogs.MessageBoxes().size(), warnings + 1);
        EXPECT_EQ(dialogs.MessageBoxes().back().text, "붙여넣지 못한 파일:\n" + names[c.failing]);
    }
}

// Dropped files are named without their folders, damaged ones pasted as far
// as they go; a job with nothing to tell shows nothing.
TEST_F(BatchRunnerTest, AJobNamesWhatItSkippedAndWhatWasDamagedInOneWarning) {
    const std::string folder = PictureFolder() + "\\";
    Start();
    runner.PasteFiles({folder + "p1.png", folder + "p0.png"}, false);
    EXPECT_EQ(document.UndoRecords().size(), 3u);
    EXPECT_TRUE(dialogs.MessageBoxes().empty());
    runner.PasteFiles({folder + "p2.png", folder + "cut.png", folder + "broken.png"}, false);
    EXPECT_EQ(document.UndoRecords().size(), 5u);
    ASSERT_EQ(dialogs.MessageBoxes().size(), 1u);
    EXPECT_EQ(dialogs.MessageBoxes()[0].text,
              "붙여넣지 못한 파일:\nbroken.png\n\n손상된 파일 (읽은 만큼 붙여넣음):\ncut.png");
    EXPECT_EQ(dialogs.MessageBoxes()[0].type & MB_ICONWARNING, UINT(MB_ICONWARNING));
}

TEST(JobReport, TenNamesOfEachKindThenHowManyMore) {
    const struct {
        int skipped, damaged;
        const char* text;
    } cases[] = {
        {0, 0, ""},
        {3, 0, "붙여넣지 못한 파일:\nf1.png\nf2.png\nf3.png"},
        {12, 0,
         "붙여넣지 못한 파일:\nf1.png\nf2.png\nf3.png\nf4.png\nf5.png\nf6.png\nf7.png\nf8.png\n"
         "f9.png\nf10.png\n외 2개"},
        {0, 1, "손상된 파일 (읽은 만큼 붙여넣음):\nd1.png"},
        {2, 11,
         "붙여넣지 못한 파일:\nf1.png\nf2.png\n\n손상된 파일 (읽은 만큼 붙여넣음):\nd1.png\n"
         "d2.png\nd3.png\nd4.png\nd5.png\nd6.png\nd7.png\nd8.png\nd9.png\nd10.png\n외 1개"},
    };
    for (const auto& c : cases) {
        browser::JobReport report;
        for (int i = 1; i <= c.skipped; ++i) {
            report.AddSkipped((i % 2 ? "C:\\사진\\f" : "sub/f") + std::to_string(i) + ".png");
        }
        for (int i = 1; i <= c.damaged; ++i) {
            report.AddDamaged("d" + std::to_string(i) + ".png");
        }
        EXPECT_EQ(report.Text(), c.text);
    }
}

// "중지" reaches the loader: a job waiting for a picture that takes long ends
// without waiting for it, its room released while the picture is still being
// made, and no thread of it outlives the job.
TEST_F(BatchRunnerTest, StopEndsAJobThatWaitsForAPicture) {
    document.Clear();
    std::atomic<bool> stopped{false};
    std::atomic<bool> wound{false};
    std::vector<DWORD> loadingThreads(6);
    runner.loaderHooks.threads = 2;
    runner.loaderHooks.beforeMake = [&](std::size_t index) {
        loadingThreads[index] = GetCurrentThreadId();
        if (index == 2) {
            SetEvent(entered);
            WaitForSingleObject(release, 10000);
        }
    };
    // Once stopped, the only canvas the job makes is the trimmed one.
    document.onCanvas = [&](int) { wound = stopped.load(); };
    duringJob = [&](HWND box, ui::Dialog&) {
        ASSERT_TRUE(PumpUntil([&] {
            return WaitForSingleObject(entered, 0) == 0 &&
                   ItemText(box, IDC_PROGRESS_NAME) == "p2.png";
        }));
        stopped = true;
        Notify(box, IDC_PROGRESS_STOP, BN_CLICKED);
        EXPECT_TRUE(PumpUntil([&] { return wound.load(); }));
        SetEvent(release);
    };
    runner.PasteSelected(
        nullptr, PictureFolder(),
        Pictures({"p0.png", "p1.png", "p2.png", "p3.png", "p4.png", "p5.png"}, true), false);
    EXPECT_TRUE(ended);
    EXPECT_EQ(document.UndoRecords().size(), 2u);
    EXPECT_EQ(document.picture.RoomWidth(), document.width);
    EXPECT_TRUE(dialogs.MessageBoxes().empty());
    // What a stopped job pasted goes back in one step too.
    EXPECT_TRUE(document.Undo());
    EXPECT_TRUE(document.IsEmpty());
    for (const DWORD id : {loadingThreads[0], loadingThreads[1]}) {
        const HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
        EXPECT_TRUE(thread == nullptr || WaitForSingleObject(thread, 0) == WAIT_OBJECT_0);
        if (thread != nullptr) {
            CloseHandle(thread);
        }
    }
}

// A job that ends by an exception (here a file that grew after the job read
// its size, and no canvas for it) leaves no room reserved behind. The job
// keeps no file open from its size to its load here: a kept file cannot be
// replaced meanwhile.
TEST_F(BatchRunnerTest, AJobEndedByAnExceptionReleasesItsRoom) {
    const std::string folder = PictureFolder() + "\\room";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"p0.png", "p1.png", "p2.png", "p3.png"}) {
        CopyFileA((PictureFolder() + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
    }
    document.Clear();
    runner.loaderHooks.threads = 2;
    runner.loaderHooks.keptFiles = 0;
    runner.loaderHooks.beforeMake = [&folder](std::size_t index) {
        if (index == 2) {
            CopyFileA((PictureFolder() + "\\tall.png").c_str(), (folder + "\\p2.png").c_str(),
                      FALSE);
        }
    };
    document.onCanvas = [](int height) {
        if (height >= 200) {
            throw std::runtime_error("no canvas");
        }
    };
    runner.PasteSelected(nullptr, folder, Pictures({"p0.png", "p1.png", "p2.png", "p3.png"}, true),
                         false);
    EXPECT_TRUE(ended);
    ASSERT_EQ(document.UndoRecords().size(), 2u);
    EXPECT_EQ(document.picture.RoomWidth(), document.width);
    EXPECT_EQ(document.picture.RoomHeight(), document.height);
}

// "실행" for the selected files with none selected says so and leaves the
// dialog open; no job starts.
TEST_F(BatchRunnerTest, TheDialogRefusesToRunOnNoSelectedFiles) {
    Start();
    const std::string before = Snapshot();
    dialogs.AnswerMessageBox(IDOK);
    answerBatch = [this](HWND box) {
        CheckRadioButton(box, IDC_BATCH_FIRST_FILE, IDC_BATCH_MATCHING_FILES, IDC_BATCH_FIRST_FILE);
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(batchDialog->hwnd, box);
        return IDCANCEL;
    };
    runner.RunBatch(nullptr, PictureFolder(), Pictures({"p0.png", "p1.png"}, false));
    ASSERT_EQ(dialogs.MessageBoxes().size(), 1u);
    EXPECT_EQ(dialogs.MessageBoxes()[0].text, "선택된 파일이 없습니다");
    EXPECT_EQ(dialogs.Unanswered(), 0);
    EXPECT_EQ(progressShown, 0);
    EXPECT_EQ(Snapshot(), before);
}

// a.png, b.jpg (turned by its orientation), c.bmp, d.gif, e.webp, and
// broken.png, which is no picture.
std::string MixedFolder() {
    static const std::string folder = [] {
        const std::string path = PictureFolder() + "\\mixed";
        CreateDirectoryA(path.c_str(), nullptr);
        image::Image picture;
        picture.Create(23, 14, 24);
        testpictures::FillNoise(picture, 5);
        formats::SavePng(picture, (path + "\\a.png").c_str());
        formats::SaveJpeg(picture, (path + "\\b.jpg").c_str(), 90, false);
        AddOrientation(path + "\\b.jpg", 6);
        picture.Create(31, 9, 24);
        picture.FillAll(0x8899AAu);
        formats::SaveBmp(picture, (path + "\\c.bmp").c_str());
        formats::SaveWebp(picture, (path + "\\e.webp").c_str(), 90, true);
        WriteBytes(path + "\\d.gif", OneColourGif(12, 8));
        std::ofstream(path + "\\broken.png") << "not a picture";
        return path;
    }();
    return folder;
}

// The same names, each picture as loaded by its path, saved as PNG.
std::string DecodedFolder() {
    static const std::string folder = [] {
        const std::string path = PictureFolder() + "\\decoded";
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* name : {"a.png", "b.jpg", "c.bmp", "d.gif", "e.webp"}) {
            image::Image picture;
            formats::LoadImageFile(picture, (MixedFolder() + "\\" + name).c_str());
            formats::SavePng(picture, (path + "\\" + name).c_str());
        }
        CopyFileA((MixedFolder() + "\\broken.png").c_str(), (path + "\\broken.png").c_str(), FALSE);
        return path;
    }();
    return folder;
}

const std::vector<std::string> kMixed = {"a.png", "b.jpg",       "c.bmp",  "broken.png",
                                         "d.gif", "missing.png", "e.webp", "a.png"};

struct CountedRun {
    HeldDocument document;
    job::JobOutcome outcome;
    std::map<std::string, int> opens; // by file name
    int canvases = 0;                 // made by the job
};

// Runs the job on kMixed, after a first picture when append. The job's
// folder does not exist: a file opens only through the hooks, from the
// folder read, and is counted.
void RunCounted(job::BatchJob job, bool append, const std::string& read,
                job::PictureLoader::Hooks hooks, CountedRun& run) {
    job.folder = PictureFolder() + "\\absent";
    job.files = job::AllInFolder;
    for (const std::string& name : kMixed) {
        job.entries.push_back({name, job::ImageFile, false});
    }
    std::mutex mutex;
    hooks.open = [&](const std::string& path, file::FileHandle& file) {
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++run.opens[name];
        }
        return file.OpenRead((read + "\\" + name).c_str());
    };
    const image::PasteParameters values;
    if (append) {
        image::Image first;
        first.Create(9, 7, 24);
        first.FillAll(0x405060u);
        ASSERT_TRUE(run.document.PasteImage(first, false, 0, values));
    }
    run.document.onCanvas = [&run](int) { ++run.canvases; };
    job::BatchPlan plan(job);
    job::JobObserver observer;
    job::JobStop stop;
    run.outcome = job::RunJob(plan, values, run.document, observer, stop, hooks);
}

// Each file is opened once each time the job takes it, and read from that
// one handle, in every kind of job; the header pass's reads too, as the
// canvas made once at the size they give shows on an empty document. The
// result is the job's over the same pictures decoded by path. Beyond the handles a job may keep at
// once (with no loading thread, all loads follow the header pass) the pass closes a file and its
// loader opens it again; one the pass could not open is not tried again.
TEST(JobFiles, EachFileIsOpenedOncePerAppearance) {
    const struct {
        unsigned arrangement;
        int perRow;
        bool cells, stitch, append;
        std::size_t kept;
    } cases[] = {
        {job::OneRow, 0, false, false, false, job::JobFiles::kMostKept},
        {job::FixedColumns, 3, false, false, false, job::JobFiles::kMostKept},
        {job::FixedColumns, 3, true, false, false, job::JobFiles::kMostKept},
        {job::OneColumn, 0, false, true, false, job::JobFiles::kMostKept},
        {job::OneRow, 0, false, false, true, job::JobFiles::kMostKept},
        {job::OneRow, 0, false, false, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        job::BatchJob job;
        job.arrangement = c.arrangement;
        job.perRow = c.perRow;
        job.layout.cells = c.cells;
        job.stitch = c.stitch;
        job::PictureLoader::Hooks hooks;
        hooks.keptFiles = c.kept;
        hooks.threads = c.kept < kMixed.size() ? 0 : -1;
        CountedRun run;
        RunCounted(job, c.append, MixedFolder(), hooks, run);
        std::map<std::string, int> expected;
        std::size_t kept = 0;
        for (const std::string& name : kMixed) {
            const bool opens = name != "missing.png";
            expected[name] += opens && kept++ >= c.kept ? 2 : 1;
        }
        EXPECT_EQ(run.opens, expected);
        EXPECT_EQ(run.outcome.pasted, 6);
        EXPECT_EQ(run.outcome.skipped, 2);
        EXPECT_TRUE(c.append || run.canvases == 1) << run.canvases;
        job::PictureLoader::Hooks alone;
        alone.keptFiles = 0;
        CountedRun reference;
        RunCounted(job, c.append, DecodedFolder(), alone, reference);
        EXPECT_TRUE(testpictures::SamePixels(run.document.picture, reference.document.picture));
    }
}

} // namespace
// The window is refreshed after a layout job as after any other.
TEST_F(BatchRunnerTest, ALayoutJobRefreshesTheView) {
    settings.All_File = job::AllInFolder;
    settings.Layout_Caption = job::CaptionName;
    answerBatch = [](HWND) { return IDOK; };
    runner.RunBatch(nullptr, PictureFolder(), Pictures({"p0.png", "p5.png"}, false));
    EXPECT_EQ(document.UndoRecords().size(), 2u);
    EXPECT_EQ(refreshes, 1);
}
