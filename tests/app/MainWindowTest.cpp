#include "app/AboutDialog.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ResourceIds.h"
#include "formats/ClipboardPicture.h"
#include "formats/PngReader.h"
#include "formats/PngWriter.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/TestClipboard.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "support/TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

using testpictures::MakeImage;

namespace {

// Where this test writes pictures for the independent check after it, or the
// temporary folder when run alone.
std::string DataFolder() {
    const char* folder = std::getenv("QUILTORA_APP_DATA");
    if (folder != nullptr && *folder != 0) {
        CreateDirectoryA(folder, nullptr);
        return folder;
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

image::PixelValue Colour(int x, int y, int seed) {
    return static_cast<image::PixelValue>(((x * 5 + seed) & 0xFF) << 16 |
                                          ((y * 7 + seed) & 0xFF) << 8 | ((x ^ y) & 0xFF));
}

// Writes a picture file the loader reads: a PNG made by the program's own
// writer (its pixels are checked independently by the formats tests).
std::string WritePicture(const std::string& name, int width, int height, int seed) {
    image::Image picture;
    MakeImage(picture, width, height, [seed](int x, int y) { return Colour(x, y, seed); });
    const std::string path = DataFolder() + "\\" + name;
    formats::SavePng(picture, path.c_str());
    return path;
}

// Puts a width x height PNG, and nothing else, on the clipboard, as browsers
// may: the pixels of Colour, their opacity falling from 255 on the left.
void OfferPngOnly(int width, int height, int seed) {
    formats::PngImageInfo info;
    info.Width = static_cast<std::uint32_t>(width);
    info.Height = static_cast<std::uint32_t>(height);
    info.BitsPerPixel = 32;
    info.RowBytes = formats::PngRowBytes(info.Width, 32);
    std::uint8_t* row = info.Pixels.Allocate(formats::PngPixelsSize(info), true);
    ASSERT_NE(row, nullptr);
    for (int y = 0; y < height; ++y, row += info.RowBytes) {
        for (int x = 0; x < width; ++x) {
            const image::PixelValue value = Colour(x, y, seed);
            const std::uint8_t rgba[4] = {std::uint8_t(value >> 16), std::uint8_t(value >> 8),
                                          std::uint8_t(value), std::uint8_t(255 - x * 7)};
            std::memcpy(row + 1 + x * 4, rgba, 4);
        }
    }
    const std::string path = DataFolder() + "\\offered.png";
    ASSERT_TRUE(formats::PngWriter().Write(path.c_str(), info, 6));
    const std::string bytes = testsupport::ReadAll(path);
    EXPECT_TRUE(testsupport::Offer({{formats::ClipboardPicture::PngFormat(),
                                     testsupport::Block(bytes.data(), bytes.size())}}));
}

// Top-down RGB bytes of a picture, as Pillow's tobytes() gives them.
void WriteRgbDump(const image::Image& picture, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            const image::PixelValue value = picture.ReadPixel(x, y);
            const char rgb[3] = {static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                                 static_cast<char>(value)};
            out.write(rgb, 3);
        }
    }
}

// A real main window over a local document and settings, with the seam
// answering every question.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.PadSize = 0; // pictures at 100 %, side by side
        ASSERT_TRUE(window.CreateWindows());
        window.SetSize(500, 400);
    }
    void TearDown() override {
        if (window.hwnd != nullptr && IsWindow(window.hwnd)) {
            DestroyWindow(window.hwnd);
        }
        // OnDestroy posts WM_QUIT for the program's loop; drop it here.
        testsupport::PumpMessages();
        EXPECT_EQ(dialogs.Unanswered(), 0);
    }
    LRESULT Command(UINT id) { return window.Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void Paste(int width, int height, bool below = false, int seed = 0) {
        const std::string path = WritePicture("paste.png", width, height, seed);
        ASSERT_TRUE(window.PastePicture(path.c_str(), false, below, true, 0));
    }
    std::vector<std::string> Warnings() const {
        std::vector<std::string> texts;
        for (const auto& call : dialogs.MessageBoxes()) {
            if ((call.type & MB_ICONWARNING) != 0) {
                texts.push_back(call.text);
            }
        }
        return texts;
    }

    ui::ScriptedDialogs dialogs;
    settings::AppSettings settings;
    image::JoinDocument document;
    app::MainWindow window{document, settings};
};

