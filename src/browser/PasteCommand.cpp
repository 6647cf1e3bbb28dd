#include "browser/PasteCommand.h"

#include "formats/ImageLoader.h"

namespace browser {

PasteCommand::Result PasteCommand::PasteFile(const char* path, bool below, int wrapWidth,
                                             bool fromJob) {
    if (jobRunning && !fromJob) {
        return Result::Busy;
    }
    image::Image picture;
    if (!formats::LoadImageFile(picture, path, static_cast<std::uint32_t>(settings.BkColor))) {
        return Result::NotLoaded;
    }
    return PastePicture(picture, below, wrapWidth, fromJob);
}

PasteCommand::Result PasteCommand::PastePicture(image::Image& picture, bool below, int wrapWidth,
                                                bool fromJob) {
    if (jobRunning && !fromJob) {
        picture.Destroy();
        return Result::Busy;
    }
    // The settings are taken as one value now: a change made in the settings
    // window meanwhile applies from the next paste on.
    return document.PasteImage(picture, below, wrapWidth, settings.PasteValues()) ? Result::Pasted
                                                                                  : Result::NotMade;
}

PasteCommand::Result PasteCommand::PasteLoaded(PictureLoader::Picture& picture, bool below,
                                               int wrapWidth,
                                               const image::PasteParameters& values) {
    switch (picture.state) {
    case PictureLoader::Picture::State::NotLoaded:
        return Result::NotLoaded;
    case PictureLoader::Picture::State::NotMade:
        return Result::NotMade;
    default:
        return document.PastePrepared(picture.prepared, below, wrapWidth, values) ? Result::Pasted
                                                                                  : Result::NotMade;
    }
}

std::function<void()> PasteCommand::TakeDeferred() {
    if (deferred.empty()) {
        return {};
    }
    std::function<void()> paste = std::move(deferred.front());
    deferred.pop_front();
    return paste;
}

bool PasteCommand::BeginJob() {
    bool expected = false;
    return jobRunning.compare_exchange_strong(expected, true);
}

} // namespace browser
