#pragma once

#include "image/Image.h"

namespace formats {

// Saves a 24-bit Image as an uncompressed bottom-up BMP file: the two standard
// headers followed by the pixel memory exactly as it lies in the Image. False
// (and no file, an existing one untouched) when the Image is not 24-bit or
// anything cannot be written.
bool SaveBmp(const image::Image& picture, const char* path);

} // namespace formats