// The system's own message boxes, each closed by a helper thread the way a
// user would (No, or OK), and a save dialog naming a file that cannot be made.
class RealBoxes : public ui::SystemDialogs {
public:
    RealBoxes() : previous(Install(this)) {}
    ~RealBoxes() override { Install(previous); }

    int ShowMessageBox(const char* text, const char* caption, UINT type) override {
        const WPARAM button = (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        std::thread closer([button] {
            for (int i = 0; i < 400; ++i) {
                Sleep(25);
                HWND box = FindWindowA("#32770", nullptr);
                DWORD process = 0;
                GetWindowThreadProcessId(box, &process);
                if (box != nullptr && process == GetCurrentProcessId()) {
                    PostMessageA(box, WM_COMMAND, button, 0);
                    return;
                }
            }
        });
        const int pressed = SystemDialogs::ShowMessageBox(text, caption, type);
        closer.join();
        return pressed;
    }
    BOOL ShowSaveFileDialog(OPENFILENAMEA* dialog) override {
        lstrcpynA(dialog->lpstrFile, "Z:\\no such folder\\saved.png", dialog->nMaxFile);
        return TRUE;
    }

private:
    SystemDialogs* previous;
};

} // namespace

TEST_F(MainWindowTest, KeyboardWorksAfterEveryMessageBox) {
    const HACCEL accelerators =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    window.Show(SW_SHOW);
    SetForegroundWindow(window.hwnd);
    SetFocus(window.canvas.hwnd);
    RealBoxes boxes;
    ASSERT_TRUE(testsupport::Offer({}));
    // The New question answered No, the clipboard warning, the save warning.
    for (UINT command : {IDM_NEW, IDM_CLIP_RIGHT, IDM_SAVE_PNG}) {
        SCOPED_TRACE(command);
        Paste(20, 10);
        Paste(20, 10);
        Command(command);
        ASSERT_EQ(document.UndoRecords().size(), 2u);
        // Ctrl+Z typed on the keyboard reaches Undo through the program's loop.
        INPUT keys[4] = {};
        const WORD order[4][2] = {{VK_CONTROL, 0}, {'Z', 0}, {'Z', 1}, {VK_CONTROL, 1}};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = order[i][0];
            keys[i].ki.dwFlags = order[i][1] != 0 ? KEYEVENTF_KEYUP : 0;
        }
        ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
        for (int i = 0; i < 40 && document.UndoRecords().size() == 2; ++i) {
            Sleep(10);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                app::Application::ProcessMessage(window.hwnd, accelerators, msg);
            }
        }
        EXPECT_EQ(document.UndoRecords().size(), 1u);
        EXPECT_EQ(GetFocus(), window.canvas.hwnd);
        document.Clear();
    }
}

TEST_F(MainWindowTest, APasteScrollsTheNewPictureIntoView) {
    settings.Scale = 2; // zoomed pixels are half the canvas pixels
    // Shown: the cell's start, and its end unless the view is too small.
    const auto shown = [this](int bar, int start, int end) {
        SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(window.canvas.hwnd, bar, &info);
        return info.nPos <= start / 2 &&
               (end / 2 <= info.nPos + static_cast<int>(info.nPage) || info.nPos == start / 2);
    };
    for (const auto& [width, height, below] : {std::make_tuple(300, 200, false),
                                               {300, 200, false},
                                               {100, 900, true},
                                               {700, 30, false}}) {
        Paste(width, height, below);
        const image::CellRect cell = document.lastCell;
        EXPECT_TRUE(shown(SB_HORZ, cell.x, cell.x + cell.width)) << width;
        EXPECT_TRUE(shown(SB_VERT, cell.y, cell.y + cell.height)) << width;
    }
}

