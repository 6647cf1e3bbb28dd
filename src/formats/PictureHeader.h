#pragma once

#include "formats/ByteSource.h"

namespace formats {

// The size a picture file will have once loaded, read from its header alone:
// PNG's IHDR, the BMP information header, GIF's logical screen, the WebP
// canvas and the JPEG frame header, whose sides swap for the Exif orientations
// that turn the picture a quarter (5 to 8), as the loader turns it. A file
// counts when the loader recognises its format (see RecognisePicture); a JPEG
// file besides only when its frame passes the loader's check
// (JpegFrameHeader::Decodable).
class PictureHeader {
public:
    // False when the file cannot be read or is none of those formats.
    bool Read(const char* path);
    // The same from an open source, from its start.
    bool Read(ByteSource& source);

    int Width() const { return width; }
    int Height() const { return height; }

private:
    int width = 0;
    int height = 0;
};

} // namespace formats
