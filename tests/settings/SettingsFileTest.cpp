#include "settings/SettingsFile.h"

#include "support/TestFiles.h"
#include "win/String.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

using settings::AppSettings;
using settings::NoPosition;
using settings::StartupLayout;

namespace {

// A settings file in the temporary folder, removed at the end.
class SettingsFileTest : public ::testing::Test {
protected:
    // A read-only file would stay behind.
    void TearDown() override { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    void Write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() const { return testsupport::ReadAll(path); }
    // Loads the file into fresh records and writes them back.
    std::string LoadAndSave(int tabSel = 0) {
        AppSettings settings;
        StartupLayout layout;
        settings::LoadSettings(path.c_str(), settings, layout);
        EXPECT_TRUE(settings::SaveSettings(path.c_str(), settings, layout, tabSel));
        return Read();
    }

    testsupport::ScratchFolder folder;
    const std::string path = folder.Join("settings.ini");
};

} // namespace

TEST_F(SettingsFileTest, DefaultsAreTheSameWithNoFileAndWithOnlyTheHeader) {
    const std::string defaults = "[Quiltora]\r\nWinLeft=-1000\r\nWinTop=0\r\nWinRight=400\r\n"
                                 "WinBottom=400\r\nShowCmd=1\r\nViewList=1\r\nListLeft=-1000\r\n"
                                 "ListTop=0\r\nListRight=350\r\nListBottom=400\r\nPrevHeight=80\r\n"
                                 "ViewOpt=1\r\nOptX=-1000\r\nOptY=-1000\r\nScale=4\r\nTabSel=0\r\n"
                                 "fSize=1\r\nbRatio=1\r\nSizeW=100\r\nSizeH=100\r\nPerW=100\r\n"
                                 "PerH=100\r\nJPEGQuality=85\r\nJPEGProg=0\r\nBkColor=16777215\r\n"
                                 "PadSize=0\r\nPadCol=16777215\r\nAll_File=0\r\nAll_Arrange=0\r\n"
                                 "All_Width=600\r\nAll_ImgNum=5\r\nAll_FileText=\r\n"
                                 "ListDir=";
    text::String folder;
    folder.SetModulePath(nullptr);
    // Keys added later follow the text keys.
    const std::string later =
        "\r\nStatusBar=1\r\nWebPLossless=0\r\nAll_Stitch=0\r\nAll_StitchTolerance=4\r\n"
        "Layout_RowAlign=0\r\nLayout_ColumnAlign=0\r\n"
        "Layout_Cells=0\r\nLayout_CellAcross=1\r\nLayout_CellDown=1\r\nLayout_Justify=0\r\n"
        "Layout_JustifyHeight=300\r\nLayout_Caption=0\r\nLayout_CaptionSize=12\r\n";
    EXPECT_EQ(LoadAndSave(), defaults + folder.Data() + later);
    Write("[Quiltora]\r\n");
    EXPECT_EQ(LoadAndSave(), defaults + folder.Data() + later);
}

TEST_F(SettingsFileTest, EveryKeyRoundTripsInTableOrder) {
    // Every value differs from its default.
    const std::string saved =
        "[Quiltora]\r\nWinLeft=10\r\nWinTop=20\r\nWinRight=610\r\nWinBottom=520\r\nShowCmd=3\r\n"
        "ViewList=0\r\nListLeft=-5\r\nListTop=30\r\nListRight=300\r\nListBottom=700\r\n"
        "PrevHeight=120\r\nViewOpt=0\r\nOptX=-3\r\nOptY=44\r\nScale=8\r\nTabSel=2\r\nfSize=0\r\n"
        "bRatio=0\r\nSizeW=640\r\nSizeH=480\r\nPerW=25\r\nPerH=50\r\nJPEGQuality=95\r\n"
        "JPEGProg=1\r\nBkColor=255\r\nPadSize=7\r\nPadCol=65280\r\nAll_File=2\r\nAll_Arrange=3\r\n"
        "All_Width=1200\r\nAll_ImgNum=4\r\nAll_FileText=*.jpg;사진?.png\r\nListDir=D:\\사진 "
        "모음\r\nStatusBar=0\r\nWebPLossless=1\r\nAll_Stitch=1\r\nAll_StitchTolerance=16\r\n"
        "Layout_RowAlign=2\r\nLayout_ColumnAlign=1\r\n"
        "Layout_Cells=1\r\nLayout_CellAcross=0\r\nLayout_CellDown=2\r\nLayout_Justify=1\r\n"
        "Layout_JustifyHeight=250\r\nLayout_Caption=2\r\nLayout_CaptionSize=20\r\n";
    Write(saved);
    EXPECT_EQ(LoadAndSave(2), saved);
    // Keys are found by name in the program's section, in any order and case,
    // with blanks; TabSel is written from the page shown, not from the record.
    Write("[Other]\r\nPadSize=99\r\n[quiltora]\r\n  PadSize = 7 \r\nFSIZE=0\r\nTabSel=2\r\n");
    const std::string messy = LoadAndSave(1);
    EXPECT_NE(messy.find("\r\nTabSel=1\r\nfSize=0\r\n"), std::string::npos) << messy;
    EXPECT_NE(messy.find("\r\nPadSize=7\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, ValuesAreTakenAsTheFieldsHoldThem) {
    const std::string longFolder = "C:\\" + testsupport::Repeat("가", 200); // 603 bytes
    Write("[Quiltora]\r\nScale=65540\r\nShowCmd=2\r\nPadSize=12abc\r\nSizeW=x\r\n"
          "PerW=\r\nBkColor=4294967295\r\nListDir=" +
          longFolder + "\r\nAll_FileText=" + std::string(300, 'a') + "\r\n");
    AppSettings s;
    StartupLayout layout;
    settings::LoadSettings(path.c_str(), s, layout);
    EXPECT_EQ(s.Scale, 4);                       // the low 16 bits
    EXPECT_EQ(layout.mainPlacement.showCmd, 1u); // minimised comes back normal
    EXPECT_EQ(s.PadSize, 12);                    // the leading number
    EXPECT_EQ(s.SizeW, 0);                       // no number at all
    EXPECT_EQ(s.PerW, 100);                      // an empty value is a missing one
    EXPECT_EQ(s.BkColor, -1);                    // taken modulo 2^32
    // Cut to 511 and 255 bytes, never inside a character.
    EXPECT_EQ(std::string(s.ListDir.Data()), longFolder.substr(0, 3 + 169 * 3));
    EXPECT_EQ(s.All_FileText.Length(), 255);
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
    Write("[Quiltora]\r\nPadSize=5\r\n");
    AppSettings s;
    StartupLayout layout;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(settings::SaveSettings(path.c_str(), s, layout, 0));
    EXPECT_EQ(Read(), "[Quiltora]\r\nPadSize=5\r\n");
    const std::string missingFolder = path + ".none\\Quiltora.ini";
    EXPECT_FALSE(settings::SaveSettings(missingFolder.c_str(), s, layout, 0));
}

// Places are kept at 96 DPI: read at 150 % they grow, and saved again they
// come back as they were; a missing place stays missing.
TEST(SettingsLayout, PlacesAreScaledToTheWindowsPixelsAndBack) {
    StartupLayout layout;
    layout.mainPlacement.rcNormalPosition = {10, 20, 410, 320};
    layout.mainPlacement.showCmd = SW_SHOWMAXIMIZED;
    layout.previewHeight = 80;
    settings::ScaleLayout(layout, 144, 96);
    const RECT& main = layout.mainPlacement.rcNormalPosition;
    EXPECT_EQ((std::vector<LONG>{main.left, main.top, main.right, main.bottom}),
              (std::vector<LONG>{15, 30, 615, 480}));
    EXPECT_EQ(layout.mainPlacement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(layout.previewHeight, 120);
    EXPECT_EQ(layout.listRect.left, NoPosition);
    EXPECT_EQ(layout.settingsPos.x, NoPosition);
    settings::ScaleLayout(layout, 96, 144);
    EXPECT_EQ((std::vector<LONG>{main.left, main.top, main.right, main.bottom}),
              (std::vector<LONG>{10, 20, 410, 320}));
    EXPECT_EQ(layout.previewHeight, 80);
}
