#include "browser/PasteCommand.h"
namespace browser {

PasteCommand::Result PasteCommand::PastePicture(image::Image& picture, bool below, int wrapWidth) {
    if (jobRunning) {
        picture.Destroy();
        return Result::Busy;
    }
    // The settings are taken as one value now: a change made in the settings
    // window meanwhile applies from the next paste on.
    return document.PasteImage(picture, below, wrapWidth, settings.PasteValues()) ? Result::Pasted
                                                                                  : Result::NotMade;
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
