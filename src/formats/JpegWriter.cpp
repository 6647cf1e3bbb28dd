#include "formats/JpegWriter.h"

#include "formats/ImageRows.h"
#include "formats/JpegErrorManager.h"
#include "formats/SafeWriter.h"

#include <cstdint>
#include <new>
#include <vector>

namespace formats {

namespace {

constexpr std::size_t kOutputBytes = 64 * 1024;

// Hands the library's output to a ByteSink a buffer at a time. The library
// calls back through the jpeg_destination_mgr at its start, so the struct is
// what its dest field points at. A failed write ends the compression through
// the error manager.
struct SinkDestination {
    jpeg_destination_mgr manager;
    ByteSink* sink;
    std::uint8_t* buffer;

    static SinkDestination& Of(j_compress_ptr info) {
        return *reinterpret_cast<SinkDestination*>(info->dest);
    }
    static void Start(j_compress_ptr info) {
        SinkDestination& self = Of(info);
        self.manager.next_output_byte = self.buffer;
        self.manager.free_in_buffer = kOutputBytes;
    }
    // Called with the whole buffer full, whatever free_in_buffer says.
    static boolean Empty(j_compress_ptr info) {
        SinkDestination& self = Of(info);
        if (!self.sink->Write(self.buffer, kOutputBytes)) {
            ERREXIT(info, JERR_FILE_WRITE);
        }
        Start(info);
        return TRUE;
    }
    static void End(j_compress_ptr info) {
        SinkDestination& self = Of(info);
        const std::size_t used = kOutputBytes - self.manager.free_in_buffer;
        if (used > 0 && !self.sink->Write(self.buffer, static_cast<DWORD>(used))) {
            ERREXIT(info, JERR_FILE_WRITE);
        }
    }
};

struct CompressJob {
    RowSource* rows;
    SinkDestination* destination;
    std::uint8_t* scratch; // a row's bytes
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
    info.dest = &job.destination->manager;
    info.image_width = static_cast<JDIMENSION>(job.rows->Width());
    info.image_height = static_cast<JDIMENSION>(job.rows->Height());
    info.input_components = 3;
    // Rows hold blue, green, red; the library reads that order directly.
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, job.quality, TRUE);
    if (job.progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(job.rows->Row(static_cast<int>(info.next_scanline), job.scratch));
        if (row == nullptr) {
            jpeg_destroy_compress(&info);
            return false;
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

bool WriteJpeg(RowSource& rows, ByteSink& sink, int quality, bool progressive) {
    if (rows.Width() < 1 || rows.Height() < 1) {
        return false;
    }
    std::vector<std::uint8_t> buffer;
    std::vector<std::uint8_t> scratch;
    try {
        buffer.resize(kOutputBytes);
        scratch.resize(static_cast<std::size_t>(rows.Width()) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    SinkDestination destination = {};
    destination.manager.init_destination = SinkDestination::Start;
    destination.manager.empty_output_buffer = SinkDestination::Empty;
    destination.manager.term_destination = SinkDestination::End;
    destination.sink = &sink;
    destination.buffer = buffer.data();
    return Compress({&rows, &destination, scratch.data(), quality, progressive});
}

bool SaveJpeg(const image::Image& picture, const char* path, int quality, bool progressive) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3) {
        return false;
    }
    SafeWriter writer(path);
    ImageRows rows(picture);
    return writer.IsOpen() && WriteJpeg(rows, writer, quality, progressive) && writer.Finish();
}

} // namespace formats
