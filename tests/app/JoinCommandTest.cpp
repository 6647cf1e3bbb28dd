#include "app/JoinCommand.h"
#include "browser/BatchRunner.h"
#include "browser/BrowserIds.h"
#include "browser/FolderListing.h"
#include "formats/ImageLoader.h"
#include "formats/PngWriter.h"
#include "formats/WebpWriter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using testpictures::SamePixels;
using testpictures::SaveFilled;
using testsupport::ReadAll;

namespace {

// A folder of seven pictures of known sizes and colours, and a settings file
// and the output beside it.
class JoinCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::MakeFolder(folder));
        for (int i = 0; i < 7; ++i) {
            ASSERT_TRUE(SaveFilled(folder + "\\p" + std::to_string(i) + ".png", 20 + 7 * i,
                                   15 + 5 * (i % 3), 0x203040 * (i + 1)));
        }
    }
    // Runs a join; its messages are kept in `lines`.
    int Join(std::vector<std::string> arguments) {
        lines.clear();
        app::JoinCommand join([this](const std::string& line, bool) { lines += line + "\n"; });
        return join.Run(arguments, ini.c_str());
    }
    std::string Out() const { return scratch.Join("out.bmp"); }

    testsupport::ScratchFolder scratch;
    const std::string folder = scratch.Join("in");
    const std::string ini = scratch.Join("Quiltora.ini");
    std::string lines;
};

} // namespace

TEST_F(JoinCommandTest, EachLayoutMakesThePictureTheWindowsBatchJobMakes) {
    // The options, and the same layout as the batch dialog's settings.
    const std::tuple<std::vector<std::string>, job::BatchArrangement, int, int> cases[] = {
        {{"--row"}, job::OneRow, 0, 1},
        {{"--column"}, job::OneColumn, 0, 1},
        {{"--wrap", "90"}, job::FitWidth, 90, 1},
        {{"--per-row", "3"}, job::FixedColumns, 0, 3}};
    std::vector<job::ListEntry> entries;
    ASSERT_TRUE(browser::ListFolder(folder.c_str(), entries));
    for (const auto& [options, arrangement, width, perRow] : cases) {
        SCOPED_TRACE(options[0]);
        std::vector<std::string> arguments = {"--join", Out(),          "--defaults", "--gap",
                                              "3",      "--gap-colour", "FF0000",     folder};
        arguments.insert(arguments.end(), options.begin(), options.end());
        ASSERT_EQ(Join(arguments), app::JoinCommand::AllPasted) << lines;
        image::Image joined;
        ASSERT_TRUE(formats::LoadImageFile(joined, Out().c_str()));

        // The same pictures through the file list's batch dialog and worker.
        image::JoinDocument document;
        settings::AppSettings settings;
        settings.PadSize = 3;
        settings.PadCol = 0x0000FF;
        settings.All_File = job::AllInFolder;
        settings.All_Arrange = static_cast<std::uint16_t>(arrangement);
        settings.All_Width = width;
        settings.All_ImgNum = perRow;
        browser::PasteCommand paster(document, settings);
        browser::BatchRunner runner(paster, settings);
        ui::ScriptedDialogs dialogs;
        dialogs.HandleModal([](ui::Dialog& dialog, int id, HWND parent) -> INT_PTR {
            return id == IDD_BATCH ? 1 : dialog.RunModal(id, parent);
        });
        runner.RunBatch(nullptr, folder, entries);
        EXPECT_TRUE(SamePixels(joined, document.picture));
    }
}

