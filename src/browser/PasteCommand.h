#pragma once

#include "image/Image.h"
#include "image/JoinDocument.h"
#include "settings/AppSettings.h"

#include <atomic>
#include <deque>
#include <functional>
#include <utility>

namespace browser {

// The single paste that the main window and the file list share, and the
// job's place beside it: a picture already in memory is joined into the
// document with the paste settings of that moment. It shows nothing; what to
// tell the user is the caller's choice.
//
// While a job runs, single pastes are refused (the caller defers them), so a
// job's pictures are never interleaved with others.
class PasteCommand {
public:
    enum class Result { Pasted, NotMade, Busy };

    PasteCommand(image::JoinDocument& document, settings::AppSettings& settings)
        : document(document), settings(settings) {}
    PasteCommand(const PasteCommand&) = delete;
    PasteCommand& operator=(const PasteCommand&) = delete;

    // Pastes a picture already loaded (a file's, the clipboard's) with the
    // settings of this moment; it is released. Busy while a job runs.
    Result PastePicture(image::Image& picture, bool below, int wrapWidth);

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