TEST_F(MainWindowTest, PasteFromTheOpenDialogAndItsWarnings) {
    const std::string path = WritePicture("dialog.png", 20, 10, 3);
    dialogs.AnswerFile(path.c_str());
    Command(IDM_PASTE_BELOW);
    EXPECT_EQ(testsupport::WindowText(window.hwnd), "Quiltora - ( 20 x 10 )");
    EXPECT_EQ(document.picture.ReadPixel(19, 9), Colour(19, 9, 3));

    // Cancel: nothing changes, nothing is said.
    dialogs.AnswerFile(nullptr);
    Command(IDM_PASTE_RIGHT);
    EXPECT_TRUE(Warnings().empty());
    EXPECT_EQ(document.width, 20);

    // A file that is no picture is reported with its name, whether chosen in
    // the dialog or named (a double click in the file list, a drop); a paste
    // nobody watches says nothing.
    const std::string junk = DataFolder() + "\\junk.png";
    std::ofstream(junk) << "not a picture";
    dialogs.AnswerFile(junk.c_str());
    dialogs.AnswerMessageBox(IDOK);
    Command(IDM_PASTE_RIGHT);
    dialogs.AnswerMessageBox(IDOK);
    EXPECT_FALSE(window.PastePicture(junk.c_str(), false, false, true, 0));
    EXPECT_FALSE(window.PastePicture(junk.c_str(), false, false, false, 0));
    EXPECT_EQ(Warnings(), std::vector<std::string>(2, "画像の読み込みに失敗\njunk.png"));
    EXPECT_EQ(document.width, 20);

    // A PNG cut short is pasted as far as it goes, and named as damaged.
    const std::string bytes = testsupport::ReadAll(WritePicture("whole.png", 300, 200, 5));
    const std::string cut = DataFolder() + "\\cut.png";
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() * 3 / 4);
    dialogs.AnswerMessageBox(IDOK);
    EXPECT_TRUE(window.PastePicture(cut.c_str(), false, false, true, 0));
    EXPECT_EQ(Warnings().back(), "손상된 파일 (읽은 만큼 붙여넣음):\ncut.png");
    EXPECT_EQ(document.width, 320);
}

