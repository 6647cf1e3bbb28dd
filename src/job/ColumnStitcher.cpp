#include "job/ColumnStitcher.h"

#include "image/Stitch.h"

#include <algorithm>
#include <new>
#include <utility>

namespace job {

namespace {

// Only a picture that fills its box is its own rows on the canvas.
bool FillsItsBox(const image::PreparedPicture& prepared) {
    const image::PasteSize& size = prepared.size;
    return !prepared.resized.IsEmpty() && size.pictureRect.x == 0 && size.pictureRect.y == 0 &&
           size.pictureRect.width == size.boxWidth && size.pictureRect.height == size.boxHeight;
}

} // namespace

ColumnStitcher::ColumnStitcher(int tolerance) : tolerance(std::min(std::max(tolerance, 0), 64)) {}

bool ColumnStitcher::Paste(PictureLoader::Picture& picture, const image::PasteParameters& values,
                           image::JoinDocument& document) {
    image::PreparedPicture& prepared = picture.prepared;
    prepared.mayBecomeCanvas = false;
    currentProfiled = false;
    image::StitchCut cut;
    if (previous != nullptr && FillsItsBox(prepared) && FillsItsBox(previous->prepared) &&
        previous->prepared.resized.Width == prepared.resized.Width) {
        try {
            if (!previousProfiled) {
                previousProfile = image::RowProfile(previous->prepared.resized);
                previousProfiled = true;
            }
            currentProfile = image::RowProfile(prepared.resized);
            currentProfiled = true;
            cut = image::FindStitch(previous->prepared.resized, previousProfile, prepared.resized,
                                    currentProfile, tolerance);
        } catch (const std::bad_alloc&) {
            cut = image::StitchCut(); // without memory to compare, a plain paste
        }
    }
    if (cut.overlap > 0) {
        return document.PasteStitched(prepared, cut.bottomBand, cut.topBand + cut.overlap, values);
    }
    return document.PastePrepared(prepared, true, 0, values);
}

std::unique_ptr<PictureLoader::Picture>
ColumnStitcher::Keep(std::unique_ptr<PictureLoader::Picture> pasted) {
    std::swap(previous, pasted);
    std::swap(previousProfile, currentProfile);
    previousProfiled = currentProfiled;
    currentProfiled = false;
    return pasted;
}

} // namespace job
