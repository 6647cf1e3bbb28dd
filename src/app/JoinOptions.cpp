#include "app/JoinOptions.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace app {

const char* const JoinUsage =
    "Usage: Quiltora.exe --join OUTPUT [options] FILE...\n"
    "Joins the pictures in the order given into OUTPUT (.png, .jpg, .jpeg, .webp or\n"
    ".bmp).\n"
    "FILE is a picture, a folder (its pictures by name) or a pattern with * and ?\n"
    "in its last part. Options not given come from Quiltora.ini beside the program.\n"
    "  --row                 one row (the default)\n"
    "  --column              one column\n"
    "  --wrap PIXELS         rows wrapped at this width\n"
    "  --per-row N           N pictures per row\n"
    "  --stitch[=D]          with --column: join overlapping screenshots into one\n"
    "                        long picture; rows match within D per channel value\n"
    "                        (0 to 64, default 4; about 16 for JPEG screenshots)\n"
    "  --align WORD[,WORD]   top, middle or bottom in rows; left, centre or right in\n"
    "                        the column; with --cells, where a picture sits in its cell\n"
    "  --cells               every picture in a cell of the largest width and height\n"
    "  --justify HEIGHT      with --wrap: rows filling the width, each near HEIGHT\n"
    "  --caption name|number a caption below each picture: its file name or number\n"
    "  --caption-size PX     the caption's character height (8 to 72, default 12)\n"
    "  --gap PIXELS          gap between pictures (0 to 1000)\n"
    "  --gap-colour RRGGBB   colour of the gap\n"
    "  --background RRGGBB   colour where no picture is\n"
    "  --scale PERCENT       resize each picture (1 to 1000), or --scale W%xH%\n"
    "  --box WxH             fit each picture into a box, centred\n"
    "  --stretch             with --box: stretch to the box instead\n"
    "  --quality Q           JPEG and lossy WebP quality (1 to 100)\n"
    "  --progressive         progressive JPEG\n"
    "  --lossless            lossless WebP\n"
    "  --defaults            ignore Quiltora.ini\n"
    "  --verbose             a line for every picture\n"
    "  --timings             a last line with the time each phase took\n"
    "  --help                this text\n"
    "Exit status: 0 all pasted, 1 some skipped or damaged, 2 nothing written, 64 usage.\n";

namespace {

constexpr int DefaultStitchTolerance = 4;

// A whole decimal number within the range, nothing else.
bool ReadNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

// RRGGBB as a COLORREF (0x00BBGGRR).
bool ReadColour(const std::string& text, int& colour) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    const long rgb = std::strtol(text.c_str(), nullptr, 16);
    colour = static_cast<int>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    return true;
}

// "AxB" with each side a number in the range and an optional suffix (%).
bool ReadPair(const std::string& text, const char* suffix, int high, int& a, int& b) {
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos) {
        return false;
    }
    std::string first = text.substr(0, cross);
    std::string second = text.substr(cross + 1);
    const std::size_t cut = std::strlen(suffix);
    for (std::string* side : {&first, &second}) {
        if (cut != 0) {
            if (side->size() <= cut || side->compare(side->size() - cut, cut, suffix) != 0) {
                return false;
            }
            side->resize(side->size() - cut);
        }
    }
    return ReadNumber(first, 1, high, a) && ReadNumber(second, 1, high, b);
}

bool EndsWith(const std::string& text, const char* end) {
    const std::size_t n = std::strlen(end);
    return text.size() >= n && lstrcmpiA(text.c_str() + text.size() - n, end) == 0;
}