// New and closing ask only while the picture holds what no save kept: the
// steps (0: a paste), then the answer to the question (0: none expected).
// Undo changes a saved picture again; a copy does not save it, as another
// program's copy replaces it on the clipboard.
TEST_F(MainWindowTest, NewAndClosingAskOnlyWhileThePictureIsUnsaved) {
    const std::string path = WritePicture("close.png", 12, 8, 4);
    const std::string saved = DataFolder() + "\\close.bmp";
    const std::pair<std::vector<UINT>, int> cases[] = {{{}, 0},
                                                       {{0, 0}, IDNO},
                                                       {{0, 0}, IDYES},
                                                       {{0, IDM_UNDO}, 0},
                                                       {{0, 0, IDM_SAVE_BMP}, 0},
                                                       {{0, 0, IDM_COPY}, IDNO},
                                                       {{0, 0, IDM_SAVE_BMP, IDM_COPY}, 0},
                                                       {{0, 0, IDM_SAVE_BMP, IDM_UNDO}, IDYES},
                                                       {{0, IDM_SAVE_BMP, 0}, IDNO}};
    for (const auto& [steps, answer] : cases) {
        for (const UINT last : {IDM_NEW, IDM_EXIT}) {
            SCOPED_TRACE(testing::PrintToString(steps) + " " + std::to_string(answer) + " " +
                         std::to_string(last));
            image::JoinDocument doc;
            app::MainWindow main{doc, settings};
            ASSERT_TRUE(main.CreateWindows());
            int closeActions = 0;
            main.SetCloseAction([&closeActions] { ++closeActions; });
            for (UINT step : steps) {
                if (step == 0) {
                    ASSERT_TRUE(main.PastePicture(path.c_str(), false, doc.width > 0, true, 0));
                    continue;
                }
                if (step == IDM_SAVE_BMP) {
                    dialogs.AnswerFile(saved.c_str());
                }
                main.Send(WM_COMMAND, step, 0);
                if (step == IDM_COPY) {
                    ASSERT_TRUE(testsupport::Offer({})); // another program copies
                }
            }
            const std::size_t asked = dialogs.MessageBoxes().size();
            const std::size_t undoSteps = doc.UndoRecords().size();
            if (answer != 0) {
                dialogs.AnswerMessageBox(answer);
            }
            main.Send(WM_COMMAND, last, 0);
            ASSERT_EQ(dialogs.MessageBoxes().size(), asked + (answer != 0 ? 1 : 0));
            EXPECT_TRUE(answer == 0 || (dialogs.MessageBoxes().back().type & MB_YESNO) == MB_YESNO);
            if (last == IDM_NEW) {
                EXPECT_EQ(doc.IsEmpty(), answer != IDNO);
                EXPECT_EQ(doc.UndoRecords().size(), answer == IDNO ? undoSteps : 0u);
            } else {
                EXPECT_EQ(main.IsBoundWindow(), answer == IDNO);
                EXPECT_EQ(closeActions, answer == IDNO ? 0 : 1); // the settings are written
            }
            DestroyWindow(main.hwnd);
        }
    }
    // Windows shutting down is never held up by a question, and the session's
    // end keeps the settings and places as a close does.
    const std::size_t asked = dialogs.MessageBoxes().size();
    int closeActions = 0;
    window.SetCloseAction([&closeActions] { ++closeActions; });
    Paste(10, 10);
    EXPECT_EQ(window.Send(WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
    window.Send(WM_ENDSESSION, FALSE, 0); // another program said no
    EXPECT_EQ(closeActions, 0);
    window.Send(WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_EQ(closeActions, 1);
    EXPECT_EQ(dialogs.MessageBoxes().size(), asked);
}

TEST_F(MainWindowTest, CommandsThatCanDoNothingAreGreyed) {
    HMENU menuBar = GetMenu(window.hwnd);
    // One step after the other from an empty document (0: a paste), then
    // whether the saves and Copy, and Undo, can run.
    const int steps[][3] = {{IDM_NEW, 0, 0}, {0, 1, 1}, {IDM_UNDO, 0, 0}, {0, 1, 1}};
    for (const auto& step : steps) {
        if (step[0] == 0) {
            Paste(10, 10);
        } else {
            Command(step[0]);
        }
        for (UINT command :
             {IDM_SAVE_BMP, IDM_SAVE_PNG, IDM_SAVE_JPEG, IDM_SAVE_WEBP, IDM_COPY, IDM_UNDO}) {
            const bool enabled = step[command == IDM_UNDO ? 2 : 1] != 0;
            EXPECT_EQ(
                std::make_pair((GetMenuState(menuBar, command, MF_BYCOMMAND) & MF_GRAYED) == 0,
                               window.toolbar.Send(TB_ISBUTTONENABLED, command, 0) != 0),
                std::make_pair(enabled, enabled))
                << step[0] << " " << command;
        }
    }
    // A popup is brought up to date as it opens, whatever changed the document.
    document.Clear();
    window.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menuBar, 0)), 0);
    EXPECT_NE(GetMenuState(menuBar, IDM_SAVE_PNG, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(MainWindowTest, ClipboardPastesAndTheirWarning) {
    ASSERT_TRUE(testsupport::Offer({}));
    dialogs.AnswerMessageBox(IDOK);
    dialogs.AnswerMessageBox(IDOK);
    Command(IDM_CLIP_RIGHT);
    Command(IDM_CLIP_BELOW);
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"クリップボード画像の読み込みに失敗",
                                                    "クリップボード画像の読み込みに失敗"}));
    EXPECT_TRUE(document.IsEmpty());

    Paste(16, 8, false, 9);
    Command(IDM_COPY);
    // Copy also puts the picture as "PNG", exactly.
    std::vector<std::uint8_t> png;
    image::Image copied;
    ASSERT_TRUE(image::Image::ReadClipboardBytes(formats::ClipboardPicture::PngFormat(), png));
    ASSERT_TRUE(formats::LoadPng(copied, png.data(), png.size(), 0));
    image::Image pasted;
    MakeImage(pasted, 16, 8, [](int x, int y) { return Colour(x, y, 9); });
    EXPECT_TRUE(testpictures::SamePixels(copied, pasted));
    // Ctrl+V's command (the key itself is checked with the accelerators).
    Command(IDM_CLIP_BELOW);
    ASSERT_EQ(std::make_pair(document.width, document.height), std::make_pair(16, 16));
    EXPECT_TRUE(testpictures::SameBlock(document.picture, 0, 8, pasted, 0, 0, 16, 8));

    // A "PNG" alone, partly transparent, is pasted over the background
    // colour, to the right of the picture pasted last.
    settings.BkColor = 0x00304050;
    OfferPngOnly(20, 6, 3);
    Command(IDM_CLIP_RIGHT);
    ASSERT_EQ(document.width, 36);
    image::Image blended;
    MakeImage(blended, 20, 6, [](int x, int y) {
        const unsigned alpha = 255 - x * 7;
        image::PixelValue mixed = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned sample = Colour(x, y, 3) >> shift & 0xFF;
            const unsigned back = 0x504030u >> shift & 0xFF; // BkColor as a pixel
            mixed |= (sample * alpha + back * (255 - alpha) + 127) / 255 << shift;
        }
        return mixed;
    });
    EXPECT_TRUE(testpictures::SameBlock(document.picture, 16, 8, blended, 0, 0, 20, 6));
    EXPECT_EQ(Warnings().size(), 2u);
}

