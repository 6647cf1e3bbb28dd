#include "ui/CommonDialogs.h"
#include "support/ScriptedDialogs.h"
#include "ui/SystemDialogs.h"
#include "win/String.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>

using text::String;

namespace {

// The filter of the open dialog with its NULs, as the caller builds it.
const char PictureFilter[] = "그림파일\0*.bmp;*.png\0모든파일(*.*)\0*.*\0";

std::string FilterText() {
    return std::string(PictureFilter, sizeof(PictureFilter) - 1);
}

} // namespace

TEST(MessageBoxes, AreOwnerlessTaskModalAndTopmost) {
    ui::ScriptedDialogs dialogs;
    dialogs.AnswerMessageBox(IDNO);
    dialogs.AnswerMessageBox(IDOK);
    EXPECT_EQ(ui::MessageBoxTopmost("계속 하시겠습니까", "새로작성", MB_YESNO | MB_ICONQUESTION),
              IDNO);
    EXPECT_EQ(ui::WarningBox("画像の読み込みに失敗"), IDOK);
    ASSERT_EQ(dialogs.MessageBoxes().size(), 2u);

    const auto& question = dialogs.MessageBoxes()[0];
    EXPECT_EQ(question.caption, "새로작성");
    EXPECT_EQ(question.type, 0x42024u);

    // The warning has no caption of its own: the system supplies its default.
    const auto& warning = dialogs.MessageBoxes()[1];
    EXPECT_FALSE(warning.hasCaption);
    EXPECT_EQ(warning.type, 0x42030u);
}

// Each kind of file dialog, its flags, and the buffer the answer goes to: the
// whole path's or the bare name's, whose text the dialog starts from. A
// cancel leaves the text as it was.
TEST(FileDialogs, EachKindIsFilledForItsBufferAndFlags) {
    const struct {
        bool save, fullPath, option; // open: missing files allowed; save: overwriting asks
        const char* folder;
        const char* answer;
        DWORD flags;
    } cases[] = {
        {false, true, false, nullptr, "C:\\사진\\a.png", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST},
        {false, false, true, "D:\\pics", "b.jpg", OFN_HIDEREADONLY},
        {true, true, true, nullptr, "C:\\out.png", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT},
        {true, true, false, nullptr, nullptr, OFN_HIDEREADONLY},
    };
    const HWND owner = GetDesktopWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        ui::ScriptedDialogs dialogs;
        dialogs.AnswerFile(c.answer);
        String text;
        text.Assign("start.png");
        const auto choose = c.save ? ui::ChooseSaveFile : ui::ChooseOpenFile;
        EXPECT_EQ(choose(owner, PictureFilter, "png", c.folder, c.fullPath, c.option, text),
                  c.answer != nullptr);
        EXPECT_STREQ(text.Data(), c.answer != nullptr ? c.answer : "start.png");
        ASSERT_EQ(dialogs.FileDialogs().size(), 1u);
        const auto& call = dialogs.FileDialogs()[0];
        EXPECT_EQ(call.save, c.save);
        EXPECT_EQ(call.dialog.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
        EXPECT_EQ(call.dialog.hwndOwner, owner);
        EXPECT_EQ(call.dialog.Flags, c.flags);
        EXPECT_EQ(call.filter, FilterText());
        EXPECT_EQ(call.defaultExtension, "png");
        EXPECT_EQ(call.initialDirectory, c.folder != nullptr ? c.folder : "");
        EXPECT_EQ(call.initialName, "start.png");
        EXPECT_EQ(c.fullPath ? call.dialog.lpstrFile : call.dialog.lpstrFileTitle, text.Data());
        EXPECT_EQ(c.fullPath ? call.dialog.nMaxFile : call.dialog.nMaxFileTitle,
                  static_cast<DWORD>(text.BufferSize()));
        EXPECT_TRUE(c.fullPath || call.dialog.lpstrFile == nullptr);
    }
}

