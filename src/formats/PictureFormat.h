#pragma once

#include <cstddef>
#include <cstdint>

namespace formats {

// The picture formats the loader reads, told by a file's first bytes alone.
enum class PictureFormat { Unknown, Bmp, Png, Jpeg, Gif, Webp };

// How many first bytes RecognisePicture looks at.
constexpr std::size_t kRecognisedBytes = 12;

// The format whose signature the first size bytes of a file start with: "BM",
// PNG's eight-byte signature, "GIF", "RIFF" with "WEBP" at byte 8, or a JPEG
// start of image followed by any marker (FF D8 FF and a marker code). Both the loader and the size
// estimate decide by this, so that a file one of them takes the other takes too; the format's own
// header check and decoder then judge the rest.
PictureFormat RecognisePicture(const std::uint8_t* head, std::size_t size);

} // namespace formats
