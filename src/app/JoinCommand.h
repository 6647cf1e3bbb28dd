#pragma once

#include "app/JoinOptions.h"
#include "app/JoinSave.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace app {

// The join of the command line: the same paste and the same batch layout as
// the window's, on a document of its own, written through the same writers.
// No window is made and the single-instance guard is not taken, so it may run
// beside the window and beside other joins.
class JoinCommand {
public:
    // Exit statuses.
    static constexpr int AllPasted = 0;
    static constexpr int SomeSkipped = 1; // or pasted from damaged files
    static constexpr int NothingWritten = 2;
    static constexpr int UsageError = 64;

    // print(line, isError) receives every message, one line each.
    explicit JoinCommand(std::function<void(const std::string&, bool)> print)
        : print(std::move(print)) {}

    // Parses the arguments after the program's name and runs the join;
    // settingsPath is the settings file whose values fill in what the
    // options leave out. Returns the exit status.
    int Run(const std::vector<std::string>& arguments, const char* settingsPath);

    // The pictures an argument names, in order: the path itself, a folder's
    // pictures in the file list's order, or the files a pattern (with * and
    // ? in its last part, without regard to case) matches, by name.
    static std::vector<std::string> Expand(const std::string& argument);

    // The least canvas, in bytes, saved while the job runs (see JoinSave):
    // tests stream every canvas, or none, which gives the file a streamed
    // save must match byte for byte.
    void StreamFrom(std::int64_t canvasBytes) { streamFrom = canvasBytes; }

private:
    int Join(const JoinOptions& options, const char* settingsPath);

    std::function<void(const std::string&, bool)> print;
    std::int64_t streamFrom = JoinSave::kStreamFrom;
};

} // namespace app
