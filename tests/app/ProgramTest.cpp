#include "app/Program.h"
#include "app/ResourceIds.h"
#include "settings/SettingsIds.h"
#include "support/ScriptedDialogs.h"
#include "support/DropBlock.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "support/TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

using testpictures::SaveFilled;
using testsupport::ReadAll;

namespace {

// One run of the program over its own document and settings, ended by the
// main window's close box the way a user ends it.
struct ProgramRun {
    explicit ProgramRun(const std::string& ini) { started = program.StartUp(ini.c_str()); }
    ~ProgramRun() {
        if (program.mainWindow.IsBoundWindow()) {
            // A user who pasted something answers Yes to the question on
            // closing; nothing else may ask.
            ui::ScriptedDialogs closing;
            closing.AnswerMessageBox(IDYES);
            program.mainWindow.Send(WM_CLOSE, 0, 0);
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND Gap() const { return GetDlgItem(program.settingsWindow.PageWindow(0), IDC_GAP_SIZE); }

    image::JoinDocument document;
    settings::AppSettings settings;
    app::Program program{document, settings};
    bool started = false;
};

// Starts the program copied to exe; arguments are names relative to the
// copy's current folder, the run folder.
bool StartCopy(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& process,
               const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process) != FALSE;
}

// The main windows of the program that exist now.
std::vector<HWND> MainWindows() {
    std::vector<HWND> windows;
    for (HWND w = FindWindowA("Quiltora", nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, "Quiltora", nullptr)) {
        windows.push_back(w);
    }
    return windows;
}

// The main window of a started copy, once it exists.
HWND MainWindowOf(const PROCESS_INFORMATION& process) {
    for (int i = 0; i < 600; ++i) {
        for (HWND w : MainWindows()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == process.dwProcessId) {
                return w;
            }
        }
        Sleep(50);
    }
    return HWND{};
}

// Each test's files, in a folder removed with them at the end.
class Program : public ::testing::Test {
protected:
    testsupport::ScratchFolder folder;
};

} // namespace

