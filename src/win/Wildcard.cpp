#include "win/Wildcard.h"

#include <windows.h>

#include <string>

namespace text {

namespace {

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The text upper-cased, one element per character: a surrogate pair is one
// character to '?'. Bytes that are no character of the code page become
// U+FFFD, so that they still take a '?' each.
std::u32string Folded(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) {
        return std::u32string();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.pop_back();
    CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    std::u32string folded;
    folded.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        folded.push_back(c);
    }
    return folded;
}

bool MatchFolded(const std::u32string& pattern, const std::u32string& name) {
    size_t p = 0;
    size_t n = 0;
    // The last star seen and the name position its run ends at now: on a
    // mismatch the star takes one more character and the rest is tried again.
    size_t star = std::u32string::npos;
    size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool MatchWildcard(const char* pattern, const char* name) {
    if (pattern == nullptr || name == nullptr) {
        return false;
    }
    return MatchFolded(Folded(pattern), Folded(name));
}

} // namespace text
