#include "app/JoinCommand.h"
#include "formats/BmpWriter.h"
#include "formats/JpegWriter.h"
#include "formats/PngWriter.h"
#include "job/CanvasStream.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::ReadAll;

// Noise: thousands of colours, so that a PNG keeps its colours instead of a
// palette.
void MakePicture(image::Image& picture, int width, int height, unsigned seed) {
    picture.Create(width, height, 24);
    testpictures::FillNoise(picture, seed);
}

// A folder of pictures of different sizes and formats, and one for what the
// joins write.
class StreamedSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 9; ++i) {
            image::Image picture;
            MakePicture(picture, 40 + 13 * (i % 4), 30 + 9 * (i % 3), i + 1);
            const std::string name = inputs.Join("p" + std::to_string(i));
            ASSERT_TRUE(i % 3 == 2 ? formats::SaveJpeg(picture, (name + ".jpg").c_str(), 90, false)
                                   : formats::SavePng(picture, (name + ".png").c_str()));
        }
    }
    std::string Out(const std::string& name) const { return outputs.Join(name); }
    // Runs a join of inputs into out, streamed or saved at the end; lines
    // keeps what it said.
    int Join(const std::string& out, std::vector<std::string> options, bool atEnd,
             const std::vector<std::string>& inputs) {
        lines.clear();
        app::JoinCommand join([this](const std::string& line, bool) { lines += line + "\n"; });
        join.StreamFrom(atEnd ? INT64_MAX : 0);
        std::vector<std::string> arguments = {
            "--join",       out,      "--defaults",   "--gap",  "3",
            "--gap-colour", "FF0000", "--background", "00C0FF", "--timings"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        return join.Run(arguments, (folder + "\\none.ini").c_str());
    }

    testsupport::ScratchFolder inputs;
    testsupport::ScratchFolder outputs;
    const std::string& folder = inputs.path;
    std::string lines;
};

} // namespace

// Each arrangement and layout, saved in each format while the job loads,
// writes what the same join saved at its end writes, byte for byte.
TEST_F(StreamedSaveTest, EveryArrangementAndFormatStreamsTheFileASaveAtTheEndWrites) {
    const std::vector<std::vector<std::string>> arrangements = {
        {"--row"},
        {"--column"},
        {"--per-row", "3"},
        {"--wrap", "150"},
        {"--per-row", "4", "--cells", "--align", "right,bottom"},
        {"--wrap", "200", "--justify", "40"},
        {"--column", "--align", "centre", "--caption", "number"}};
    const std::vector<std::vector<std::string>> formats = {
        {".bmp"}, {".png"}, {".jpg", "--quality", "80"}, {".jpg", "--progressive"}};
    for (const auto& arrangement : arrangements) {
        for (const auto& format : formats) {
            SCOPED_TRACE(arrangement[0] + " " + arrangement.back() + " " + format[0]);
            std::vector<std::string> options = arrangement;
            options.insert(options.end(), format.begin() + 1, format.end());
            const std::string streamed = Out("streamed" + format[0]);
            const std::string atEnd = Out("end" + format[0]);
            ASSERT_EQ(Join(streamed, options, false, {folder}), app::JoinCommand::AllPasted)
                << lines;
            // Nothing settles before the end of a single row: it is saved then.
            EXPECT_EQ(lines.find("(streamed)") != std::string::npos, arrangement[0] != "--row")
                << lines;
            ASSERT_EQ(Join(atEnd, options, true, {folder}), app::JoinCommand::AllPasted) << lines;
            EXPECT_EQ(lines.find("(streamed)"), std::string::npos) << lines;
            const std::string bytes = ReadAll(streamed);
            EXPECT_GT(bytes.size(), 1000u);
            EXPECT_TRUE(bytes == ReadAll(atEnd));
        }
    }
}