TEST_F(MainWindowTest, SavesEveryFormatThroughTheSaveDialog) {
    Paste(37, 21, false, 1);
    Paste(20, 15, true, 2);
    const std::string folder = DataFolder();
    WriteRgbDump(document.picture, folder + "\\saved.rgb");
    std::ofstream(folder + "\\saved.size") << document.width << " " << document.height;

    // The files' contents are checked by Pillow in the step after this test.
    settings.JPEGQuality = 95;
    for (const auto& [command, file] :
         {std::make_pair(IDM_SAVE_BMP, "saved.bmp"), std::make_pair(IDM_SAVE_PNG, "saved.png"),
          std::make_pair(IDM_SAVE_JPEG, "saved.jpg"), std::make_pair(IDM_SAVE_WEBP, "saved.webp"),
          std::make_pair(IDM_SAVE_WEBP, "saved_lossless.webp")}) {
        settings.WebPLossless = std::string(file) == "saved_lossless.webp" ? 1 : 0;
        const std::string path = folder + "\\" + file;
        DeleteFileA(path.c_str());
        dialogs.AnswerFile(path.c_str());
        Command(command);
        const auto& call = dialogs.FileDialogs().back();
        EXPECT_TRUE(call.save && (call.dialog.Flags & OFN_OVERWRITEPROMPT) != 0);
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << file;
    }
    EXPECT_TRUE(Warnings().empty());

    // An unwritable path: the user is told, nothing is left behind.
    const std::string bad = folder + "\\no such folder\\x.png";
    dialogs.AnswerFile(bad.c_str());
    dialogs.AnswerMessageBox(IDOK);
    Command(IDM_SAVE_PNG);
    EXPECT_EQ(Warnings(), std::vector<std::string>{"画像の保存に失敗"});

    // An empty document opens no dialog at all, nor does a picture wider
    // than WebP allows, which is explained instead.
    document.Clear();
    Command(IDM_SAVE_BMP);
    Paste(16384, 1);
    dialogs.AnswerMessageBox(IDOK);
    Command(IDM_SAVE_WEBP);
    EXPECT_EQ(Warnings().back(), "WebP는 가로와 세로가 16383 픽셀까지만 저장할 수 있습니다\n(지금 "
                                 "그림: 16384 x 1)");
    EXPECT_EQ(dialogs.FileDialogs().size(), 6u);
}

