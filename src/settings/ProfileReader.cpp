#include "settings/ProfileReader.h"

#include "win/FileHandle.h"
#include "win/CharStep.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace settings {

namespace {

// A settings file is a few hundred bytes; anything past this is not one.
constexpr DWORD kMaxFileSize = 1 << 20;

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

} // namespace

void ProfileReader::SetFile(const char* path) {
    content.clear();
    file::FileHandle file;
    if (!file.OpenRead(path)) {
        return;
    }
    const DWORD size = file.Size();
    if (size == INVALID_FILE_SIZE || size > kMaxFileSize) {
        return;
    }
    content.resize(size);
    if (size != 0 && file.Read(&content[0], size) != size) {
        content.clear();
    }
}

void ProfileReader::SetSection(const char* name) {
    section = name;
}

bool ProfileReader::Find(const char* key, std::string& value) const {
    bool inSection = false;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        const std::string line = Trim(content.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line[0] == '[') {
            const std::size_t close = line.find(']');
            inSection = close != std::string::npos &&
                        SameName(Trim(line.substr(1, close - 1)), section.c_str());
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string::npos &&
            SameName(Trim(line.substr(0, equals)), key)) {
            value = Trim(line.substr(equals + 1));
            return true;
        }
    }
    return false;
}

int ProfileReader::ReadInt(const char* key, int defaultValue) const {
    std::string value;
    if (!Find(key, value) || value.empty()) {
        return defaultValue;
    }
    std::size_t i = 0;
    const bool negative = value[0] == '-';
    if (value[0] == '-' || value[0] == '+') {
        ++i;
    }
    std::uint32_t number = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        number = number * 10 + static_cast<std::uint32_t>(value[i] - '0');
    }
    if (negative) {
        number = 0u - number;
    }
    return static_cast<int>(number);
}

void ProfileReader::ReadString(const char* key, text::String& destination,
                               const char* defaultValue) const {
    std::string value;
    if (!Find(key, value)) {
        value = defaultValue;
    }
    // Cut at the last whole character that fits.
    const int capacity = destination.Capacity();
    int length = 0;
    while (length < static_cast<int>(value.size())) {
        const int step = text::CharLength(value.c_str() + length);
        if (step == 0 || length + step > capacity) {
            break;
        }
        length += step;
    }
    std::memcpy(destination.Data(), value.data(), static_cast<std::size_t>(length));
    destination.Data()[length] = 0;
}

} // namespace settings
