#pragma once

#include "image/Image.h"

namespace image {

// How Resample may use the machine. Neither choice changes a single output
// byte; they exist for the benchmark and for the tests that prove it.
struct ResampleOptions {
    int threads = 0;    // 0: one per processor; otherwise at most this many
    bool vector = true; // false: the scalar loop even where AVX2 exists
};

// Makes target a 24-bit width x height picture resampled from source with the
// separable three-lobe Lanczos filter: a horizontal pass into a width x
// source-height intermediate, then a vertical pass, each with 16.16 weights
// rounded by (sum + 32768) >> 16 and clamped to 0..255. An unchanged size is
// a GDI copy (which also turns a 32-bit source into 24 bits).
//
// A source below 24 bits, or a width or height below 1, leaves target as it
// was and returns false. When a picture or a weight table cannot be made the
// target is left empty and the result is false. Source and target may be the
// same Image.
bool Resample(const Image& source, Image& target, int width, int height);
bool Resample(const Image& source, Image& target, int width, int height,
              const ResampleOptions& options);

} // namespace image
