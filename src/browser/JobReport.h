#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace browser {

// What a job tells the user once it is over: the files it could not paste,
// and the damaged files it pasted as far as they could be read, by their
// names, in one warning. Ten names of each kind are shown, then how many
// more there are; only those ten are kept.
class JobReport {
public:
    // path: as the job names the file; the warning shows its name alone.
    void AddSkipped(const std::string& path) { skipped.Add(path); }
    void AddDamaged(const std::string& path) { damaged.Add(path); }

    // The warning's text; empty when there is nothing to tell.
    std::string Text() const;
    // Shows the warning, unless there is nothing to tell.
    void Show() const;

private:
    struct Names {
        void Add(const std::string& path);
        // The heading, the names and the line for the rest; empty without names.
        std::string Text(const char* heading) const;

        std::vector<std::string> shown;
        std::size_t count = 0;
    };

    Names skipped;
    Names damaged;
};

} // namespace browser
