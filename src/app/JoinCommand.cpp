#include "app/JoinCommand.h"

#include "app/JoinSave.h"
#include "browser/FolderListing.h"
#include "formats/WebpWriter.h"
#include "image/JoinDocument.h"
#include "job/BatchPlan.h"
#include "job/JobRun.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "win/FindHandle.h"
#include "win/WidePath.h"
#include "win/Wildcard.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace app {

namespace {

// The pictures among the folder's files whose names match the pattern: as
// with a folder, files of other kinds are not the command's to join.
std::vector<std::string> ExpandPattern(const std::string& folder, const std::string& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    file::FindHandle find(file::WidePath((folder + "\\*").c_str()).Get(), found);
    for (bool more = find.IsOpen(); more; more = find.Next(found)) {
        const std::string name = file::NarrowText(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            browser::IsPictureName(name) && text::MatchWildcard(pattern.c_str(), name.c_str())) {
            names.emplace_back(found.cFileName);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    std::vector<std::string> paths;
    for (const std::wstring& name : names) {
        paths.push_back(folder + "\\" + file::NarrowText(name.c_str()));
    }
    return paths;
}

// The ranges the settings window keeps the file's values in, so that a join
// uses what the window would show.
void KeepInWindowRanges(settings::AppSettings& settings) {
    settings.PadSize = std::min(std::max(settings.PadSize, 0), 30);
    settings.JPEGQuality = std::min(std::max(settings.JPEGQuality, 1), 100);
    for (std::int32_t* side : {&settings.SizeW, &settings.SizeH, &settings.PerW, &settings.PerH}) {
        *side = std::max(*side, 1);
    }
    settings.PerW = std::min(settings.PerW, 100);
    settings.PerH = std::min(settings.PerH, 100);
}

void ApplyOptions(const JoinOptions& options, settings::AppSettings& settings) {
    const std::pair<int, std::int32_t*> values[] = {
        {options.gap, &settings.PadSize},        {options.gapColour, &settings.PadCol},
        {options.background, &settings.BkColor}, {options.quality, &settings.JPEGQuality},
        {options.scaleWidth, &settings.PerW},    {options.scaleHeight, &settings.PerH},
        {options.boxWidth, &settings.SizeW},     {options.boxHeight, &settings.SizeH},
    };
    for (const auto& value : values) {
        if (value.first >= 0) {
            *value.second = value.first;
        }
    }
    if (options.scaleWidth >= 0) {
        settings.fSize = 1;
    }
    if (options.boxWidth >= 0) {
        settings.fSize = 0;
        settings.bRatio = options.stretch ? 0 : 1;
    }
    if (options.progressive) {
        settings.JPEGProg = 1;
    }
    if (options.lossless) {
        settings.WebPLossless = 1;
    }
}

// Milliseconds since start, from the performance counter.
class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
    double Elapsed() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
};

// Tells on the console what the job does: each file skipped or damaged, and
// with --verbose each one pasted.
class Printer : public job::JobObserver {
public:
    Printer(const std::function<void(const std::string&, bool)>& print, bool verbose)
        : print(print), verbose(verbose) {}

    void Pasted(const std::string& path, int taken, int count) override {
        if (verbose) {
            print("pasted " + path + " (" + std::to_string(taken) + "/" + std::to_string(count) +
                      ")",
                  false);
        }
    }
    void Skipped(const std::string& path, bool notLoaded) override {
        print("skipped " + path +
                  (notLoaded ? ": not a picture that can be read"
                             : ": the joined picture would be too large"),
              true);
    }
    void Damaged(const std::string& path) override {
        print("damaged " + path + ": pasted as far as it could be read", true);
    }

private:
    const std::function<void(const std::string&, bool)>& print;
    bool verbose;
};

std::string Milliseconds(double value) {
    return std::to_string(static_cast<long long>(value + 0.5)) + " ms";
}

} // namespace

std::vector<std::string> JoinCommand::Expand(const std::string& argument) {
    const std::size_t cut = argument.find_last_of("\\/");
    const std::string last = cut == std::string::npos ? argument : argument.substr(cut + 1);
    if (last.find_first_of("*?") != std::string::npos) {
        return ExpandPattern(cut == std::string::npos ? "." : argument.substr(0, cut), last);
    }
    const DWORD attributes = GetFileAttributesW(file::WidePath(argument.c_str()).Get());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return {argument};
    }
    std::string folder = argument;
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    std::vector<job::ListEntry> entries;
    browser::ListFolder(folder.c_str(), entries);
    std::vector<std::string> paths;
    for (const job::ListEntry& entry : entries) {
        if (entry.kind == job::ImageFile) {
            paths.push_back(folder + "\\" + entry.name);
        }
    }
    return paths;
}

