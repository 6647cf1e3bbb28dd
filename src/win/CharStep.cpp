#include "win/CharStep.h"

#include <windows.h>

namespace text {

namespace {

int Utf8SequenceLength(const unsigned char* p) {
    const unsigned char lead = p[0];
    int expected = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        expected = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        expected = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        expected = 4;
    }
    // A truncated sequence (a NUL or a non-continuation byte too early) ends
    // after the bytes that do belong to it, so the scan resyncs on the next one.
    int length = 1;
    while (length < expected && (p[length] & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

} // namespace

bool IsUtf8CodePage() {
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
}

int CharLength(const char* p) {
    if (*p == 0) {
        return 0;
    }
    if (IsUtf8CodePage()) {
        return Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p));
    }
    // CharNextA returns its argument at the NUL and otherwise moves at least one
    // byte, stepping a lead byte together with its trail byte.
    return static_cast<int>(CharNextA(p) - p);
}

const char* NextChar(const char* p) {
    return p + CharLength(p);
}

char* NextChar(char* p) {
    return p + CharLength(p);
}

} // namespace text
