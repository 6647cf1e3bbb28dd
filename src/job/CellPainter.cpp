#include "job/CellPainter.h"

#include "image/CellLayout.h"
#include "image/Resampler.h"
#include "win/WidePath.h"

namespace job {

namespace {

// The picture at exactly width x height: itself when that is its size.
bool Fit(image::Image& source, image::Image& target, int width, int height) {
    if (source.Width == width && source.Height == height && source.BytesPerPixel == 3) {
        target.Swap(source);
        return true;
    }
    return image::Resample(source, target, width, height);
}

} // namespace

CellPainter::CellPainter(const JobLayout& layout, std::int32_t background)
    : captionSize(layout.captionSize), background(background) {}

bool CellPainter::Make(image::Image* source, const LayoutPlan::Cell& cell,
                       image::PreparedPicture& prepared) {
    image::Image& target = prepared.resized;
    prepared.size.boxWidth = cell.width;
    prepared.size.boxHeight = cell.height;
    prepared.size.pictureRect = cell.picture;
    if (!image::CanvasFits(cell.width, cell.height)) {
        target.Destroy();
        return false;
    }
    const image::PictureRect& place = cell.picture;
    const bool visible = source != nullptr && place.width > 0 && place.height > 0;
    if (cell.bandHeight == 0) {
        // The paste leaves the padding in the background colour.
        if (!visible) {
            target.Destroy();
            return true;
        }
        return Fit(*source, target, place.width, place.height);
    }
    image::Image picture;
    if (visible && !Fit(*source, picture, place.width, place.height)) {
        return false;
    }
    if (!target.Create(cell.width, cell.height, 24)) {
        return false;
    }
    target.FillAll(image::ColourToPixel(static_cast<std::uint32_t>(background)));
    if (visible) {
        target.BlitFrom(place.x, place.y, picture, 0, 0, place.width, place.height);
    }
    prepared.size.pictureRect = {0, 0, cell.width, cell.height};
    return DrawCaption(target, cell);
}

bool CellPainter::DrawCaption(image::Image& target, const LayoutPlan::Cell& cell) {
    if (!font) {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
            return false;
        }
        metrics.lfMessageFont.lfHeight = -captionSize;
        metrics.lfMessageFont.lfWidth = 0;
        metrics.lfMessageFont.lfQuality = ANTIALIASED_QUALITY;
        font = win::GdiObject(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    if (!dc || !font) {
        return false;
    }
    const win::SelectScope bitmap(dc.Get(), target.Bitmap);
    const win::SelectScope text(dc.Get(), font.Get());
    if (!bitmap.Selected() || !text.Selected()) {
        return false;
    }
    const std::uint32_t colour = static_cast<std::uint32_t>(background);
    const unsigned luminance =
        (299 * (colour & 0xFF) + 587 * (colour >> 8 & 0xFF) + 114 * (colour >> 16 & 0xFF)) / 1000;
    SetTextColor(dc.Get(), luminance < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    SetBkMode(dc.Get(), TRANSPARENT);
    // GDI garbles UTF-8 through the A calls: the text goes as UTF-16.
    const std::wstring wide = file::WideText(cell.caption.c_str());
    RECT band = {0, cell.height - cell.bandHeight, cell.width, cell.height};
    DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &band,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    // The pixels are read through the section's memory next.
    GdiFlush();
    return true;
}

} // namespace job
