#include "app/JoinSave.h"

#include "formats/BmpWriter.h"
#include "formats/JpegWriter.h"
#include "formats/PngWriter.h"
#include "formats/WebpWriter.h"

#include <new>

namespace app {

JoinSave::JoinSave(const JoinOptions& options, const settings::AppSettings& settings,
                   const image::JoinDocument& document, job::JobObserver& reports,
                   std::int64_t streamFrom)
    : options(options), settings(settings), document(document), reports(reports),
      streamFrom(streamFrom) {}

void JoinSave::Started(int visits) {
    // Nothing settles before the end of a single row or picture: a stream
    // would only add its copies and its memory to the save.
    streams = visits > 1 && options.arrangement != job::OneRow;
    reports.Started(visits);
}

void JoinSave::Reserved(int width, int height) {
    reports.Reserved(width, height);
    if (!streams || static_cast<std::int64_t>(image::RowStride(width, 24)) * height < streamFrom) {
        return;
    }
    job::CanvasStream::Writer writer;
    const int quality = settings.JPEGQuality;
    const bool progressive = settings.JPEGProg != 0;
    switch (options.format) {
    case JoinOptions::Format::Bmp:
        writer = formats::WriteBmp;
        break;
    case JoinOptions::Format::Jpeg:
        writer = [quality, progressive](formats::RowSource& rows, formats::ByteSink& sink) {
            return formats::WriteJpeg(rows, sink, quality, progressive);
        };
        break;
    case JoinOptions::Format::Png:
        // Written in colour; a picture of 256 colours or fewer, which the
        // end tells, is saved again with a palette.
        writer = formats::WritePng;
        break;
    default:
        return; // a WebP encoder takes the whole picture at once
    }
    try {
        stream = std::make_unique<job::CanvasStream>(document, width, height,
                                                     static_cast<std::uint32_t>(settings.BkColor),
                                                     options.output, std::move(writer));
    } catch (const std::bad_alloc&) {
        // Saved at the end instead, if memory comes back by then.
    }
}

void JoinSave::Pasted(const std::string& path, int taken, int count) {
    if (stream != nullptr) {
        stream->Settle(document.lastCell.y);
    }
    reports.Pasted(path, taken, count);
}

void JoinSave::Skipped(const std::string& path, bool notLoaded) {
    if (stream != nullptr) {
        stream->Settle(document.lastCell.y);
    }
    reports.Skipped(path, notLoaded);
}

bool JoinSave::Save() {
    if (stream != nullptr) {
        image::PixelValue table[256];
        streamed = stream->Finish() &&
                   (options.format != JoinOptions::Format::Png ||
                    formats::CountColours(document.picture, table) == 0) &&
                   stream->Commit();
        stream.reset();
    }
    return streamed || SaveAtEnd();
}

bool JoinSave::SaveAtEnd() const {
    const image::Image& picture = document.picture;
    switch (options.format) {
    case JoinOptions::Format::Bmp:
        return formats::SaveBmp(picture, options.output.c_str());
    case JoinOptions::Format::Jpeg:
        return formats::SaveJpeg(picture, options.output.c_str(), settings.JPEGQuality,
                                 settings.JPEGProg != 0);
    case JoinOptions::Format::Webp:
        return formats::SaveWebp(picture, options.output.c_str(), settings.JPEGQuality,
                                 settings.WebPLossless != 0);
    default:
        return formats::SavePng(picture, options.output.c_str());
    }
}

} // namespace app