// One or two alignment words of the two kinds, in either order.
bool ReadAlign(const std::string& text, int& across, int& down) {
    const std::map<std::string, std::pair<bool, int>> words = {
        {"left", {true, job::AlignStart}},    {"centre", {true, job::AlignMiddle}},
        {"center", {true, job::AlignMiddle}}, {"right", {true, job::AlignEnd}},
        {"top", {false, job::AlignStart}},    {"middle", {false, job::AlignMiddle}},
        {"bottom", {false, job::AlignEnd}},
    };
    const std::size_t comma = text.find(',');
    std::vector<std::string> parts = {text.substr(0, comma)};
    if (comma != std::string::npos) {
        parts.push_back(text.substr(comma + 1));
    }
    across = down = -1;
    for (const std::string& word : parts) {
        const auto found = words.find(word);
        if (found == words.end()) {
            return false;
        }
        int& side = found->second.first ? across : down;
        if (side >= 0) {
            return false; // two words of one kind
        }
        side = found->second.second;
    }
    return true;
}

// The layout options against each other and the arrangement: justified rows
// size every picture themselves, so they take no cells, alignment or other
// arrangement than the wrap.
bool CheckLayout(JoinOptions& options, const std::set<std::string>& given, int across, int down,
                 std::string& error) {
    job::JobLayout& layout = options.layout;
    if (given.count("--caption-size") != 0 && layout.caption == job::NoCaption) {
        error = "--caption-size needs --caption";
        return false;
    }
    if (layout.justifyHeight > 0) {
        for (const char* other : {"--cells", "--per-row", "--row", "--column", "--align"}) {
            if (given.count(other) != 0) {
                error = std::string("--justify cannot be used with ") + other;
                return false;
            }
        }
        if (given.count("--wrap") == 0) {
            error = "--justify needs --wrap";
            return false;
        }
    }
    if (layout.cells) {
        layout.cellAcross = across >= 0 ? across : job::AlignMiddle;
        layout.cellDown = down >= 0 ? down : job::AlignMiddle;
    } else {
        layout.columnAlign = across >= 0 ? across : job::AlignStart;
        layout.rowAlign = down >= 0 ? down : job::AlignStart;
    }
    return true;
}

// What the arguments must give together: an output whose extension names a
// format, inputs, and a box for --stretch.
bool CheckJoinOptions(JoinOptions& options, std::string& error) {
    if (options.output.empty()) {
        error = "--join OUTPUT is required";
        return false;
    }
    if (EndsWith(options.output, ".png")) {
        options.format = JoinOptions::Format::Png;
    } else if (EndsWith(options.output, ".jpg") || EndsWith(options.output, ".jpeg")) {
        options.format = JoinOptions::Format::Jpeg;
    } else if (EndsWith(options.output, ".webp")) {
        options.format = JoinOptions::Format::Webp;
    } else if (EndsWith(options.output, ".bmp")) {
        options.format = JoinOptions::Format::Bmp;
    } else {
        error = "the output must end in .png, .jpg, .jpeg, .webp or .bmp";
        return false;
    }
    if (options.inputs.empty()) {
        error = "no pictures to join";
        return false;
    }
    if (options.stitch >= 0 && options.arrangement != job::OneColumn) {
        error = "--stitch needs --column";
        return false;
    }
    if (options.stretch && options.boxWidth < 0) {
        error = "--stretch needs --box";
        return false;
    }
    return true;
}

using Reader = std::function<bool(const std::string&)>;

// The layout's options that take a value; --align's words wait for the
// check, which knows whether they place pictures in cells.
// A stitched column keeps each screenshot as it is: no layout may pad or
// label its pictures.
bool CheckStitch(const JoinOptions& options, std::string& error) {
    const job::JobLayout& layout = options.layout;
    if (options.stitch >= 0 && (layout.cells || layout.caption != job::NoCaption ||
                                layout.columnAlign != job::AlignStart)) {
        error = "--stitch cannot be used with --cells, --caption or a column's --align";
        return false;
    }
    return true;
}

void AddLayoutReaders(std::map<std::string, Reader>& valued, JoinOptions& options, int& across,
                      int& down) {
    valued.insert({
        {"--align", [&across, &down](const std::string& v) { return ReadAlign(v, across, down); }},
        {"--justify",
         [&options](const std::string& v) {
             return ReadNumber(v, 1, 65500, options.layout.justifyHeight);
         }},
        {"--caption",
         [&options](const std::string& v) {
             options.layout.caption = v == "name"     ? job::CaptionName
                                      : v == "number" ? job::CaptionNumber
                                                      : job::NoCaption;
             return options.layout.caption != job::NoCaption;
         }},
        {"--caption-size",
         [&options](const std::string& v) {
             return ReadNumber(v, 8, 72, options.layout.captionSize);
         }},
    });
}

} // namespace

