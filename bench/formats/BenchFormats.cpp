// Times the picture-file work the program does on a large picture: PNG decode,
// PNG encode (level 6, filter 0) and JPEG encode at quality 85, baseline and
// progressive. Prints one "name milliseconds" line per task (the median of
// the runs), for scripts/bench-formats to compare with other tools.
//
// usage: bench_formats INPUT.png OUTPUT_FOLDER [RUNS]

#include "formats/JpegWriter.h"
#include "formats/PngReader.h"
#include "formats/PngWriter.h"

#include <windows.h>

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

template <typename Task> bool Time(const char* name, int runs, Task task) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        if (!task()) {
            std::fprintf(stderr, "%s failed\n", name);
            return false;
        }
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf("%s %.1f\n", name, times[times.size() / 2]);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_formats INPUT.png OUTPUT_FOLDER [RUNS]\n");
        return 2;
    }
    const std::string input = argv[1];
    const std::string folder = std::string(argv[2]) + "/";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    image::Image picture;
    const bool ok =
        Time("png_decode", runs, [&] { return formats::LoadPng(picture, input.c_str()); }) &&
        Time("png_encode", runs,
             [&] { return formats::SavePng(picture, (folder + "ours.png").c_str()); }) &&
        Time(
            "jpeg_baseline", runs,
            [&] { return formats::SaveJpeg(picture, (folder + "ours.jpg").c_str(), 85, false); }) &&
        Time("jpeg_progressive", runs, [&] {
            return formats::SaveJpeg(picture, (folder + "ours_prog.jpg").c_str(), 85, true);
        });
    std::printf("size %d %d\n", picture.Width, picture.Height);
    return ok ? 0 : 1;
}