TEST_F(MainWindowTest, ZoomStepsAndViewMenuChecks) {
    // Scale before, the button or menu item, scale after: the buttons step
    // between 25, 50, 75, 100 and 200 %; the scales in between only zoom out.
    const int steps[][3] = {{4, IDT_ZOOM_IN, 8},  {8, IDT_ZOOM_IN, 8}, {8, IDT_ZOOM_OUT, 4},
                            {1, IDT_ZOOM_OUT, 1}, {5, IDT_ZOOM_IN, 5}, {7, IDT_ZOOM_OUT, 6},
                            {7, IDM_ZOOM_75, 3}};
    for (const auto& step : steps) {
        settings.Scale = static_cast<std::uint16_t>(step[0]);
        Command(step[1]);
        EXPECT_EQ(settings.Scale, step[2]) << step[0] << " " << step[1];
    }

    // The buttons that would do nothing are greyed at either end.
    const auto enabled = [this](UINT id) {
        return window.toolbar.Send(TB_ISBUTTONENABLED, id, 0) != 0;
    };
    const int ends[][3] = {{IDM_ZOOM_25, 1, 0}, {IDM_ZOOM_50, 1, 1}, {IDM_ZOOM_200, 0, 1}};
    for (const auto& end : ends) {
        Command(static_cast<UINT>(end[0]));
        EXPECT_EQ(std::make_pair(enabled(IDT_ZOOM_IN), enabled(IDT_ZOOM_OUT)),
                  std::make_pair(end[1] != 0, end[2] != 0))
            << end[0];
    }

    // The View menu's and the toolbar's checks, before and after both tool
    // windows are flipped at a scale (6) no menu item has.
    HMENU view = GetSubMenu(GetMenu(window.hwnd), 3);
    const auto checked = [view](UINT id) {
        return (GetMenuState(view, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    settings.ViewList = 1;
    settings.ViewOpt = 0;
    settings.Scale = 3;
    for (const bool flipped : {false, true}) {
        if (flipped) {
            settings.Scale = 6;
            Command(IDM_VIEW_LIST);
            Command(IDM_VIEW_SETTINGS);
            EXPECT_EQ(settings.ViewList, 0);
            EXPECT_EQ(settings.ViewOpt, 1);
            EXPECT_EQ(window.toolbar.Send(TB_ISBUTTONCHECKED, IDM_VIEW_LIST, 0), 0);
            EXPECT_NE(window.toolbar.Send(TB_ISBUTTONCHECKED, IDM_VIEW_SETTINGS, 0), 0);
        }
        window.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), MAKELPARAM(3, 0));
        EXPECT_EQ(std::make_tuple(checked(IDM_VIEW_LIST), checked(IDM_VIEW_SETTINGS),
                                  checked(IDM_ZOOM_75)),
                  std::make_tuple(!flipped, flipped, !flipped));
    }
}

TEST_F(MainWindowTest, CtrlWheelOnTheMainWindowZoomsAndAClickFocusesTheCanvas) {
    window.Show(SW_SHOW);
    SetForegroundWindow(window.hwnd);
    SetFocus(window.hwnd);
    // The wheel goes to the window with the focus, here the main window; one
    // zoom step a notch, half notches add up.
    const int steps[][2] = {
        {WHEEL_DELTA, 8}, {-WHEEL_DELTA, 4}, {-2 * WHEEL_DELTA, 2}, {-60, 2}, {-60, 1}};
    settings.Scale = 4;
    for (const auto& step : steps) {
        window.Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(step[0])), 0);
        EXPECT_EQ(settings.Scale, step[1]) << step[0];
    }
    window.canvas.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetFocus(), window.canvas.hwnd);
}

TEST_F(MainWindowTest, ToolWindowsAreShownAndHiddenOnlyWhileTheyLive) {
    ui::Window list;
    ui::Window other;
    const auto create = [](ui::Window& w) {
        return w.Create(0, app::GeneralClassName, "tool", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                        nullptr);
    };
    ASSERT_TRUE(create(list));
    window.BindToolWindows(&list, nullptr);
    settings.ViewList = 0;
    Command(IDM_VIEW_LIST);
    EXPECT_TRUE(IsWindowVisible(list.hwnd));
    Command(IDM_VIEW_LIST);
    EXPECT_FALSE(IsWindowVisible(list.hwnd));

    // Destroyed, with its old handle now naming another window (as the
    // system may hand it out again): that window is left alone.
    DestroyWindow(list.hwnd);
    ASSERT_TRUE(create(other));
    other.Show(SW_SHOW);
    list.hwnd = other.hwnd;
    Command(IDM_VIEW_LIST);
    Command(IDM_VIEW_LIST);
    EXPECT_TRUE(IsWindowVisible(other.hwnd));
    EXPECT_EQ(settings.ViewList, 0);
    DestroyWindow(other.hwnd);
}