TEST(FileDialogs, AnyPathWindowsAcceptsComesBackWhole) {
    // 700 bytes of Korean folders: far past MAX_PATH bytes, yet a legal path.
    std::string longPath = "C:";
    while (longPath.size() < 700) {
        longPath += "\\사진과그림";
    }
    ui::ScriptedDialogs dialogs;
    dialogs.AnswerFile((longPath + "\\a.png").c_str());
    dialogs.AnswerFile((longPath + "\\b.png").c_str());
    dialogs.AnswerFolder(longPath.c_str());
    String path(511);
    ASSERT_TRUE(ui::ChooseOpenFile(nullptr, PictureFilter, "bmp", nullptr, true, false, path));
    EXPECT_EQ(std::string(path.Data()), longPath + "\\a.png");
    ASSERT_TRUE(ui::ChooseSaveFile(nullptr, PictureFilter, "png", nullptr, true, true, path));
    EXPECT_EQ(std::string(path.Data()), longPath + "\\b.png");
    String folder;
    ASSERT_TRUE(ui::ChooseFolder(nullptr, "그림폴더를지정", folder, true));
    EXPECT_EQ(std::string(folder.Data()), longPath);
}

TEST(FolderDialog, DriveRootLosesItsSeparatorOnlyWhenAsked) {
    ui::ScriptedDialogs dialogs;
    String folder;
    // The answer, whether to cut a root, and the folder given back; a cancel
    // leaves the last one.
    const std::tuple<const char*, bool, const char*> answers[] = {{"D:\\", true, "D:"},
                                                                  {"D:\\pics", true, "D:\\pics"},
                                                                  {"D:\\", false, "D:\\"},
                                                                  {nullptr, true, "D:\\"}};
    for (const auto& [answer, cut, expected] : answers) {
        dialogs.AnswerFolder(answer);
        EXPECT_EQ(ui::ChooseFolder(nullptr, "그림폴더를지정", folder, cut), answer != nullptr);
        EXPECT_STREQ(folder.Data(), expected);
    }
    // Only a root loses its separator.
    for (const char* text : {"C:\\a", "C:", "", "\\\\x", "C:\\pics\\"}) {
        folder.Assign(text);
        ui::CutDriveRoot(folder);
        EXPECT_STREQ(folder.Data(), text);
    }

    ASSERT_EQ(dialogs.FolderDialogs().size(), 4u);
    const auto& call = dialogs.FolderDialogs()[0];
    EXPECT_EQ(call.title, "그림폴더를지정");
    EXPECT_EQ(call.dialog.ulFlags, static_cast<UINT>(BIF_RETURNONLYFSDIRS));
    EXPECT_EQ(dialogs.Unanswered(), 0);
}

namespace {

// Edits the custom colours the way a user would, to show that the next
// opening starts afresh.
class CustomColourEditor : public ui::ScriptedDialogs {
public:
    BOOL ShowColourDialog(CHOOSECOLORA* dialog) override {
        const BOOL confirmed = ScriptedDialogs::ShowColourDialog(dialog);
        for (int i = 0; i < 16; ++i) {
            dialog->lpCustColors[i] = RGB(1, 2, 3);
        }
        return confirmed;
    }
};

} // namespace

TEST(ColourDialog, StartsFromTheCurrentColourAndFreshCustomColours) {
    CustomColourEditor dialogs;
    dialogs.AnswerColour(RGB(10, 20, 30));
    dialogs.CancelColour();
    COLORREF colour = RGB(200, 100, 50);
    const HWND owner = GetDesktopWindow();
    EXPECT_TRUE(ui::ChooseColour(owner, &colour));
    EXPECT_EQ(colour, RGB(10, 20, 30));
    EXPECT_FALSE(ui::ChooseColour(owner, &colour));
    EXPECT_EQ(colour, RGB(10, 20, 30));

    ASSERT_EQ(dialogs.ColourDialogs().size(), 2u);
    const COLORREF expectedFirst[] = {RGB(200, 100, 50), RGB(10, 20, 30)};
    for (int call = 0; call < 2; ++call) {
        const auto& record = dialogs.ColourDialogs()[call];
        EXPECT_EQ(record.dialog.lStructSize, sizeof(CHOOSECOLORA));
        EXPECT_EQ(record.dialog.hwndOwner, owner);
        EXPECT_EQ(record.dialog.Flags, static_cast<DWORD>(CC_RGBINIT));
        EXPECT_EQ(record.dialog.rgbResult, expectedFirst[call]);
        EXPECT_EQ(record.customColours[0], expectedFirst[call]);
        for (int i = 1; i < 16; ++i) {
            EXPECT_EQ(record.customColours[i], RGB(255, 255, 255)) << "call " << call << " " << i;
        }
    }
}
