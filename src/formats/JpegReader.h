#pragma once

#include "formats/ByteSource.h"
#include "image/Image.h"

namespace formats {

// Loads a JPEG file into a new 24-bit Image through libjpeg, decoded from the
// whole file in memory with the library's default (accurate) transform and
// smooth colour upsampling: baseline, progressive and arithmetic-coded
// pictures, in grey, YCbCr, RGB, CMYK or YCCK. The frame header is checked
// first (see JpegFrameHeader); nothing is set up for the pixels of a file that
// fails it. Damaged coded data load as far as the library can recover them,
// and so does a file cut short after its first scan began (what is missing
// comes out grey, or as coarse as the scans read made it); damaged, when
// given, is then set. A fatal library error, or more scans than any real file
// has, refuses the file. The picture is then turned upright as its Exif
// orientation says. The Image's bitmap is decoded into again when it has the
// stored picture's size. False, with an empty Image, when the file is refused
// or memory runs out.
bool LoadJpeg(image::Image& picture, const char* path, bool* damaged = nullptr);
// The same from an open source, from its start.
bool LoadJpeg(image::Image& picture, ByteSource& source, bool* damaged = nullptr);

} // namespace formats
