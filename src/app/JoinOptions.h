#pragma once

#include "job/JobLayout.h"
#include "job/ListEntry.h"

#include <string>
#include <vector>

namespace app {

// What "Quiltora.exe --join OUTPUT [options] FILE..." asks for. Values left
// unset (-1) are taken from the settings file.
struct JoinOptions {
    enum class Format { Bmp, Png, Jpeg, Webp };

    std::string output;
    Format format = Format::Png;
    std::vector<std::string> inputs;
    job::BatchArrangement arrangement = job::OneRow;
    int wrapWidth = 0;
    int perRow = 0;
    int stitch = -1; // --column's tolerance for stitching screenshots; -1: none
    int gap = -1;
    int gapColour = -1;  // COLORREF
    int background = -1; // COLORREF
    int scaleWidth = -1; // percent
    int scaleHeight = -1;
    int boxWidth = -1;
    int boxHeight = -1;
    bool stretch = false;
    int quality = -1;
    bool progressive = false;
    bool lossless = false;
    bool defaults = false;
    bool verbose = false;
    bool timings = false;
    bool help = false;
    // The job's layout: like the arrangement, the command's own, never the
    // batch dialog's last choice.
    job::JobLayout layout;
};

// The usage text, one line per option, in English.
extern const char* const JoinUsage;

// True when the program was started for a join (or for its help) rather than
// for its window.
bool IsJoinCommand(const std::vector<std::string>& arguments);

// Reads the arguments after the program's name. False with a one-line
// message when they are not a valid join command; help alone is valid.
bool ParseJoinOptions(const std::vector<std::string>& arguments, JoinOptions& options,
                      std::string& error);

} // namespace app
