// Times the Lanczos resampler and the join.
//   image_bench [--no-join] [picture.bmp]
// Writes the synthetic photo it resamples to picture.bmp (when given) so that
// other programs can resize the very same pixels, then prints one line per
// measurement.
#include "image/Image.h"
#include "image/JoinDocument.h"
#include "image/Resampler.h"
#include "image/PasteParameters.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Smooth light and colour changes, texture, grain and a few sharp edges:
// roughly what a camera picture offers a resampler.
void FillPhoto(image::Image& img) {
    std::uint32_t noise = 12345;
    for (int y = 0; y < img.Height; ++y) {
        std::uint8_t* row = img.PixelAddress(0, y);
        for (int x = 0; x < img.Width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double fx = x / static_cast<double>(img.Width);
            const double fy = y / static_cast<double>(img.Height);
            const double light = 0.5 + 0.35 * std::sin(fx * 5.0 + fy * 3.0);
            const double texture = 0.1 * std::sin(x * 0.21) * std::cos(y * 0.17);
            const bool edge = ((x / 150) + (y / 110)) % 7 == 0;
            const int grain = static_cast<int>((noise >> 24) % 13) - 6;
            for (int c = 0; c < 3; ++c) {
                double v = 255.0 * (light * (0.6 + 0.2 * c * fx) + texture);
                if (edge) {
                    v = 255.0 - v;
                }
                const int value = static_cast<int>(v) + grain;
                row[3 * x + c] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            }
        }
    }
}

// A 24-bit BMP file: the DIB section's memory is already the file's pixel
// layout (bottom-up, rows padded to 4 bytes).
bool WriteBmp(const image::Image& img, const char* path) {
    const DWORD pixels = static_cast<DWORD>(img.Stride) * img.Height;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof(info);
    info.biWidth = img.Width;
    info.biHeight = img.Height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = pixels;
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                    std::fwrite(&info, sizeof(info), 1, out) == 1 &&
                    std::fwrite(img.Bits, pixels, 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

void BenchResample(const image::Image& photo, const char* name, int width, int height,
                   int threads) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        image::Image result;
        image::ResampleOptions options;
        options.threads = threads;
        const Clock::time_point start = Clock::now();
        if (!image::Resample(photo, result, width, height, options)) {
            std::printf("resample %s failed\n", name);
            return;
        }
        times.push_back(Milliseconds(start));
    }
    const double ms = Median(times);
    std::printf("resample %s %dx%d->%dx%d threads=%d median_ms=%.1f output_mpix_per_s=%.1f\n", name,
                photo.Width, photo.Height, width, height, threads, ms,
                width * static_cast<double>(height) / 1e3 / ms);
    std::fflush(stdout);
}

void BenchJoin(int count, bool wrapped) {
    image::PasteParameters settings;
    settings.gapWidth = 4;
    settings.background = 0x00FFFFFF;
    settings.gapColour = 0x00C0C0C0;
    image::Image tile;
    if (!tile.Create(200, 150, 24)) {
        return;
    }
    FillPhoto(tile);
    // Twenty pictures and their gaps fit the wrap width exactly.
    const int wrapWidth = wrapped ? 20 * 200 + 19 * 4 : 0;
    image::JoinDocument document;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) {
        image::Image source;
        source.Create(tile.Width, tile.Height, 24);
        source.BlitFrom(0, 0, tile, 0, 0, tile.Width, tile.Height);
        if (!document.PasteImage(source, false, wrapWidth, settings)) {
            std::printf("join failed at picture %d\n", i + 1);
            return;
        }
    }
    const double ms = Milliseconds(start);
    std::printf("join %s n=%d canvas=%dx%d total_ms=%.1f ms_per_picture=%.3f\n",
                wrapped ? "rows_of_20" : "one_row", count, document.width, document.height, ms,
                ms / count);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    bool join = true;
    const char* picturePath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-join") == 0) {
            join = false;
        } else {
            picturePath = argv[i];
        }
    }
    image::Image photo;
    if (!photo.Create(4000, 3000, 24)) {
        std::printf("cannot create the test picture\n");
        return 1;
    }
    FillPhoto(photo);
    if (picturePath != nullptr && !WriteBmp(photo, picturePath)) {
        std::printf("cannot write %s\n", picturePath);
        return 1;
    }
    std::printf("processors=%u\n",
                std::max(1u, static_cast<unsigned>(std::thread::hardware_concurrency())));
    for (int threads : {1, 2}) {
        BenchResample(photo, "reduce", 1000, 750, threads);
        BenchResample(photo, "enlarge", 6000, 4500, threads);
    }
    for (bool wrapped : {false, true}) {
        if (!join) {
            break;
        }
        for (int count : {100, 200, 400, 800}) {
            BenchJoin(count, wrapped);
        }
    }
    return 0;
}
