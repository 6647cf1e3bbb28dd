#pragma once

#include "win/String.h"

#include <string>

namespace settings {

// Reads the integer and text keys of one section of an INI file. The file is
// read once, through the program's own file access, so that a settings file
// beside a program installed under a path of any length or script is found;
// the system's INI reader takes only 8-bit paths of MAX_PATH bytes.
//
// The format is the plain one the program writes: "[section]" lines and
// "key=value" lines, CR LF or LF, section and key names without regard to
// case, blanks around names and values ignored.
class ProfileReader {
public:
    // Reads the file; a missing or unreadable file reads as empty, so every
    // key then has its default.
    void SetFile(const char* path);
    void SetSection(const char* name);

    // Like the system's reader: a missing or empty value gives the default, a
    // value that does not start with a number reads as 0, and the digits are
    // taken modulo 2^32 as a signed number.
    int ReadInt(const char* key, int defaultValue) const;
    // Into the destination's own buffer, cut to its capacity at a whole
    // character; the destination never grows.
    void ReadString(const char* key, text::String& destination, const char* defaultValue) const;

private:
    // The value of the key in the section, or false when it is not there.
    bool Find(const char* key, std::string& value) const;

    std::string content;
    std::string section;
};

} // namespace settings
