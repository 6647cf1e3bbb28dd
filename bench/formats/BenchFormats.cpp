// Times the picture-file work the program does: PNG decode, PNG encode (the
// save command's: level and filter 0 as SavePng chooses) and JPEG encode at
// quality 85, baseline and progressive, on a large picture; then PNG decode
// and encode of each small picture. For each JPEG photo, the program's whole
// load of the file (LoadImageFile) against a plain libjpeg-turbo decode of the
// same bytes, already in memory, into a buffer: each into memory kept from the
// run before (as a batch job loads one picture after another), and each into
// new memory (as a paste does), whose pages the system must first clear and
// map. Prints one "name milliseconds" line per task (the median of the runs;
// for small pictures, per picture), the load's time over the plain decode's,
// and the size of each PNG file it wrote, for scripts/bench-formats to compare
// with other tools. First, before anything else raises the process's peak, the
// memory a PNG save of a 4000 x 3000 picture needs beyond the picture itself
// ("png_encode_peak_mb"). WebP is timed alike: the save at quality 85, lossy
// and lossless, against libwebp's own encoder called directly with the same
// settings, and each WebP photo's load against libwebp's plain decode.
//
// usage: bench_formats INPUT.png OUTPUT_FOLDER [RUNS [SMALL.png | PHOTO.jpg | PHOTO.webp ...]]

#include "formats/ImageLoader.h"
#include "formats/JpegWriter.h"
#include "formats/PngReader.h"
#include "formats/PngWriter.h"
#include "formats/WebpWriter.h"
#include "image/ByteBuffer.h"
#include "win/FileHandle.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <webp/decode.h>
#include <webp/encode.h>

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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the task and returns how long it took in milliseconds, or a negative
// number (with a message) when it failed.
template <typename Task> double TimeOnce(const std::string& name, Task& task) {
    const double start = Now();
    if (!task()) {
        std::fprintf(stderr, "%s failed\n", name.c_str());
        return -1;
    }
    return Now() - start;
}

// Times the load and the plain decode by turns, so that the changing load of
// a shared machine falls on both alike, and prints their medians and the
// median of the ratios of each turn. False when either failed.
// format: "jpeg" or "webp", whose library's plain decode is "lib" + format.
template <typename Load, typename Plain>
bool TimeByTurns(const char* format, const std::string& what, int runs, Load load, Plain plain) {
    const std::string ours = std::string(format) + "_load_" + what;
    const std::string library = std::string("lib") + format + "_decode_" + what;
    std::vector<double> loads, plains, ratios;
    for (int i = 0; i < runs; ++i) {
        loads.push_back(TimeOnce(ours, load));
        plains.push_back(loads.back() < 0 ? -1 : TimeOnce(library, plain));
        if (plains.back() <= 0) {
            return false;
        }
        ratios.push_back(loads.back() / plains.back());
    }
    std::printf("%s %.1f\n%s %.1f\n%s_ratio_%s %.2f\n", ours.c_str(), Median(loads),
                library.c_str(), Median(plains), format, what.c_str(), Median(ratios));
    std::fflush(stdout);
    return true;
}

std::vector<unsigned char> ReadFileBytes(const char* path) {
    file::FileHandle file;
    std::vector<unsigned char> bytes;
    if (file.OpenRead(path)) {
        bytes.resize(file.Size());
        bytes.resize(bytes.empty() ? 0 : file.Read(bytes.data(), static_cast<DWORD>(bytes.size())));
    }
    return bytes;
}

// The least a program can do with the library: decode the bytes with its
// defaults into 24-bit rows of pixels, allocated unless a decode of the same
// photo left them there. The photos are well-formed, so the standard error
// handler (which ends the process) is enough here.
bool PlainDecode(const std::vector<unsigned char>& bytes, image::ByteBuffer& pixels) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const size_t rowBytes = static_cast<size_t>(info.output_width) * info.output_components;
    if (pixels.IsEmpty() && pixels.Allocate(rowBytes * info.output_height, false) == nullptr) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.Data() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// Times the program's load of a JPEG photo against the plain decode.
