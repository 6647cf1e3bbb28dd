#include "browser/JobReport.h"

#include "ui/CommonDialogs.h"

namespace browser {

namespace {

constexpr std::size_t kMostNames = 10;

} // namespace

void JobReport::Names::Add(const std::string& path) {
    if (shown.size() < kMostNames) {
        // '\\' and '/' never occur inside a UTF-8 character's bytes.
        const std::size_t slash = path.find_last_of("\\/");
        shown.push_back(slash == std::string::npos ? path : path.substr(slash + 1));
    }
    ++count;
}

std::string JobReport::Names::Text(const char* heading) const {
    if (count == 0) {
        return std::string();
    }
    std::string text = heading;
    for (const std::string& name : shown) {
        text += "\n" + name;
    }
    if (count > shown.size()) {
        text += "\n외 " + std::to_string(count - shown.size()) + "개";
    }
    return text;
}

std::string JobReport::Text() const {
    const std::string first = skipped.Text("붙여넣지 못한 파일:");
    const std::string second = damaged.Text("손상된 파일 (읽은 만큼 붙여넣음):");
    return first.empty() || second.empty() ? first + second : first + "\n\n" + second;
}

void JobReport::Show() const {
    const std::string text = Text();
    if (!text.empty()) {
        ui::WarningBox(text.c_str());
    }
}

} // namespace browser
