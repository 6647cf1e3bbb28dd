#include "formats/JpegReader.h"

#include "formats/JpegErrorManager.h"
#include "formats/JpegFrameHeader.h"
#include "image/ByteBuffer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace formats {

namespace {

// The library goes over its whole coefficient buffer once for every scan of a
// progressive or multi-scan file, however few bytes the scan holds: a damaged
// or crafted file of thousands of tiny scans would keep it busy for minutes.
// Encoders' progressive scripts use about ten.
constexpr int kMaxScans = 500;

// Called by the library before each piece of input it absorbs.
extern "C" void LimitScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        (*info->err->error_exit)(info);
    }
}

// What Decode works on: the file in memory, the size the frame header gave
// and the Image to fill; damaged receives whether the library met damaged or
// missing data on its way.
struct DecodeJob {
    const std::uint8_t* data;
    std::size_t size;
    int width;
    int height;
    image::Image* picture;
    bool* damaged;
};

std::size_t Get16(const std::uint8_t* p) {
    return static_cast<std::size_t>(p[0]) << 8 | p[1];
}

// The bytes of the file up to the first marker segment that its end cuts
// short, from the coded data of the first scan on. At the end of its data the
// library's memory source supplies an end-of-image marker and goes on, which
// ends a file cut inside coded data as far as it goes; but a segment between
// two scans cut short is read on into that marker and fails the whole file.
// Without that segment the file ends like one cut after the scan before it.
std::size_t WholeSegmentsEnd(const std::uint8_t* data, std::size_t size, std::size_t at) {
    if (size >= 2 && data[size - 2] == 0xFF && data[size - 1] == 0xD9) {
        return size; // ends as a whole file does
    }
    while (at < size) {
        const void* found = std::memchr(data + at, 0xFF, size - at);
        if (found == nullptr) {
            return size;
        }
        const std::size_t marker = static_cast<const std::uint8_t*>(found) - data;
        std::size_t code = marker + 1;
        while (code < size && data[code] == 0xFF) {
            ++code; // fill bytes
        }
        if (code >= size) {
            return size;
        }
        const std::uint8_t value = data[code];
        if (value == 0xD9) {
            return size;
        }
        // A stuffed zero in coded data, a restart marker or TEM stand alone.
        if (value == 0x00 || value == 0x01 || (value >= 0xD0 && value <= 0xD7)) {
            at = code + 1;
            continue;
        }
        // Every other marker starts a segment whose length counts itself.
        if (size - code - 1 < 2 || Get16(data + code + 1) > size - code - 1) {
            return marker;
        }
        at = code + 1 + Get16(data + code + 1);
    }
    return size;
}

// Turns a row of C, M, Y, K samples into blue, green, red: each colour is the
// light its ink lets through times the light black lets through,
// (255 - C) * (255 - K) / 255, rounded. Files with an Adobe marker (all of
// Photoshop's) store every sample inverted, 255 meaning no ink; the library
// passes the samples on as stored.
void InksToBgr(const JSAMPLE* inks, std::uint8_t* bgr, JDIMENSION width, bool inverted) {
    const unsigned flip = inverted ? 0 : 255;
    for (JDIMENSION x = 0; x < width; ++x, inks += 4, bgr += 3) {
        const unsigned black = inks[3] ^ flip;
        for (int c = 0; c < 3; ++c) {
            bgr[2 - c] = static_cast<std::uint8_t>(((inks[c] ^ flip) * black + 127) / 255);
        }
    }
}

