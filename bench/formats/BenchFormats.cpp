// Times the picture-file work the program does: PNG decode, PNG encode (the
// save command's: level and filter 0 as SavePng chooses) and JPEG encode at
// quality 85, baseline and progressive, on a large picture; then PNG decode
// and encode of each small picture. Prints one "name milliseconds" line per
// task (the median of the runs; for small pictures, per picture), and the
// size of each PNG file it wrote, for scripts/bench-formats to compare with
// other tools. First, before anything else raises the process's peak, the
// memory a PNG save of a 4000 x 3000 picture needs beyond the picture itself
// ("png_encode_peak_mb").
//
// usage: bench_formats INPUT.png OUTPUT_FOLDER [RUNS [SMALL.png ...]]

#include "formats/JpegWriter.h"
#include "formats/PngReader.h"
#include "formats/PngWriter.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs task `repeat` times per run; the figure is the median run divided by
// repeat, so that pictures taking well under a millisecond still read.
template <typename Task> bool Time(const std::string& name, int runs, int repeat, Task task) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        for (int j = 0; j < repeat; ++j) {
            if (!task()) {
                std::fprintf(stderr, "%s failed\n", name.c_str());
                return false;
            }
        }
        times.push_back((Now() - start) / repeat);
    }
    std::sort(times.begin(), times.end());
    std::printf("%s %.*f\n", name.c_str(), repeat > 1 ? 3 : 1, times[times.size() / 2]);
    std::fflush(stdout);
    return true;
}

void PrintSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        std::printf("file %s %lu\n", path.c_str(), data.nFileSizeLow);
    }
}

// Working set in MiB: the highest so far, or the current one.
double WorkingSetMegabytes(bool peak) {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) /
           (1024.0 * 1024.0);
}

// Saves a made-up photograph-like picture and prints how far the save raised
// the peak working set above the working set it started from.
bool MeasureEncodePeak(const std::string& path) {
    image::Image picture;
    if (!picture.Create(4000, 3000, 24)) {
        return false;
    }
    for (int y = 0; y < picture.Height; ++y) {
        std::uint8_t* p = picture.PixelAddress(0, y);
        for (int x = 0; x < picture.Width * 3; ++x) {
            p[x] =
                static_cast<std::uint8_t>(x / 9 + y / 7 + ((x * 2654435761u ^ y * 40503u) >> 29));
        }
    }
    const double before = WorkingSetMegabytes(false);
    if (!formats::SavePng(picture, path.c_str())) {
        return false;
    }
    std::printf("png_encode_peak_mb %.1f\n", WorkingSetMegabytes(true) - before);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: bench_formats INPUT.png OUTPUT_FOLDER [RUNS [SMALL.png ...]]\n");
        return 2;
    }
    const std::string input = argv[1];
    const std::string folder = std::string(argv[2]) + "/";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    image::Image picture;
    const std::string png = folder + "ours.png";
    bool ok =
        MeasureEncodePeak(png) &&
        Time("png_decode", runs, 1, [&] { return formats::LoadPng(picture, input.c_str()); }) &&
        Time("png_encode", runs, 1, [&] { return formats::SavePng(picture, png.c_str()); }) &&
        Time(
            "jpeg_baseline", runs, 1,
            [&] { return formats::SaveJpeg(picture, (folder + "ours.jpg").c_str(), 85, false); }) &&
        Time("jpeg_progressive", runs, 1, [&] {
            return formats::SaveJpeg(picture, (folder + "ours_prog.jpg").c_str(), 85, true);
        });
    std::printf("size %d %d\n", picture.Width, picture.Height);
    PrintSize(png);
    for (int i = 4; ok && i < argc; ++i) {
        const std::string small = argv[i];
        const std::string name = small.substr(small.find_last_of("/\\") + 1);
        const std::string saved = folder + "ours_" + name;
        ok = Time("png_decode " + name, runs, 50,
                  [&] { return formats::LoadPng(picture, small.c_str()); }) &&
             Time("png_encode " + name, runs, 50,
                  [&] { return formats::SavePng(picture, saved.c_str()); });
        PrintSize(saved);
    }
    return ok ? 0 : 1;
}
