#pragma once

#include "image/Image.h"

namespace formats {

// Loads a BMP, PNG, JPEG or GIF file into a 24-bit Image, choosing the decoder
// by the file's first bytes, never by its name. False when the file cannot be
// opened, its first bytes match no decoder (JPEG files must start with a JFIF
// or Exif segment) or the decoder fails; the Image is then empty unless the
// file could not be opened or was not recognised, in which case it is left as
// it was.
bool LoadImageFile(image::Image& picture, const char* path);

// Loads a BMP file through the system at its own bit depth. A file stored
// top-down comes out upright, converted to 24 bits.
bool LoadBmp(image::Image& picture, const char* path);

// Loads a JPEG or GIF file through the system's OLE picture decoder, rendered
// into a new 24-bit Image. A GIF's transparent pixels show the colour its
// colour table gives the transparent index (black when there is none).
bool LoadWithOlePicture(image::Image& picture, const char* path);

} // namespace formats