TEST_F(MainWindowTest, ToolbarBitmapsAndClassIconsAreNotLeaked) {
    HGDIOBJ handle = nullptr;
    {
        ui::Toolbar strip;
        ASSERT_TRUE(strip.Create(0, 0, window.hwnd, 77));
        win::GdiObject bitmap(CreateBitmap(32, 16, 1, 32, nullptr));
        handle = bitmap.Get();
        EXPECT_EQ(strip.AddBitmap(2, std::move(bitmap)), 0);
        DestroyWindow(strip.hwnd);
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);
    // The class icons are the system's shared copies, loaded once per run.
    for (const auto& icon : {std::make_pair(GCLP_HICON, 32), std::make_pair(GCLP_HICONSM, 16)}) {
        EXPECT_EQ(GetClassLongPtrA(window.hwnd, icon.first),
                  reinterpret_cast<ULONG_PTR>(LoadImageA(GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(IDI_QUILTORA), IMAGE_ICON,
                                                         icon.second, icon.second, LR_SHARED)));
    }
}

// The buttons, tooltips and accelerators are the resource script's; what
// the code decides is where the canvas goes: between the toolbar and the
// status bar, or down to the bottom while the View menu hides the bar.
TEST_F(MainWindowTest, TheCanvasFillsTheClientAreaBetweenToolbarAndStatusBar) {
    const HMENU view = GetSubMenu(GetMenu(window.hwnd), 3);
    for (const bool shown : {true, false, true}) {
        SCOPED_TRACE(shown);
        window.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 3);
        EXPECT_EQ((GetMenuState(view, IDM_VIEW_STATUSBAR, MF_BYCOMMAND) & MF_CHECKED) != 0, shown);
        EXPECT_EQ(settings.StatusBar, shown ? 1 : 0);
        RECT client = {};
        GetClientRect(window.hwnd, &client);
        const RECT canvas = testsupport::ChildRect(window.canvas.hwnd);
        const LONG bar = shown ? window.statusBar.WindowSize().cy : 0;
        EXPECT_GT(window.statusBar.WindowSize().cy, 0);
        EXPECT_EQ((std::vector<LONG>{canvas.left, canvas.top, canvas.right, canvas.bottom}),
                  (std::vector<LONG>{0, window.toolbar.WindowSize().cy, client.right,
                                     client.bottom - bar}));
        Command(IDM_VIEW_STATUSBAR);
    }
}

