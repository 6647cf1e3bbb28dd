#pragma once

#include "formats/PngWriter.h"
#include "image/Image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// Pictures the tests make and compare: painted by a function of the pixel's
// place, or of noise, and compared pixel by pixel.

namespace testpictures {

// Makes picture a 24-bit w x h Image whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
template <typename Colour> bool MakeImage(image::Image& picture, int w, int h, Colour colour) {
    if (!picture.Create(w, h, 24)) {
        return false;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            picture.WritePixel(x, y, colour(x, y) & 0xFFFFFF);
        }
    }
    return true;
}

// Saves a w x h PNG file of one colour.
inline bool SaveFilled(const std::string& path, int w, int h, image::PixelValue colour) {
    image::Image picture;
    return MakeImage(picture, w, h, [colour](int, int) { return colour; }) &&
           formats::SavePng(picture, path.c_str());
}

// Whether the w x h block of a at (ax, ay) shows the one of b at (bx, by).
inline ::testing::AssertionResult SameBlock(const image::Image& a, int ax, int ay,
                                            const image::Image& b, int bx, int by, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (a.ReadPixel(ax + x, ay + y) != b.ReadPixel(bx + x, by + y)) {
                return ::testing::AssertionFailure() << "differs at " << x << "," << y;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Whether two pictures are of one size and show the same pixels.
inline ::testing::AssertionResult SamePixels(const image::Image& a, const image::Image& b) {
    if (a.Width != b.Width || a.Height != b.Height) {
        return ::testing::AssertionFailure()
               << a.Width << "x" << a.Height << " and " << b.Width << "x" << b.Height;
    }
    return SameBlock(a, 0, 0, b, 0, 0, a.Width, a.Height);
}

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
