#pragma once

#include "image/Image.h"

namespace formats {

class ByteSink;
class RowSource;

// Saves a 24-bit Image as an uncompressed bottom-up BMP file: the two standard
// headers followed by the pixel memory exactly as it lies in the Image. False
// (and no file, an existing one untouched) when the Image is not 24-bit or
// anything cannot be written.
bool SaveBmp(const image::Image& picture, const char* path);

// The same file from rows that may still be coming, into a sink that can
// seek (the rows are placed from the end of the file back), left
// unfinished. False when a row never comes or a write fails.
bool WriteBmp(RowSource& rows, ByteSink& sink);

} // namespace formats