TEST_F(Program, DroppedFilesArePastedInNameOrderBelowWithShift) {
    const std::string ini = folder.Join("Quiltora.ini");
    std::ofstream(ini, std::ios::binary) << "[Quiltora]\r\nPadSize=0\r\n";
    // a.png 10 x 4, b.png 20 x 6 and c.png 30 x 8, each of one colour,
    // named in the order c, a, b.
    const image::PixelValue colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    std::vector<std::string> dropped;
    for (int i : {2, 0, 1}) {
        dropped.push_back(folder.Join(std::string(1, static_cast<char>('a' + i)) + ".png"));
        ASSERT_TRUE(SaveFilled(dropped.back(), 10 * (i + 1), 4 + 2 * i, colours[i]));
    }
    const struct {
        const char* how;
        bool shift, handedOver;
        int width, height;
        POINT where[3]; // a point of a, b and c, after the a pasted before
    } cases[] = {{"dropped", false, false, 70, 8, {{10, 0}, {20, 0}, {40, 0}}},
                 {"dropped with Shift", true, false, 30, 22, {{0, 4}, {0, 8}, {0, 14}}},
                 {"handed over", false, true, 70, 8, {{10, 0}, {20, 0}, {40, 0}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        ProgramRun run(ini);
        ASSERT_TRUE(run.started);
        // A single paste before: the job's Undo goes back to it, in one step.
        ASSERT_TRUE(run.program.mainWindow.PastePicture(dropped[1].c_str(), false, false, true, 0));
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = c.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        // The job runs behind its progress dialog within the message.
        if (c.handedOver) {
            run.program.mainWindow.HandOverFiles(dropped);
            testsupport::PumpMessages();
        } else {
            run.program.mainWindow.canvas.Send(
                WM_DROPFILES, reinterpret_cast<WPARAM>(ui::MakeDropBlock(dropped)), 0);
        }
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        ASSERT_EQ(run.document.UndoRecords().size(), 4u);
        EXPECT_EQ(run.document.width, c.width);
        EXPECT_EQ(run.document.height, c.height);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(run.document.picture.ReadPixel(c.where[i].x, c.where[i].y), colours[i]) << i;
        }
        run.program.mainWindow.Send(WM_COMMAND, IDM_UNDO, 0);
        EXPECT_EQ(run.document.UndoRecords().size(), 1u);
        EXPECT_EQ(std::make_pair(run.document.width, run.document.height), std::make_pair(10, 4));
    }
}

TEST_F(Program, WhatArrivesDuringAJobIsPastedAfterItInOrder) {
    const std::string ini = folder.Join("Quiltora.ini");
    std::ofstream(ini, std::ios::binary) << "[Quiltora]\r\nPadSize=0\r\nAll_Width=0\r\n";
    // The job's three pictures, then a file handed over and a dropped file:
    // one colour and width each.
    const std::tuple<const char*, int, image::PixelValue> files[] = {{"j1.png", 10, 0xFF0000},
                                                                     {"j2.png", 20, 0x00FF00},
                                                                     {"j3.png", 30, 0x0000FF},
                                                                     {"h.png", 5, 0xFFFF00},
                                                                     {"d.png", 7, 0x00FFFF}};
    std::vector<std::string> paths;
    for (const auto& [name, width, colour] : files) {
        paths.push_back(folder.Join(name));
        ASSERT_TRUE(SaveFilled(paths.back(), width, 4, colour));
    }
    ProgramRun run(ini);
    ASSERT_TRUE(run.started);
    run.program.mainWindow.SetClipboardWatch(true);
    // A 3 x 4 picture copied by another program, from a thread of its own
    // just before the job begins: the watch hears of it inside the job.
    std::thread([] {
        image::Image copied;
        ASSERT_TRUE(testpictures::MakeImage(copied, 3, 4, [](int, int) { return 0xFF00FFu; }));
        ASSERT_TRUE(image::Image::PutOnClipboard(nullptr, copied.ScreenCopy()));
    }).join();
    // Both are posted now and reach the windows within the job's dialog.
    run.program.mainWindow.HandOverFiles({paths[3]});
    PostMessageA(run.program.mainWindow.canvas.hwnd, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(ui::MakeDropBlock({paths[4]})), 0);
    run.program.batchRunner.PasteFiles({paths[0], paths[1], paths[2]}, false);
    // The clipboard's notice may come a little later; it too waited.
    for (int i = 0; i < 100 && run.document.UndoRecords().size() < 6; ++i) {
        testsupport::PumpMessages();
        Sleep(20);
    }
    run.program.mainWindow.SetClipboardWatch(false);
    ASSERT_EQ(run.document.UndoRecords().size(), 6u);
    ASSERT_EQ(run.document.width, 75);
    // The job's pictures first; then the three that waited, the file handed
    // over before the one dropped after it (the clipboard's notice has no
    // set place among them).
    std::vector<image::PixelValue> cells;
    for (int x = 0; x < run.document.width; ++x) {
        const image::PixelValue colour = run.document.picture.ReadPixel(x, 3);
        if (cells.empty() || cells.back() != colour) {
            cells.push_back(colour);
        }
    }
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(std::vector<image::PixelValue>(cells.begin(), cells.begin() + 3),
              (std::vector<image::PixelValue>{0xFF0000, 0x00FF00, 0x0000FF}));
    cells.erase(std::remove(cells.begin(), cells.end(), 0xFF00FF), cells.end());
    EXPECT_EQ(std::vector<image::PixelValue>(cells.begin() + 3, cells.end()),
              (std::vector<image::PixelValue>{0xFFFF00, 0x00FFFF}));
}

TEST_F(Program, SettingsChangedInTheWindowApplyAndSurviveARestart) {
    const std::string ini = folder.Join("Quiltora.ini");
    const std::string picture = folder.Join("blue.png");
    std::ofstream(ini, std::ios::binary) << "[Quiltora]\r\nPadSize=50\r\nJPEGQuality=0\r\n";
    ASSERT_TRUE(SaveFilled(picture, 10, 6, 0x0000FF));
    ui::ScriptedDialogs dialogs;
    {
        ProgramRun run(ini);
        ASSERT_TRUE(run.started);
        EXPECT_NE(IsWindowVisible(run.program.settingsWindow.hwnd), FALSE);
        // An owned tool window stays above its owner, however that is raised.
        const HWND main = run.program.mainWindow.hwnd;
        EXPECT_EQ(GetWindow(run.program.settingsWindow.hwnd, GW_OWNER), main);
        SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        EXPECT_TRUE(testsupport::IsAbove(run.program.settingsWindow.hwnd, main));

        // A gap of 8 in red, typed and chosen as a user would.
        SetWindowTextA(run.Gap(), "8");
        dialogs.AnswerColour(RGB(255, 0, 0));
        SendMessageA(run.program.settingsWindow.PageWindow(0), WM_COMMAND,
                     MAKEWPARAM(IDC_GAP_COLOUR, BN_CLICKED), 0);
        ASSERT_TRUE(run.program.mainWindow.PastePicture(picture.c_str(), false, false, true, 0));
        ASSERT_TRUE(run.program.mainWindow.PastePicture(picture.c_str(), false, false, true, 0));
        const image::Image& joined = run.document.picture;
        ASSERT_EQ(joined.Width, 28);
        for (int x = 0; x < 28; ++x) {
            EXPECT_EQ(joined.ReadPixel(x, 3), x >= 10 && x < 18 ? 0xFF0000u : 0x0000FFu) << x;
        }
        // Quitting with the joined picture unsaved is confirmed.
    }
    // Closing wrote the file, with the quality the window mended (the
    // window's own test shows the mending); the next start shows what the
    // user left.
    const std::string saved = ReadAll(ini);
    EXPECT_NE(saved.find("\r\nPadSize=8\r\nPadCol=255\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nJPEGQuality=1\r\n"), std::string::npos);
    {
        ProgramRun again(ini);
        ASSERT_TRUE(again.started);
        EXPECT_EQ(again.settings.PadSize, 8);
        EXPECT_EQ(again.settings.PadCol, 255);
        EXPECT_EQ(testsupport::WindowText(again.Gap()), "8");
    }
}

TEST_F(Program, WindowsOpenWhereTheyWereLeft) {
    const std::string ini = folder.Join("Quiltora.ini");
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const struct {
        const char* file;
        RECT main;  // expected restored rectangle; empty: 500 x 400 centred
        POINT tool; // expected settings window corner; x -1: the default
        bool zoomed;
        RECT list; // expected file list rectangle; left 0: the default
    } cases[] = {
        {"", {}, {-1, 0}, false, {}},
        {"WinLeft=100\r\nWinTop=50\r\nWinRight=700\r\nWinBottom=500\r\nOptX=120\r\nOptY=300"
         "\r\nListLeft=710\r\nListTop=60\r\nListRight=990\r\nListBottom=460",
         {100, 50, 700, 500},
         {120, 300},
         false,
         {710, 60, 990, 460}},
        {"WinLeft=100\r\nWinTop=50\r\nWinRight=700\r\nWinBottom=500\r\nShowCmd=3",
         {100, 50, 700, 500},
         {-1, 0},
         true,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ofstream(ini, std::ios::binary) << "[Quiltora]\r\n" << c.file << "\r\n";
        ProgramRun run(ini);
        ASSERT_TRUE(run.started);
        WINDOWPLACEMENT placement = {};
        run.program.mainWindow.GetPlacement(&placement);
        RECT main = placement.rcNormalPosition;
        if (IsRectEmpty(&c.main)) {
            EXPECT_EQ(main.right - main.left, 500);
            EXPECT_EQ(main.bottom - main.top, 400);
            EXPECT_LE(std::abs((main.left + main.right) - (work.left + work.right)), 1);
            EXPECT_LE(std::abs((main.top + main.bottom) - (work.top + work.bottom)), 1);
        } else {
            EXPECT_TRUE(EqualRect(&main, &c.main));
        }
        EXPECT_EQ(IsZoomed(run.program.mainWindow.hwnd) != FALSE, c.zoomed);
        RECT tool = {};
        GetWindowRect(run.program.settingsWindow.hwnd, &tool);
        const POINT expected = c.tool.x == -1 ? POINT{main.left, main.bottom - 160} : c.tool;
        EXPECT_EQ(std::make_pair(tool.left, tool.top), std::make_pair(expected.x, expected.y));
        RECT list = {};
        run.program.fileListWindow.GetNormalRect(&list);
        const RECT defaultList = {main.right - 260, main.top + 50, main.right, main.top + 350};
        EXPECT_TRUE(EqualRect(&list, c.list.left == 0 ? &defaultList : &c.list));
    }
    // Places on a monitor that is gone come back onto the screen.
    std::ofstream(ini, std::ios::binary)
        << "[Quiltora]\r\nWinLeft=-3000\r\nWinTop=-3000\r\nWinRight=-2500\r\nWinBottom=-2600\r\n"
           "ListLeft=-4000\r\nListTop=0\r\nListRight=-3700\r\nListBottom=300\r\nOptX=9000\r\n"
           "OptY=9000\r\n";
    ProgramRun lost(ini);
    for (const ui::Window* w : std::initializer_list<const ui::Window*>{
             &lost.program.mainWindow, &lost.program.fileListWindow,
             &lost.program.settingsWindow}) {
        RECT place = {}, both = {};
        GetWindowRect(w->hwnd, &place);
        EXPECT_TRUE(IntersectRect(&both, &place, &work)) << place.left << "," << place.top;
    }
}

// Explorer's "Open" on five files starts five copies at once: four hand
// their file over and leave, one stays, holding all five.
TEST_F(Program, CopiesHandTheirFilesToOneWindowAndOnlyAnOrdinaryCloseWritesTheSettings) {
    // The real program, copied beside a settings file of its own.
    const std::string exe = folder.Join("Quiltora.exe");
    const std::string ini = folder.Join("Quiltora.ini");
    ASSERT_TRUE(CopyFileA(QUILTORA_EXE, exe.c_str(), FALSE));
    const std::string original = "[Quiltora]\r\nPadSize=5\r\n";
    std::ofstream(ini, std::ios::binary) << original;
    PROCESS_INFORMATION copies[6] = {};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(SaveFilled(folder.Join(std::to_string(i) + ".png"), i + 1, 3, 0));
    }
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(StartCopy(exe, folder.path, copies[i], std::to_string(i) + ".png"));
    }
    // Widths 1 to 5 with four gaps of 5 between.
    HWND first = nullptr;
    for (int i = 0; i < 1500 && testsupport::WindowText(first) != "Quiltora - ( 35 x 3 )"; ++i) {
        Sleep(20);
        const std::vector<HWND> windows = MainWindows();
        first = windows.empty() ? nullptr : windows.front();
    }
    EXPECT_EQ(testsupport::WindowText(first), "Quiltora - ( 35 x 3 )");
    EXPECT_EQ(MainWindows().size(), 1u);
    DWORD firstProcess = 0;
    GetWindowThreadProcessId(first, &firstProcess);
    int handedOver = 0;
    for (int i = 0; i < 5; ++i) {
        DWORD code = 99;
        if (copies[i].dwProcessId == firstProcess) {
            // Ended any other way than by its close, the program leaves the file.
            TerminateProcess(copies[i].hProcess, 1);
        }
        WaitForSingleObject(copies[i].hProcess, 30000);
        GetExitCodeProcess(copies[i].hProcess, &code);
        handedOver += copies[i].dwProcessId != firstProcess && code == 0 ? 1 : 0;
    }
    EXPECT_EQ(handedOver, 4);
    EXPECT_EQ(ReadAll(ini), original);

    ASSERT_TRUE(StartCopy(exe, folder.path, copies[5], ""));
    const HWND window = MainWindowOf(copies[5]);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(copies[5].hProcess, 60000), WAIT_OBJECT_0);
    const std::string saved = ReadAll(ini);
    EXPECT_NE(saved.find("\r\nPadSize=5\r\n"), std::string::npos);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 47);
    for (PROCESS_INFORMATION& copy : copies) {
        CloseHandle(copy.hThread);
        CloseHandle(copy.hProcess);
    }
}
