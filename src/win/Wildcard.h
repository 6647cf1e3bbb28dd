#pragma once

namespace text {

// Whole-name match of a file name pattern: '*' stands for any run of
// characters (also none) and '?' for exactly one character, however many
// bytes it takes. A '*' gives back what it took when the rest does not match,
// so "*.jpg" takes "a.b.jpg". Both texts are the program's 8-bit text (UTF-8
// under its manifest) and are compared upper-cased in UTF-16, as the file
// system compares names, so case does not matter in any script. False when
// either text is null.
bool MatchWildcard(const char* pattern, const char* name);

} // namespace text
