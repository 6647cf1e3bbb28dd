#include "formats/WebpReader.h"

#include "formats/AlphaBlend.h"
#include "image/ByteBuffer.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <climits>
#include <cstddef>
#include <cstdint>

namespace formats {

namespace {

// A frame's coded bytes and where it lies on the canvas.
struct Frame {
    const std::uint8_t* data;
    std::size_t size;
    int x;
    int y;
    int width;
    int height;
};

// Owns the demuxer of an animation; the file's bytes outlive it.
class Demuxer {
public:
    Demuxer(const std::uint8_t* bytes, std::size_t size) {
        const WebPData data = {bytes, size};
        demuxer = WebPDemux(&data);
    }
    ~Demuxer() { WebPDemuxDelete(demuxer); }
    Demuxer(const Demuxer&) = delete;
    Demuxer& operator=(const Demuxer&) = delete;

    // The first frame, which must lie inside the canvas.
    bool FirstFrame(int canvasWidth, int canvasHeight, Frame& frame) const {
        WebPIterator iterator = {};
        if (demuxer == nullptr || !WebPDemuxGetFrame(demuxer, 1, &iterator)) {
            return false;
        }
        frame = {iterator.fragment.bytes, iterator.fragment.size, iterator.x_offset,
                 iterator.y_offset,       iterator.width,         iterator.height};
        WebPDemuxReleaseIterator(&iterator);
        return frame.width > 0 && frame.height > 0 && frame.x >= 0 && frame.y >= 0 &&
               frame.x <= canvasWidth - frame.width && frame.y <= canvasHeight - frame.height;
    }

private:
    WebPDemuxer* demuxer = nullptr;
};

// Frees what the decoder allocated for its output (nothing when it wrote into
// the Image).
class DecoderOutput {
public:
    explicit DecoderOutput(WebPDecoderConfig& config) : buffer(config.output) {}
    ~DecoderOutput() { WebPFreeDecBuffer(&buffer); }
    DecoderOutput(const DecoderOutput&) = delete;
    DecoderOutput& operator=(const DecoderOutput&) = delete;

private:
    WebPDecBuffer& buffer;
};

// Blends rows of blue, green, red, alpha over the background into 24-bit rows.
void BlendRows(const WebPRGBABuffer& rows, int width, int height, image::Image& picture, int x0,
               int y0, std::uint32_t background) {
    const unsigned back[3] = {(background >> 16) & 0xFF, (background >> 8) & 0xFF,
                              background & 0xFF};
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rows.rgba + static_cast<std::ptrdiff_t>(y) * rows.stride;
        std::uint8_t* out = picture.PixelAddress(x0, y0 + y);
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const unsigned alpha = in[3];
            for (int c = 0; c < 3; ++c) {
                out[c] = BlendSample(in[c], alpha, back[c]);
            }
        }
    }
}

// Decodes one frame onto its place in the picture: an opaque one straight into
// the Image's rows (bottom-up, so the decoder is told to flip), one with
// alpha through a buffer of its own, blended.
bool DecodeFrame(const Frame& frame, image::Image& picture, std::uint32_t background) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(frame.data, frame.size, &config.input) != VP8_STATUS_OK ||
        config.input.width != frame.width || config.input.height != frame.height) {
        return false;
    }
    DecoderOutput owned(config);
    const bool alpha = config.input.has_alpha != 0;
    // No decoder thread of its own: it made loads slower, and a batch already
    // loads pictures on the other cores.
    config.output.colorspace = alpha ? MODE_BGRA : MODE_BGR;
    if (!alpha) {
        config.options.flip = 1;
        config.output.is_external_memory = 1;
        config.output.u.RGBA.rgba = picture.PixelAddress(frame.x, frame.y + frame.height - 1);
        config.output.u.RGBA.stride = picture.Stride;
        config.output.u.RGBA.size =
            static_cast<std::size_t>(picture.Stride) * (frame.height - 1) + frame.width * 3;
    }
    if (WebPDecode(frame.data, frame.size, &config) != VP8_STATUS_OK) {
        return false;
    }
    if (alpha) {
        BlendRows(config.output.u.RGBA, frame.width, frame.height, picture, frame.x, frame.y,
                  background);
    }
    return true;
}

// The whole source: the memory a memory source reads, else its bytes read
// into bytes; null when it is empty or cannot be read.
const std::uint8_t* ReadAll(ByteSource& source, image::ByteBuffer& bytes, std::size_t& size) {
    const DWORD length = source.Size();
    size = length;
    if (length == 0 || length == INVALID_FILE_SIZE) {
        return nullptr;
    }
    if (source.Memory() != nullptr) {
        return source.Memory();
    }
    return source.Seek(0, FILE_BEGIN) == 0 && bytes.Allocate(length, false) != nullptr &&
                   source.Read(bytes.Data(), length) == length
               ? bytes.Data()
               : nullptr;
}

} // namespace

bool LoadWebp(image::Image& picture, const char* path, std::uint32_t background) {
    ByteSource source;
    if (!source.OpenFile(path)) {
        picture.Destroy();
        return false;
    }
    return LoadWebp(picture, source, background);
}

bool LoadWebp(image::Image& picture, ByteSource& source, std::uint32_t background) {
    image::ByteBuffer bytes;
    std::size_t size = 0;
    WebPBitstreamFeatures features;
    // The canvas's size comes from the headers alone; nothing is decoded yet.
    const std::uint8_t* data = ReadAll(source, bytes, size);
    if (data == nullptr || WebPGetFeatures(data, size, &features) != VP8_STATUS_OK) {
        picture.Destroy();
        return false;
    }
    const int width = features.width;
    const int height = features.height;
    const int stride = width > 0 && height > 0 ? image::RowStride(width, 24) : 0;
    bool loaded = stride != 0 && static_cast<std::int64_t>(stride) * height <= INT_MAX;
    Frame frame = {data, size, 0, 0, width, height};
    const bool animated = features.has_animation != 0;
    const Demuxer demuxer(data, loaded && animated ? size : 0);
    loaded = loaded && (!animated || demuxer.FirstFrame(width, height, frame)) &&
             picture.Create(width, height, 24);
    if (loaded && animated) {
        picture.FillAll(image::ColourToPixel(background));
    }
    if (!loaded || !DecodeFrame(frame, picture, background)) {
        picture.Destroy();
        return false;
    }
    return true;
}

} // namespace formats