bool TimeJpegLoad(const char* path, int runs) {
    image::Image picture;
    if (!formats::LoadImageFile(picture, path)) {
        std::fprintf(stderr, "%s does not load\n", path);
        return false;
    }
    const std::string size = std::to_string(picture.Width) + "x" + std::to_string(picture.Height);
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    image::ByteBuffer kept;
    return TimeByTurns(
               "jpeg", "kept_" + size, runs, [&] { return formats::LoadImageFile(picture, path); },
               [&] { return PlainDecode(bytes, kept); }) &&
           TimeByTurns(
               "jpeg", "new_" + size, runs,
               [&] {
                   image::Image fresh;
                   return formats::LoadImageFile(fresh, path);
               },
               [&] {
                   image::ByteBuffer pixels;
                   return PlainDecode(bytes, pixels);
               });
}

// Times the program's load of a WebP photo against libwebp's plain decode of
// the bytes in memory into blue, green, red rows.
bool TimeWebpLoad(const char* path, int runs) {
    image::Image picture;
    if (!formats::LoadImageFile(picture, path)) {
        std::fprintf(stderr, "%s does not load\n", path);
        return false;
    }
    const std::string size = std::to_string(picture.Width) + "x" + std::to_string(picture.Height);
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    const int stride = picture.Width * 3;
    std::vector<std::uint8_t> kept(static_cast<std::size_t>(stride) * picture.Height);
    return TimeByTurns(
               "webp", "kept_" + size, runs, [&] { return formats::LoadImageFile(picture, path); },
               [&] {
                   return WebPDecodeBGRInto(bytes.data(), bytes.size(), kept.data(), kept.size(),
                                            stride) != nullptr;
               }) &&
           TimeByTurns(
               "webp", "new_" + size, runs,
               [&] {
                   image::Image fresh;
                   return formats::LoadImageFile(fresh, path);
               },
               [&] {
                   int w = 0, h = 0;
                   std::uint8_t* pixels = WebPDecodeBGR(bytes.data(), bytes.size(), &w, &h);
                   WebPFree(pixels);
                   return pixels != nullptr;
               });
}

// libwebp's own encoder on the picture's rows with the save's settings, its
// output kept in memory: what the writer adds is the file.
bool LibwebpEncode(const image::Image& picture, bool lossless) {
    std::uint8_t* output = nullptr;
    const std::uint8_t* top = picture.Bits + picture.TopRowOffset;
    const std::size_t size =
        lossless
            ? WebPEncodeLosslessBGR(top, picture.Width, picture.Height, -picture.Stride, &output)
            : WebPEncodeBGR(top, picture.Width, picture.Height, -picture.Stride, 85, &output);
    WebPFree(output);
    return size != 0;
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
                     "usage: bench_formats INPUT.png OUTPUT_FOLDER [RUNS [SMALL.png | PHOTO.jpg | "
                     "PHOTO.webp ...]]\n");
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
        Time("jpeg_progressive", runs, 1,
             [&] {
                 return formats::SaveJpeg(picture, (folder + "ours_prog.jpg").c_str(), 85, true);
             }) &&
        Time("webp_lossy", runs, 1,
             [&] {
                 return formats::SaveWebp(picture, (folder + "ours.webp").c_str(), 85, false);
             }) &&
        Time("libwebp_lossy", runs, 1, [&] { return LibwebpEncode(picture, false); }) &&
        Time("webp_lossless", runs, 1,
             [&] {
                 return formats::SaveWebp(picture, (folder + "ours_lossless.webp").c_str(), 85,
                                          true);
             }) &&
        Time("libwebp_lossless", runs, 1, [&] { return LibwebpEncode(picture, true); });
    std::printf("size %d %d\n", picture.Width, picture.Height);
    PrintSize(png);
    for (int i = 4; ok && i < argc; ++i) {
        const std::string small = argv[i];
        const std::string name = small.substr(small.find_last_of("/\\") + 1);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0) {
            ok = TimeJpegLoad(argv[i], runs);
            continue;
        }
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".webp") == 0) {
            ok = TimeWebpLoad(argv[i], runs);
            continue;
        }
        const std::string saved = folder + "ours_" + name;
        ok = Time("png_decode " + name, runs, 50,
                  [&] { return formats::LoadPng(picture, small.c_str()); }) &&
             Time("png_encode " + name, runs, 50,
                  [&] { return formats::SavePng(picture, saved.c_str()); });
        PrintSize(saved);
    }
    return ok ? 0 : 1;
}