// A pattern, like a folder, takes the pictures among the names it matches.
TEST_F(JoinCommandTest, PatternsAndFoldersExpandToTheirPicturesInNameOrder) {
    const std::string p = folder + "\\";
    std::ofstream(p + "notes.txt", std::ios::binary) << "no picture";
    EXPECT_EQ(app::JoinCommand::Expand(p + "P?.PNG"),
              (std::vector<std::string>{p + "p0.png", p + "p1.png", p + "p2.png", p + "p3.png",
                                        p + "p4.png", p + "p5.png", p + "p6.png"}));
    EXPECT_EQ(app::JoinCommand::Expand(p + "*[1-2]*").size(), 0u);
    EXPECT_EQ(app::JoinCommand::Expand(p + "*5*"), std::vector<std::string>{p + "p5.png"});
    EXPECT_EQ(app::JoinCommand::Expand(folder).size(), 7u);
    EXPECT_EQ(app::JoinCommand::Expand(p + "*"), app::JoinCommand::Expand(folder));
    EXPECT_EQ(app::JoinCommand::Expand(p + "missing.png"),
              std::vector<std::string>{p + "missing.png"});
    EXPECT_EQ(Join({"--join", Out(), p + "*", "--defaults"}), app::JoinCommand::AllPasted);
    EXPECT_EQ(lines.find("skipped"), std::string::npos) << lines;
    image::Image joined;
    ASSERT_TRUE(formats::LoadImageFile(joined, Out().c_str()));
    EXPECT_EQ(joined.Width, 7 * 20 + 7 * 21); // 20 + 7i wide, side by side
}

TEST_F(JoinCommandTest, SettingsFileFillsInWhatTheOptionsLeaveOut) {
    std::ofstream(ini, std::ios::binary)
        << "[Quiltora]\r\nPadSize=6\r\nfSize=1\r\nPerW=50\r\nPerH=50\r\n";
    const std::string two[] = {folder + "\\p0.png", folder + "\\p1.png"}; // 20 and 27 wide
    // The options, and the width joined.
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{}, 10 + 6 + 13},
        {{"--gap", "2"}, 10 + 2 + 13},
        {{"--scale", "200%x100%"}, 40 + 6 + 54},
        {{"--defaults"}, 47}};
    for (const auto& [options, width] : cases) {
        std::vector<std::string> arguments = {"--join", Out(), two[0], two[1]};
        arguments.insert(arguments.end(), options.begin(), options.end());
        ASSERT_EQ(Join(arguments), app::JoinCommand::AllPasted) << lines;
        image::Image joined;
        ASSERT_TRUE(formats::LoadImageFile(joined, Out().c_str()));
        EXPECT_EQ(joined.Width, width) << lines;
    }
}

TEST_F(JoinCommandTest, ExitStatusesAndTheirMessages) {
    std::ofstream(folder + "\\bad.png", std::ios::binary) << "not a picture";
    const std::string good = folder + "\\p0.png";
    const std::string bad = folder + "\\bad.png";
    // A PNG of noise cut in the middle of its image data.
    const std::string cut = folder + "\\cut.png";
    image::Image noise;
    ASSERT_TRUE(testpictures::MakeImage(noise, 40, 30, [](int x, int y) {
        return static_cast<image::PixelValue>((y * 40 + x) * 2654435761u);
    }));
    ASSERT_TRUE(formats::SavePng(noise, cut.c_str()));
    const std::string whole = ReadAll(cut);
    std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() / 2);
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    // A join of the good picture with these options.
    const auto joinGood = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"--join", Out(), good});
        return options;
    };
    const Case cases[] = {
        {joinGood({}), 0, ""},
        {{"--help"}, 0, "Usage:"},
        {joinGood({bad}), 1, "skipped"},
        {joinGood({cut}), 1, "damaged " + cut + ": pasted as far as it could be read"},
        {{"--join", Out(), bad, good, "--timings"}, 1, "timings: load "},
        {{"--join", Out(), folder + "\\none*.png"}, 2, "no picture there"},
        {{"--join", Out(), bad}, 2, "nothing written"},
        {{"--join", folder + "\\no folder\\out.png", good}, 2, "cannot be written"},
        {{"--join", Out(), "--sepia", good}, 64, "unknown option --sepia"},
        {joinGood({"--gap"}), 64, "--gap: missing or invalid value"},
        {joinGood({"--gap", "-3"}), 64, "invalid value"},
        {joinGood({"--per-row", "99999999999"}), 64, "invalid value"},
        {joinGood({"--gap-colour", "red"}), 64, "invalid value"},
        {{"--join", folder + "\\out.gif", good}, 64, "must end in"},
        {{"--join", Out()}, 64, "no pictures"},
        {joinGood({"--stretch"}), 64, "needs --box"},
        {joinGood({"--stitch"}), 64, "--stitch needs --column"},
        {joinGood({"--column", "--stitch=65"}), 64, "--stitch=65: the tolerance"},
        {joinGood({"--column", "--stitch=x"}), 64, "--stitch=x: the tolerance"},
        {joinGood({"--column", "--stitch", "--caption", "name"}), 64, "--stitch cannot"},
        {joinGood({"--column", "--stitch", "--align", "right"}), 64, "--stitch cannot"},
        {joinGood({"--column", "--stitch", "--align", "bottom"}), 0, ""},
        {joinGood({good, "--align", "right,top", "--cells", "--caption", "number", "--caption-size",
                   "8"}),
         0, ""},
        {joinGood({"--justify", "30"}), 64, "--justify needs --wrap"},
        {joinGood({"--wrap", "90", "--justify", "30", "--cells"}), 64,
         "--justify cannot be used with --cells"},
        {joinGood({"--justify", "30", "--wrap", "90", "--per-row", "2"}), 64,
         "--justify cannot be used with --per-row"},
        {joinGood({"--row", "--wrap", "90", "--justify", "30"}), 64, "with --row"},
        {joinGood({"--column", "--justify", "30"}), 64, "with --column"},
        {joinGood({"--wrap", "90", "--justify", "30", "--align", "top"}), 64, "with --align"},
        {joinGood({"--justify", "0"}), 64, "--justify: missing or invalid value"},
        {joinGood({"--align", "top,bottom"}), 64, "--align: missing or invalid"},
        {joinGood({"--align", "left,"}), 64, "--align: missing or invalid"},
        {joinGood({"--caption", "date"}), 64, "--caption: missing or invalid"},
        {joinGood({"--caption", "name", "--caption-size", "73"}), 64,
         "--caption-size: missing or invalid"},
        {joinGood({"--caption-size", "12"}), 64, "--caption-size needs --caption"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        EXPECT_EQ(Join(c.arguments), c.status);
        EXPECT_NE(lines.find(c.message), std::string::npos) << lines;
        // The usage text comes with every usage error, and with --help.
        EXPECT_EQ(c.status == 64 || c.arguments[0] == "--help",
                  lines.find("Usage:") != std::string::npos);
    }
    // A join that writes nothing leaves the output as it was.
    std::ofstream(Out(), std::ios::binary) << "old";
    EXPECT_EQ(Join({"--join", Out(), bad}), app::JoinCommand::NothingWritten);
    EXPECT_EQ(ReadAll(Out()), "old");
}