bool IsJoinCommand(const std::vector<std::string>& arguments) {
    return !arguments.empty() && (arguments[0] == "--join" || arguments[0] == "--help");
}

bool ParseJoinOptions(const std::vector<std::string>& arguments, JoinOptions& options,
                      std::string& error) {
    int across = -1;
    int down = -1;
    // Options that take a value, each with what it accepts.
    std::map<std::string, Reader> valued = {
        {"--wrap",
         [&](const std::string& v) {
             options.arrangement = job::FitWidth;
             return ReadNumber(v, 1, 1000000, options.wrapWidth);
         }},
        {"--per-row",
         [&](const std::string& v) {
             options.arrangement = job::FixedColumns;
             return ReadNumber(v, 1, 1000, options.perRow);
         }},
        {"--gap", [&](const std::string& v) { return ReadNumber(v, 0, 1000, options.gap); }},
        {"--gap-colour", [&](const std::string& v) { return ReadColour(v, options.gapColour); }},
        {"--background", [&](const std::string& v) { return ReadColour(v, options.background); }},
        {"--scale",
         [&](const std::string& v) {
             if (ReadNumber(v, 1, 1000, options.scaleWidth)) {
                 options.scaleHeight = options.scaleWidth;
                 return true;
             }
             return ReadPair(v, "%", 1000, options.scaleWidth, options.scaleHeight);
         }},
        {"--box",
         [&](const std::string& v) {
             return ReadPair(v, "", 65500, options.boxWidth, options.boxHeight);
         }},
        {"--quality", [&](const std::string& v) { return ReadNumber(v, 1, 100, options.quality); }},
    };
    AddLayoutReaders(valued, options, across, down);
    const std::map<std::string, std::function<void()>> flags = {
        {"--row", [&] { options.arrangement = job::OneRow; }},
        {"--column", [&] { options.arrangement = job::OneColumn; }},
        {"--stretch", [&] { options.stretch = true; }},
        {"--cells", [&] { options.layout.cells = true; }},
        {"--progressive", [&] { options.progressive = true; }},
        {"--lossless", [&] { options.lossless = true; }},
        {"--defaults", [&] { options.defaults = true; }},
        {"--verbose", [&] { options.verbose = true; }},
        {"--timings", [&] { options.timings = true; }},
        {"--help", [&] { options.help = true; }},
    };
    std::set<std::string> given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        given.insert(argument);
        const auto flag = flags.find(argument);
        const auto reader = valued.find(argument);
        if (argument == "--join") {
            if (i + 1 >= arguments.size() || !options.output.empty()) {
                error = "--join needs one output file";
                return false;
            }
            options.output = arguments[++i];
        } else if (argument == "--stitch") {
            options.stitch = DefaultStitchTolerance;
        } else if (argument.compare(0, 9, "--stitch=") == 0) {
            if (!ReadNumber(argument.substr(9), 0, 64, options.stitch)) {
                error = argument + ": the tolerance must be 0 to 64";
                return false;
            }
        } else if (flag != flags.end()) {
            flag->second();
        } else if (reader != valued.end()) {
            if (i + 1 >= arguments.size() || !reader->second(arguments[i + 1])) {
                error = argument + ": missing or invalid value";
                return false;
            }
            ++i;
        } else if (argument.size() > 1 && argument[0] == '-' && argument[1] == '-') {
            error = "unknown option " + argument;
            return false;
        } else {
            options.inputs.push_back(argument);
        }
    }
    return options.help ||
           (CheckJoinOptions(options, error) && CheckLayout(options, given, across, down, error) &&
            CheckStitch(options, error));
}

} // namespace app
