#pragma once

#include "image/Image.h"

#include <cstdint>

namespace testpictures {

// A small deterministic generator, so that failures repeat.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state(seed * 2654435761u + 1) {}
    std::uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }

private:
    std::uint32_t state;
};

// Every byte of every pixel random, the fourth byte of 32-bit pixels too.
inline void FillNoise(image::Image& img, std::uint32_t seed) {
    Noise noise(seed);
    for (int y = 0; y < img.Height; ++y) {
        std::uint8_t* p = img.PixelAddress(0, y);
        for (int i = 0; i < img.Width * img.BytesPerPixel; ++i) {
            p[i] = static_cast<std::uint8_t>(noise.Next());
        }
    }
}

// Smooth gradients with a few hard black and white edges: the kind of picture
// where Lanczos overshoot reaches past 0 and 255.
inline void FillPhoto(image::Image& img, std::uint32_t seed) {
    Noise noise(seed);
    for (int y = 0; y < img.Height; ++y) {
        std::uint8_t* p = img.PixelAddress(0, y);
        for (int x = 0; x < img.Width; ++x) {
            std::uint8_t* pixel = p + x * img.BytesPerPixel;
            const bool edge = ((x / 5) + (y / 7)) % 4 == 0;
            const int grain = static_cast<int>(noise.Next() % 9) - 4;
            for (int c = 0; c < 3; ++c) {
                const int smooth = (x * (c + 3) * 7 + y * (5 - c) * 3) % 200 + 20 + grain;
                pixel[c] = static_cast<std::uint8_t>(edge ? (((x + c) / 3) % 2) * 255 : smooth);
            }
            if (img.BytesPerPixel == 4) {
                pixel[3] = static_cast<std::uint8_t>(noise.Next());
            }
        }
    }
}

} // namespace testpictures