// A join the stream cannot finish is saved at the end, as it would have
// been: a picture that fails after its header was read makes the result
// smaller than its estimate, and a PNG of few colours takes a palette.
TEST_F(StreamedSaveTest, AJoinTheStreamCannotFinishIsSavedAtTheEnd) {
    image::Image flat;
    flat.Create(50, 40, 24);
    flat.FillAll(0x336699);
    ASSERT_TRUE(formats::SaveBmp(flat, (folder + "\\flat.bmp").c_str()));
    // A BMP cut short after its headers: its size reads, its pixels do not.
    const std::string whole = ReadAll(folder + "\\flat.bmp");
    std::ofstream(folder + "\\cut.bmp", std::ios::binary) << whole.substr(0, 200);
    const struct {
        std::vector<std::string> inputs;
        const char* extension;
        int status;
    } cases[] = {
        {{folder + "\\p0.png", folder + "\\cut.bmp", folder + "\\p1.png"}, ".png", 1},
        {{folder + "\\p0.png", folder + "\\p4.png", folder + "\\cut.bmp"}, ".jpg", 1},
        {{folder + "\\flat.bmp", folder + "\\flat.bmp"}, ".png", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputs.back() + c.extension);
        const std::string out = Out(std::string("out") + c.extension);
        const std::string reference = Out(std::string("reference") + c.extension);
        ASSERT_EQ(Join(out, {"--per-row", "2"}, false, c.inputs), c.status) << lines;
        EXPECT_EQ(lines.find("(streamed)"), std::string::npos) << lines;
        ASSERT_EQ(Join(reference, {"--per-row", "2"}, true, c.inputs), c.status) << lines;
        EXPECT_TRUE(ReadAll(out) == ReadAll(reference));
    }
}

namespace {

// Passes bytes on until a budget is spent, then fails every write, as a
// full disk would.
class FailingSink : public formats::ByteSink {
public:
    FailingSink(formats::ByteSink& out, DWORD budget) : out(out), budget(budget) {}
    bool Write(const void* data, DWORD count) override {
        failed = failed || count > budget;
        budget -= failed ? 0 : count;
        return !failed && out.Write(data, count);
    }
    DWORD Tell() override { return out.Tell(); }
    bool SeekTo(DWORD position) override { return out.SeekTo(position); }
    bool SeekToEnd() override { return out.SeekToEnd(); }

    std::atomic<bool> failed{false};

private:
    formats::ByteSink& out;
    DWORD budget;
};

} // namespace

// A write that fails while the job still pastes leaves the old file as it
// was and no temporary file beside it.
TEST_F(StreamedSaveTest, AWriteThatFailsMidJobLeavesTheOldFileAndNoOther) {
    const testsupport::ScratchFolder place;
    const std::string target = place.Join("joined.jpg");
    std::ofstream(target, std::ios::binary) << "the old picture";
    image::JoinDocument document;
    std::unique_ptr<FailingSink> sink;
    // Large pictures, so that the writer's output comes in many pieces.
    auto stream = std::make_unique<job::CanvasStream>(
        document, 600, 1200, 0xFFFFFF, target,
        [&sink](formats::RowSource& rows, formats::ByteSink& out) {
            sink = std::make_unique<FailingSink>(out, 4000);
            return formats::WriteJpeg(rows, *sink, 90, false);
        });
    const image::PasteParameters values;
    for (int i = 0; i < 4; ++i) {
        image::Image picture;
        MakePicture(picture, 600, 300, i);
        ASSERT_TRUE(document.PasteImage(picture, true, 0, values));
        stream->Settle(document.lastCell.y);
        // The second paste settles the first picture's rows; the write
        // fails on them before the job goes on.
        for (int wait = 0; i == 1 && wait < 500 && !(sink != nullptr && sink->failed); ++wait) {
            Sleep(10);
        }
    }
    EXPECT_TRUE(sink != nullptr && sink->failed);
    EXPECT_FALSE(stream->Finish());
    stream.reset(); // the save is given up
    EXPECT_EQ(ReadAll(target), "the old picture");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(place.path)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"joined.jpg"});
}
