#pragma once

#include "formats/RowSource.h"
#include "image/Image.h"

namespace formats {

// The rows of a 24-bit Image, read where they lie.
class ImageRows : public RowSource {
public:
    explicit ImageRows(const image::Image& picture)
        : RowSource(picture.Width, picture.Height), picture(picture) {}

    const std::uint8_t* Row(int y, std::uint8_t*) override { return picture.PixelAddress(0, y); }

private:
    const image::Image& picture;
};

} // namespace formats
