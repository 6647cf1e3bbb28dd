#pragma once

#include "formats/ByteSource.h"
#include "image/Image.h"

#include <cstdint>

namespace formats {

// Loads a BMP, PNG, JPEG, GIF or WebP file into a 24-bit Image, choosing the decoder
// by the file's first bytes, never by its name. False when the file cannot be
// opened, its first bytes match no decoder (see RecognisePicture) or the
// decoder fails; the Image is then empty unless the file could not be opened
// or was not recognised, in which case it is left as it was. Transparent and
// partly transparent pixels are blended over background, a COLORREF
// (0x00BBGGRR). damaged, when given, tells whether a picture that loaded came
// from a damaged file, read only as far as it could be: a PNG or JPEG file cut
// short, or JPEG coded data the decoder had to skip or fill in.
constexpr std::uint32_t kWhiteBackground = 0x00FFFFFF;
bool LoadImageFile(image::Image& picture, const char* path,
                   std::uint32_t background = kWhiteBackground, bool* damaged = nullptr);
// The same from an open source, read from its start: the file is opened once
// for its recognition and its decoding.
bool LoadImageFile(image::Image& picture, ByteSource& source,
                   std::uint32_t background = kWhiteBackground, bool* damaged = nullptr);

// Each loader below also reads an open source from its start; given a path,
// it opens the file once and reads that.

// Loads a BMP file (any bit depth, bit fields, run-length coding, core or
// newer headers, rows stored either way up) into a new 24-bit Image, upright.
// Its headers are checked first (see BmpHeader); GDI converts the rows. A
// file with an alpha channel is blended over background (see
// BmpHeader::BlendAlpha).
bool LoadBmp(image::Image& picture, const char* path, std::uint32_t background = kWhiteBackground);
bool LoadBmp(image::Image& picture, ByteSource& source,
             std::uint32_t background = kWhiteBackground);

// Loads a GIF file through the system's OLE picture decoder, rendered into a
// new 24-bit Image. Transparent pixels show background (a COLORREF). JPEG
// files go to LoadJpeg (JpegReader.h), PNG files to LoadPng (PngReader.h).
bool LoadGif(image::Image& picture, const char* path, std::uint32_t background = kWhiteBackground);
bool LoadGif(image::Image& picture, ByteSource& source,
             std::uint32_t background = kWhiteBackground);

} // namespace formats
