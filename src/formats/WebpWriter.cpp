#include "formats/WebpWriter.h"

#include "formats/SafeWriter.h"

#include <webp/encode.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace formats {

namespace {

// Owns the library's picture and whatever it converts the pixels into.
class EncoderPicture {
public:
    EncoderPicture() { ready = WebPPictureInit(&picture) != 0; }
    ~EncoderPicture() { WebPPictureFree(&picture); }
    EncoderPicture(const EncoderPicture&) = delete;
    EncoderPicture& operator=(const EncoderPicture&) = delete;

    bool ready = false;
    WebPPicture picture;
};

// The library hands over the file's bytes piece by piece as it codes them.
extern "C" int WriteToFile(const std::uint8_t* data, std::size_t size, const WebPPicture* picture) {
    auto* writer = static_cast<SafeWriter*>(picture->custom_ptr);
    return size <= MAXDWORD && writer->Write(data, static_cast<DWORD>(size)) ? 1 : 0;
}

} // namespace

bool SaveWebp(const image::Image& picture, const char* path, int quality, bool lossless) {
    if (picture.IsEmpty() || picture.BytesPerPixel != 3 || picture.Width > kWebpMaxSide ||
        picture.Height > kWebpMaxSide) {
        return false;
    }
    WebPConfig config;
    EncoderPicture encoder;
    if (!WebPConfigInit(&config) || !encoder.ready) {
        return false;
    }
    config.lossless = lossless ? 1 : 0;
    if (!lossless) {
        config.quality = static_cast<float>(std::min(std::max(quality, 1), 100));
    }
    // Analysis and coding overlap on a second thread; the output is the same.
    config.thread_level = 1;
    WebPPicture& input = encoder.picture;
    input.width = picture.Width;
    input.height = picture.Height;
    // Lossless coding works on ARGB pixels, lossy on YUV: importing into the
    // one the coder uses spares a conversion.
    input.use_argb = config.lossless;
    // The top row is the last in memory: a negative stride walks down.
    if (!WebPValidateConfig(&config) ||
        !WebPPictureImportBGR(&input, picture.Bits + picture.TopRowOffset, -picture.Stride)) {
        return false;
    }
    SafeWriter writer(path);
    input.writer = WriteToFile;
    input.custom_ptr = &writer;
    return writer.IsOpen() && WebPEncode(&config, &input) && writer.Finish();
}

} // namespace formats