// Size, zoom, pictures since New and the unsaved mark after each step; the
// title names the size too.
TEST_F(MainWindowTest, TheStatusBarAndTitleFollowPastesUndoZoomSaveAndNew) {
    const std::string saved = DataFolder() + "\\status.bmp";
    const struct {
        const char* step;
        std::function<void()> act;
        std::vector<std::string> parts;
    } steps[] = {
        {"start", [] {}, {"", "100%", "그림 0장", ""}},
        {"paste", [&] { Paste(40, 30); }, {"40 x 30", "100%", "그림 1장", "*"}},
        {"paste", [&] { Paste(20, 50); }, {"60 x 50", "100%", "그림 2장", "*"}},
        {"zoom", [&] { Command(IDT_ZOOM_IN); }, {"60 x 50", "200%", "그림 2장", "*"}},
        {"undo", [&] { Command(IDM_UNDO); }, {"40 x 30", "200%", "그림 1장", "*"}},
        {"save",
         [&] {
             dialogs.AnswerFile(saved.c_str());
             Command(IDM_SAVE_BMP);
         },
         {"40 x 30", "200%", "그림 1장", ""}},
        {"zoom", [&] { Command(IDM_ZOOM_25); }, {"40 x 30", "25%", "그림 1장", ""}},
        {"new", [&] { Command(IDM_NEW); }, {"", "25%", "그림 0장", ""}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act();
        std::vector<std::string> parts;
        for (int i = 0; i < app::StatusBar::PartCount; ++i) {
            parts.push_back(window.statusBar.PartText(i));
        }
        EXPECT_EQ(parts, step.parts);
        EXPECT_EQ(testsupport::WindowText(window.hwnd),
                  parts[0].empty() ? "Quiltora" : "Quiltora - ( " + parts[0] + " )");
    }
}

TEST_F(MainWindowTest, TheAboutBoxOpensTheHomePageAndStaysOpen) {
    // The About box, driven as a user would: HP opens the home page and
    // keeps the box open, OK ends it with 1.
    dialogs.HandleModal([](ui::Dialog& dialog, int templateId, HWND parent) -> INT_PTR {
        EXPECT_EQ(templateId, IDD_ABOUT);
        if (!dialog.CreateModeless(templateId, parent)) {
            return -1;
        }
        dialog.Send(WM_COMMAND, MAKEWPARAM(IDC_ABOUT_HOMEPAGE, BN_CLICKED), 0);
        EXPECT_NE(dialog.hwnd, nullptr);
        HWND box = dialog.hwnd;
        dialog.Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        DestroyWindow(box);
        return 1;
    });
    Command(IDM_ABOUT);
    ASSERT_EQ(dialogs.ShellCalls().size(), 1u);
    EXPECT_EQ(dialogs.ShellCalls()[0].verb, "open");
    EXPECT_EQ(dialogs.ShellCalls()[0].file, app::AboutDialog::HomePage);
    EXPECT_EQ(dialogs.ShellCalls()[0].showCommand, SW_SHOWNORMAL);
}

namespace {

// Puts a width x height picture on the clipboard from another thread, as
// another program would: a bitmap from a window of its own, or only "PNG".
void PutFromAnotherThread(int width, int height, bool pngOnly = false) {
    std::thread writer([width, height, pngOnly] {
        if (pngOnly) {
            OfferPngOnly(width, height, 0);
            return;
        }
        const HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           nullptr, nullptr);
        image::Image picture;
        ASSERT_TRUE(picture.Create(width, height, 24));
        EXPECT_TRUE(image::Image::PutOnClipboard(owner, picture.ScreenCopy()));
        DestroyWindow(owner);
    });
    writer.join();
}

void PumpFor(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        testsupport::PumpMessages();
        Sleep(10);
    }
}

} // namespace

TEST_F(MainWindowTest, ClipboardWatchPastesOnlyOtherProgramsPictures) {
    // Two 30 x 20 pictures from elsewhere (bitmaps, or only "PNG") wrap at 50
    // pixels into a column; the program's own copy of a 16 x 8 picture is not
    // pasted back.
    const struct {
        const char* name;
        bool watch, ownCopy, pngOnly;
        int width, height;
        size_t pastes;
    } cases[] = {{"off", false, false, false, 0, 0, 0},
                 {"another program", true, false, false, 30, 40, 2},
                 {"another program's PNG", true, false, true, 30, 40, 2},
                 {"own copy", true, true, false, 16, 8, 1}};
    settings.All_Width = 50;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        document.Clear();
        EXPECT_FALSE(window.ClipboardWatch());
        if (c.watch) {
            Command(IDM_CLIPBOARD_WATCH);
            ASSERT_TRUE(window.ClipboardWatch());
        }
        if (c.ownCopy) {
            Paste(16, 8);
            Command(IDM_COPY);
        } else {
            PutFromAnotherThread(30, 20, c.pngOnly);
            PumpFor(200);
            PutFromAnotherThread(30, 20, c.pngOnly);
        }
        PumpFor(300);
        EXPECT_EQ(document.UndoRecords().size(), c.pastes);
        EXPECT_EQ(document.width, c.width);
        EXPECT_EQ(document.height, c.height);
        if (c.watch) {
            Command(IDM_CLIPBOARD_WATCH);
        }
    }
}
