#include "win/WidePath.h"

#include <windows.h>

namespace file {

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

// A path the "\\?\" form cannot take as it is: the system no longer parses it,
// so it must be absolute and hold no "." or ".." parts, which GetFullPathNameW
// removes.
std::wstring LongForm(const std::wstring& path) {
    if (path.compare(0, 4, kLongPrefix) == 0) {
        return path;
    }
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (written == 0 || written >= needed) {
        return path;
    }
    full.resize(written);
    if (full.compare(0, 2, L"\\\\") == 0) {
        return kLongUncPrefix + full.substr(2);
    }
    return kLongPrefix + full;
}

} // namespace

std::wstring WideText(const char* text) {
    if (text == nullptr || *text == 0) {
        return std::wstring();
    }
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::string NarrowText(const wchar_t* text, int length) {
    if (text == nullptr || length == 0 || (length < 0 && *text == 0)) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return std::string();
    }
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
    if (length < 0) {
        narrow.resize(static_cast<size_t>(bytes) - 1);
    }
    return narrow;
}

WidePath::WidePath(const char* path) : text(WideText(path)) {
    if (text.size() >= MAX_PATH) {
        text = LongForm(text);
    }
}

} // namespace file
