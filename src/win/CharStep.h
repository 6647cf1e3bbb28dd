#pragma once

// Steps over one character of 8-bit text in the process code page. With the
// UTF-8 code page (the program's manifest asks for it) one character is one
// UTF-8 sequence; with any other code page the system's CharNextA decides.
// Never steps past a terminating NUL, and a malformed byte counts as one
// character so that every scan still ends.

namespace text {

// Address of the character after the one at p; p itself when p is at the NUL.
const char* NextChar(const char* p);
char* NextChar(char* p);

// Number of bytes of the character at p (0 at the terminating NUL).
int CharLength(const char* p);

// True when the process code page is UTF-8 (65001).
bool IsUtf8CodePage();

} // namespace text
