#include "formats/PictureFormat.h"

#include <cstring>

namespace formats {

PictureFormat RecognisePicture(const std::uint8_t* head, std::size_t size) {
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 2 && head[0] == 'B' && head[1] == 'M') {
        return PictureFormat::Bmp;
    }
    if (size >= sizeof(kPng) && std::memcmp(head, kPng, sizeof(kPng)) == 0) {
        return PictureFormat::Png;
    }
    if (size >= 3 && std::memcmp(head, "GIF", 3) == 0) {
        return PictureFormat::Gif;
    }
    if (size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0) {
        return PictureFormat::Webp;
    }
    // Whatever segment comes first (JFIF, Exif, Adobe, an ICC profile, a
    // comment, the tables): a zero after FF cannot be a marker.
    if (size >= 4 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF && head[3] != 0x00) {
        return PictureFormat::Jpeg;
    }
    return PictureFormat::Unknown;
}

} // namespace formats
