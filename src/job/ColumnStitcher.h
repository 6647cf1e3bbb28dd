#pragma once

#include "image/JoinDocument.h"
#include "image/PasteParameters.h"
#include "image/RowProfile.h"
#include "job/PictureLoader.h"

#include <memory>

namespace job {

// Pastes the pictures of a column job so that screenshots which continue
// each other become one long picture (see image::FindStitch): each picture
// is compared with the one pasted before it, as that one was loaded, and
// the canvas then ends with the later one's rows below the overlap. A
// picture that does not continue the one before is pasted below with the
// gap, as in any column.
class ColumnStitcher {
public:
    // tolerance: 0 to 64, how far a row's channel values may differ on
    // average and still match.
    explicit ColumnStitcher(int tolerance);
    ColumnStitcher(const ColumnStitcher&) = delete;
    ColumnStitcher& operator=(const ColumnStitcher&) = delete;

    // Pastes a Ready picture below everything; false, with nothing changed,
    // as JoinDocument::PastePrepared.
    bool Paste(PictureLoader::Picture& picture, const image::PasteParameters& values,
               image::JoinDocument& document);
    // Keeps the picture just pasted for the next comparison and returns the
    // one kept before it, for the loader to reuse.
    std::unique_ptr<PictureLoader::Picture> Keep(std::unique_ptr<PictureLoader::Picture> pasted);

private:
    const int tolerance;
    std::unique_ptr<PictureLoader::Picture> previous;
    image::RowProfile previousProfile;
    image::RowProfile currentProfile; // of the picture pasted last, until Keep
    bool currentProfiled = false;
    bool previousProfiled = false;
};

} // namespace job
