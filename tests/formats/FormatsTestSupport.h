#pragma once

#include "image/Image.h"

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by the picture-file tests: the folder of pictures made by
// independent encoders (tests/formats/make_inputs.py) and checked by
// independent decoders (tests/formats/check_outputs.py), whole-file access and
// RGB dumps, the exchange format between this program and those scripts.

namespace formats_test {

// The generated data folder (ends in '/'), or empty when the test runs
// outside CTest and the fixture did not make it.
std::string DataDir();
constexpr const char* kNoData =
    "QUILTORA_FORMATS_DATA is not set: run through ctest so that make_inputs.py runs first";

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool FileExists(const std::string& path);

// A picture as red, green, blue bytes, top row first.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
};
// A dump: width and height as 32-bit little-endian numbers, then the bytes.
bool ReadDump(const std::string& path, Rgb& picture);
bool WriteDump(const std::string& path, const image::Image& picture);
Rgb FromImage(const image::Image& picture);
// Peak signal-to-noise ratio in decibels; 0 for pictures of different sizes,
// 999 for identical ones.
double Psnr(const Rgb& a, const Rgb& b);

// A 24-bit Image whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
template <typename Colour> bool MakeImage(image::Image& picture, int w, int h, Colour colour) {
    if (!picture.Create(w, h, 24)) {
        return false;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            picture.WritePixel(x, y, colour(x, y) & 0xFFFFFF, false);
        }
    }
    return true;
}

// Names of the *.tmp files in a folder (a failed save must leave none).
std::vector<std::string> TemporaryFilesIn(const std::string& folder);

} // namespace formats_test
