#pragma once

#include <string>

namespace file {

// A path of the program (8-bit text in the process code page, which the
// manifest makes UTF-8) turned once into the UTF-16 form the W file functions
// take. A path of MAX_PATH characters or more is made absolute and given the
// "\\?\" prefix, the one form in which every W function accepts paths up to
// 32767 characters whatever the system's long-path setting.
class WidePath {
public:
    explicit WidePath(const char* path);

    // False when the text is not valid in the code page or is empty.
    bool IsValid() const { return !text.empty(); }
    const wchar_t* Get() const { return text.c_str(); }
    const std::wstring& Text() const { return text; }

private:
    std::wstring text;
};

// UTF-16 text to the program's 8-bit text; empty when it cannot be converted.
std::string NarrowText(const wchar_t* text, int length = -1);
// The program's 8-bit text to UTF-16 without any path treatment.
std::wstring WideText(const char* text);

} // namespace file