int JoinCommand::Run(const std::vector<std::string>& arguments, const char* settingsPath) {
    JoinOptions options;
    std::string error;
    if (!ParseJoinOptions(arguments, options, error)) {
        print("error: " + error, true);
        print(JoinUsage, true);
        return UsageError;
    }
    if (options.help) {
        print(JoinUsage, false);
        return AllPasted;
    }
    try {
        return Join(options, settingsPath);
    } catch (const std::bad_alloc&) {
        print("nothing written: out of memory", true);
        return NothingWritten;
    }
}

int JoinCommand::Join(const JoinOptions& options, const char* settingsPath) {
    const Stopwatch total;
    settings::AppSettings settings;
    if (!options.defaults) {
        settings::StartupLayout layout;
        settings::LoadSettings(settingsPath, settings, layout);
        KeepInWindowRanges(settings);
    }
    ApplyOptions(options, settings);

    // A job on an empty canvas, its pictures named by their whole paths.
    job::BatchJob job;
    job.files = job::AllInFolder;
    job.arrangement = options.arrangement;
    job.width = options.wrapWidth;
    job.perRow = options.perRow;
    job.stitch = options.stitch >= 0;
    job.stitchTolerance = options.stitch;
    job.layout = options.layout;
    int skipped = 0;
    for (const std::string& argument : options.inputs) {
        const std::vector<std::string> paths = Expand(argument);
        if (paths.empty()) {
            print("skipped " + argument + ": no picture there", true);
            ++skipped;
        }
        for (const std::string& path : paths) {
            job.entries.push_back(job::ListEntry{path, job::ImageFile, false});
        }
    }
    image::JoinDocument document;
    job::BatchPlan plan(std::move(job));
    Printer printer(print, options.verbose);
    JoinSave saver(options, settings, document, printer, streamFrom);
    job::JobStop stop;
    const job::JobOutcome tally = job::RunJob(plan, settings.PasteValues(), document, saver, stop);
    if (tally.pasted == 0) {
        print("nothing written: no picture could be pasted", true);
        return NothingWritten;
    }
    if (options.format == JoinOptions::Format::Webp &&
        (document.width > formats::kWebpMaxSide || document.height > formats::kWebpMaxSide)) {
        print("nothing written: the picture is " + std::to_string(document.width) + " x " +
                  std::to_string(document.height) + ", WebP holds at most " +
                  std::to_string(formats::kWebpMaxSide) + " pixels a side",
              true);
        return NothingWritten;
    }
    const Stopwatch saveTime;
    if (!saver.Save()) {
        print("nothing written: " + options.output + " cannot be written", true);
        return NothingWritten;
    }
    if (options.timings) {
        // Loading and resizing run on the loader's thread beside the pastes,
        // so the phases may add up to more than the whole. A save begun
        // while loading counts only what was left once the job ended.
        print("timings: load " + Milliseconds(tally.spent.load) + ", resize " +
                  Milliseconds(tally.spent.resize) + ", paste " + Milliseconds(tally.pasting) +
                  ", save " + Milliseconds(saveTime.Elapsed()) +
                  (saver.Streamed() ? " (streamed)" : "") + ", total " +
                  Milliseconds(total.Elapsed()),
              false);
    }
    return skipped + tally.skipped + tally.damaged == 0 ? AllPasted : SomeSkipped;
}

} // namespace app