// A folder of PNG and WebP pictures saved as WebP: lossless keeps the joined
// pixels, lossy keeps the size; a join WebP cannot hold leaves the old file.
TEST_F(JoinCommandTest, WebpInAndOut) {
    image::Image extra;
    ASSERT_TRUE(testpictures::MakeImage(extra, 33, 12, [](int, int) { return 0x4080C0; }));
    ASSERT_TRUE(formats::SaveWebp(extra, (folder + "\\w7.webp").c_str(), 90, true));
    const std::string webp = scratch.Join("out.webp");
    ASSERT_EQ(Join({"--join", Out(), folder, "--gap", "3"}), app::JoinCommand::AllPasted) << lines;
    image::Image reference, joined;
    ASSERT_TRUE(formats::LoadImageFile(reference, Out().c_str()));
    EXPECT_EQ(reference.Width, 20 + 27 + 34 + 41 + 48 + 55 + 62 + 33 + 7 * 3);
    for (const char* quality : {"", "90"}) {
        std::vector<std::string> arguments = {"--join", webp, folder, "--gap", "3", "--lossless"};
        if (*quality != 0) {
            arguments.back() = "--quality";
            arguments.push_back(quality);
        }
        ASSERT_EQ(Join(arguments), app::JoinCommand::AllPasted) << lines;
        ASSERT_TRUE(formats::LoadImageFile(joined, webp.c_str()));
        EXPECT_TRUE(*quality != 0 || SamePixels(joined, reference));
        EXPECT_EQ(joined.Width, reference.Width) << quality;
    }
    const std::string saved = ReadAll(webp);
    // Three times the folder with the widest gaps: 28712 pixels wide.
    EXPECT_EQ(Join({"--join", webp, folder, folder, folder, "--gap", "1000"}),
              app::JoinCommand::NothingWritten);
    EXPECT_NE(lines.find("WebP holds at most 16383 pixels a side"), std::string::npos) << lines;
    EXPECT_EQ(ReadAll(webp), saved);
}
