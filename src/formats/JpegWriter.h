#pragma once

#include "image/Image.h"

namespace formats {

class ByteSink;
class RowSource;

// Saves a 24-bit Image as a JPEG file through libjpeg: the library's defaults
// (YCbCr, JFIF header, standard Huffman tables) with the given quality (1 to
// 100, baseline-compatible tables) and, when progressive is set, the
// library's standard progression script. False, with no file left behind and
// an existing file untouched, when the Image is not 24-bit, the file cannot be
// written or the library reports an error (for example a side over 65500
// pixels).
bool SaveJpeg(const image::Image& picture, const char* path, int quality, bool progressive);

// The same from rows that may still be coming, into any sink, which is left
// unfinished. False when a row never comes, a write fails or the library
// reports an error.
bool WriteJpeg(RowSource& rows, ByteSink& sink, int quality, bool progressive);

} // namespace formats
