#include "formats/JpegWriter.h"

#include "formats/JpegErrorManager.h"
#include "formats/TemporaryFile.h"

#include <windows.h>

#include <io.h>

#include <cstdio>

namespace formats {

namespace {

struct CompressJob {
    const image::Image* picture;
    std::FILE* file;
    int quality;
    bool progressive;
};

// Runs the whole compression. It holds only plain data, so a longjmp out of
// the library skips no destructor; the compression object is destroyed on
// both paths.
bool Compress(const CompressJob& job) {
    jpeg_compress_struct info = {};
    JpegErrorManager errors = {};
    info.err = errors.Install();
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, job.file);
    info.image_width = static_cast<JDIMENSION>(job.picture->Width);
    info.image_height = static_cast<JDIMENSION>(job.picture->Height);
    info.input_components = 3;
    // The Image holds blue, green, red; the library reads that order directly.
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, job.quality, TRUE);
    if (job.progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    // Top row first: it is the last row in memory, and each row below it lies
    // one stride lower.
    JSAMPROW row = job.picture->Bits + job.picture->TopRowOffset;
    while (info.next_scanline < info.image_height) {
        jpeg_write_scanlines(&info, &row, 1);
        row -= job.picture->Stride;
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

bool SaveJpeg(const image::Image& picture, const char* path, int quality, bool progressive) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3) {
        return false;
    }
    TemporaryFile temporary(path);
    if (!temporary.IsReady()) {
        return false;
    }
    // The wide call takes the temporary file's path whatever its length.
    std::FILE* file = _wfopen(temporary.WidePath(), L"wb");
    if (file == nullptr) {
        return false;
    }
    // The library checks its own writes (and the final flush); the data must
    // also reach the disk before the rename makes them the target.
    bool written = Compress({&picture, file, quality, progressive});
    written = written && std::fflush(file) == 0 &&
              FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FALSE;
    written = std::fclose(file) == 0 && written;
    return written && temporary.Commit();
}

} // namespace formats
