#pragma once

#include "image/Image.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by the picture-file tests: the folder of pictures made by
// independent encoders (make_inputs.py) and checked by independent decoders
// (check_outputs.py), pixel dumps (the exchange format with those scripts),
// and file system calls on UTF-8 paths of any length.

namespace formats_test {

// The generated data folder (ends in '/'), or empty when the test runs
// outside CTest and the fixture did not make it.
std::string DataDir();
constexpr const char* kNoData =
    "QUILTORA_FORMATS_DATA is not set: run through ctest so that make_inputs.py runs first";

using Bytes = std::vector<std::uint8_t>;
Bytes ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const Bytes& bytes);
// Deletes a file or an empty folder.
bool RemovePath(const std::string& path);

// A picture's dump: width and height as 32-bit little-endian numbers, then
// red, green, blue bytes, top row first.
Bytes Dump(const image::Image& picture);
// Peak signal-to-noise ratio of two dumps in decibels; 0 for pictures of
// different sizes, 999 for identical ones.
double Psnr(const Bytes& a, const Bytes& b);
// The largest difference between two samples of two dumps; 256 for pictures
// of different sizes.
int MaxDifference(const Bytes& a, const Bytes& b);

using testpictures::MakeImage;
using testsupport::MakeFolder;

} // namespace formats_test
