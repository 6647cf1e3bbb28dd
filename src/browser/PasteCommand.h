#pragma once

#include "browser/PictureLoader.h"
#include "image/Image.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"

#include <atomic>
#include <deque>
#include <functional>
#include <utility>

namespace browser {

// The one paste that the main window, the file list and the batch worker
// share: it loads a picture file (or takes a picture already in memory) and
// joins it into the document with the paste settings of that moment. It shows
// nothing and touches no window, so the batch worker calls it on its own
// thread; what to tell the user is the caller's choice.
//
// While a job runs, pastes asked for by the user interface are refused, so a
// job's pictures are never interleaved with others.
class PasteCommand {
public:
    enum class Result { Pasted, NotLoaded, NotMade, Busy };

    PasteCommand(image::JoinDocument& document, settings::AppSettings& settings)
        : document(document), settings(settings) {}
    PasteCommand(const PasteCommand&) = delete;
    PasteCommand& operator=(const PasteCommand&) = delete;

    // fromJob: the paste is one of the running job's own.
    Result PasteFile(const char* path, bool below, int wrapWidth, bool fromJob = false);
    // Pastes a picture already loaded (the clipboard's); it is released.
    Result PastePicture(image::Image& picture, bool below, int wrapWidth, bool fromJob = false);

    // Pastes a picture that a job's PictureLoader made with values, which
    // the job took from the settings when it began.
    Result PasteLoaded(PictureLoader::Picture& picture, bool below, int wrapWidth,
                       const image::PasteParameters& values);

    // The paste settings of this moment, as one value.
    image::PasteParameters Values() const { return settings.PasteValues(); }

    // False when a job is already running.
    bool BeginJob();
    void EndJob() { jobRunning = false; }
    bool JobRunning() const { return jobRunning; }

    // Pastes that arrive while a job runs (files handed over or dropped, a
    // picture the clipboard watch saw) wait for its end and are then done in
    // the order they came, by the rules of that moment. User-interface thread
    // only, like the pastes they stand for.
    void Defer(std::function<void()> paste) { deferred.push_back(std::move(paste)); }
    // The oldest waiting paste, or an empty function.
    std::function<void()> TakeDeferred();

    image::JoinDocument& Document() const { return document; }

private:
    image::JoinDocument& document;
    settings::AppSettings& settings;
    std::atomic<bool> jobRunning{false};
    std::deque<std::function<void()>> deferred;
};

} // namespace browser