// Runs the whole decompression, creating the picture once the library has
// read the headers and agrees with the frame header on the size. Like the
// writer's Compress it holds only plain data, so a jump back from the library
// skips no destructor; the picture is the caller's, which empties it when
// this fails.
bool Decode(const DecodeJob& job) {
    jpeg_decompress_struct info = {};
    JpegErrorManager errors = {};
    jpeg_progress_mgr progress = {};
    info.err = errors.Install();
    progress.progress_monitor = LimitScans;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    jpeg_mem_src(&info, job.data, static_cast<unsigned long>(job.size));
    jpeg_read_header(&info, TRUE);
    // The library turns YCCK into CMYK, converted here; every other colour
    // space it can give as blue, green, red itself, straight into the Image's
    // rows. It refuses the rest (two components, or five and more).
    const bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = inks ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const JSAMPROW inkRow =
        inks ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                         info.output_width * 4, 1)[0]
             : nullptr;
    bool decoded = info.output_width == static_cast<JDIMENSION>(job.width) &&
                   info.output_height == static_cast<JDIMENSION>(job.height) &&
                   job.picture->Create(job.width, job.height, 24);
    while (decoded && info.output_scanline < info.output_height) {
        std::uint8_t* row = job.picture->PixelAddress(0, static_cast<int>(info.output_scanline));
        JSAMPROW target = inks ? inkRow : row;
        decoded = jpeg_read_scanlines(&info, &target, 1) == 1;
        if (decoded && inks) {
            InksToBgr(inkRow, row, info.output_width, info.saw_Adobe_marker != FALSE);
        }
    }
    // What follows the last row (normally just the end marker) is not read.
    *job.damaged = errors.damaged;
    jpeg_destroy_decompress(&info);
    return decoded;
}

// Makes the picture a copy turned as an Exif orientation says (2 to 8):
// mirrored, turned or both, orientations 5 to 8 with their sides swapped.
// False, with the picture as it was, when the copy cannot be made.
bool Reorient(image::Image& picture, int orientation) {
    const bool swap = orientation >= 5;
    const bool flipX = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
    const bool flipY = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
    image::Image turned;
    if (!turned.Create(swap ? picture.Height : picture.Width, swap ? picture.Width : picture.Height,
                       24)) {
        return false;
    }
    for (int y = 0; y < turned.Height; ++y) {
        for (int x = 0; x < turned.Width; ++x) {
            // (u, v): the pixel in the stored picture before any mirroring.
            const int u = swap ? y : x;
            const int v = swap ? x : y;
            std::memcpy(turned.PixelAddress(x, y),
                        picture.PixelAddress(flipX ? picture.Width - 1 - u : u,
                                             flipY ? picture.Height - 1 - v : v),
                        3);
        }
    }
    picture.Swap(turned);
    return true;
}

} // namespace

bool LoadJpeg(image::Image& picture, const char* path, bool* damaged) {
    ByteSource source;
    if (!source.OpenFile(path)) {
        picture.Destroy();
        if (damaged != nullptr) {
            *damaged = false;
        }
        return false;
    }
    return LoadJpeg(picture, source, damaged);
}

bool LoadJpeg(image::Image& picture, ByteSource& source, bool* damaged) {
    image::ByteBuffer bytes;
    DWORD size = source.Size();
    const std::uint8_t* data = source.Memory();
    if (data == nullptr && size != INVALID_FILE_SIZE && bytes.Allocate(size, false) != nullptr &&
        source.Seek(0, FILE_BEGIN) == 0 && source.Read(bytes.Data(), size) == size) {
        data = bytes.Data();
    }
    if (data == nullptr || size == INVALID_FILE_SIZE) {
        size = 0;
    }
    JpegFrameHeader frame;
    const bool framed = size != 0 && frame.Read(data, size) && frame.Decodable();
    // A bitmap of the stored picture's size is decoded into again: memory the
    // process has touched costs far less than fresh pages (see Image::Create).
    // Any other goes before the library takes memory of its own.
    if (!framed || picture.Width != frame.Width() || picture.Height != frame.Height()) {
        picture.Destroy();
    }
    bool damagedData = false;
    const bool loaded = framed &&
                        Decode({data, WholeSegmentsEnd(data, size, size - frame.DataBytes()),
                                frame.Width(), frame.Height(), &picture, &damagedData}) &&
                        (frame.Orientation() == 1 || Reorient(picture, frame.Orientation()));
    if (!loaded) {
        picture.Destroy();
    }
    if (damaged != nullptr) {
        *damaged = loaded && damagedData;
    }
    return loaded;
}

} // namespace formats
