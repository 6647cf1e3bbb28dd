#include "win/String.h"

#include "win/CharStep.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace text {

namespace {

// Largest capacity a String may take: capacity + 1 must still be an int.
constexpr int MaxCapacity = INT_MAX - 1;

[[noreturn]] void OutOfMemory() {
    // Nothing sensible can run without the string's memory; end the process
    // before any caller writes through a buffer it does not have.
    OutputDebugStringA("Quiltora: out of memory in String\n");
    std::abort();
}

int ConstructionCapacity(int hint) {
    if (hint < 64) {
        return 63;
    }
    if (hint < 128) {
        return 127;
    }
    if (hint < 256) {
        return 255;
    }
    if (hint < 512) {
        return 511;
    }
    return hint;
}

int GrowthCapacity(int n) {
    if (n < 128) {
        return 127;
    }
    if (n < 256) {
        return 255;
    }
    if (n < 512) {
        return 511;
    }
    if (n < 1024) {
        return 1023;
    }
    if (n < 2048) {
        return 2047;
    }
    return n;
}

// A malloc'd block freed on every path; allocation failure ends the process.
struct FreeDeleter {
    void operator()(char* block) const { std::free(block); }
};
using Block = std::unique_ptr<char[], FreeDeleter>;

Block NewBlock(size_t bytes) {
    Block block(static_cast<char*>(std::malloc(bytes)));
    if (!block) {
        OutOfMemory();
    }
    return block;
}

int CheckedSum(int a, long long b) {
    const long long sum = static_cast<long long>(a) + b;
    if (sum > MaxCapacity) {
        OutOfMemory();
    }
    return static_cast<int>(sum);
}

} // namespace

String::String() {
    Allocate(63);
}

String::String(int sizeHint) {
    Allocate(ConstructionCapacity(sizeHint));
}

String::~String() {
    std::free(data);
    data = nullptr;
    capacity = 0;
}

void String::Allocate(int newCapacity) {
    if (newCapacity < 0 || newCapacity > MaxCapacity) {
        OutOfMemory();
    }
    auto* block = static_cast<char*>(std::malloc(static_cast<size_t>(newCapacity) + 1));
    if (block == nullptr) {
        OutOfMemory();
    }
    block[0] = 0;
    block[newCapacity] = 0;
    if (data != nullptr) {
        std::memcpy(block, data, std::strlen(data) + 1);
        std::free(data);
    }
    data = block;
    capacity = newCapacity;
}

void String::Reserve(int n) {
    if (capacity >= n) {
        return;
    }
    Allocate(GrowthCapacity(n));
}

void String::Assign(const char* text) {
    const size_t length = std::strlen(text);
    Reserve(CheckedSum(0, static_cast<long long>(length)));
    // The source may lie inside this string's own buffer, which Reserve keeps.
    std::memmove(data, text, length + 1);
}

void String::Append(const char* text) {
    const int own = Length();
    const size_t length = std::strlen(text);
    if (text >= data && text <= data + capacity) {
        // Appending part of itself: copy first, growing frees the old buffer.
        const Block copy = NewBlock(length + 1);
        std::memcpy(copy.get(), text, length + 1);
        Reserve(CheckedSum(own, static_cast<long long>(length)));
        std::memcpy(data + own, copy.get(), length + 1);
        return;
    }
    Reserve(CheckedSum(own, static_cast<long long>(length)));
    std::memcpy(data + own, text, length + 1);
}

void String::AppendChar(char c) {
    const int own = Length();
    Reserve(CheckedSum(own, 1));
    data[own] = c;
    data[own + 1] = 0;
}

int String::LoadFromResource(unsigned id) {
    data[0] = 0;
    // With a zero length LoadStringW hands out a read-only pointer to the
    // resource text, which is not NUL-terminated; the return value is its length.
    const wchar_t* resource = nullptr;
    const int wideLength =
        LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<wchar_t*>(&resource), 0);
    if (wideLength <= 0 || resource == nullptr) {
        return 0;
    }
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, resource, wideLength, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return 0;
    }
    const Block converted = NewBlock(static_cast<size_t>(bytes) + 1);
    WideCharToMultiByte(CP_ACP, 0, resource, wideLength, converted.get(), bytes, nullptr, nullptr);
    converted[bytes] = 0;

    // Cut at the last whole character that fits, never inside a sequence.
    int length = 0;
    for (;;) {
        const int step = CharLength(converted.get() + length);
        if (step == 0 || length + step > capacity) {
            break;
        }
        length += step;
    }
    std::memcpy(data, converted.get(), static_cast<size_t>(length));
    data[length] = 0;
    return length;
}

int String::Length() const {
    return static_cast<int>(std::strlen(data));
}

int String::SetAt(int position, char c) {
    if (position >= 0 && position < capacity) {
        data[position] = c;
    }
    return position;
}

int String::Compare(const char* text) const {
    return lstrcmpA(data, text);
}

int String::CompareNoCase(const char* text) const {
    return lstrcmpiA(data, text);
}

int String::ReverseFind(unsigned char value) const {
    int found = -1;
    for (const char* p = data; *p != 0; p = NextChar(p)) {
        if (static_cast<unsigned char>(*p) == value) {
            found = static_cast<int>(p - data);
        }
    }
    return found;
}

void String::ReplaceChar(char from, char to) {
    char* p = data;
    while (*p != 0) {
        if (*p == from) {
            *p = to;
            ++p;
        } else {
            p = NextChar(p);
        }
    }
}

void String::StripFileName() {
    int position = ReverseFind('\\');
    if (position < 0) {
        position = ReverseFind('/');
    }
    if (position < 0) {
        position = 0;
    }
    data[position] = 0;
}

void String::GetExtension(String& out) const {
    const int position = ReverseFind('.');
    if (position < 0) {
        out.Clear();
        return;
    }
    out.Assign(data + position + 1);
}

bool String::SetModulePath(const char* name) {
    // Asked in UTF-16, where the system's limit is 32767 characters, then
    // converted: a path of that length is up to three times as many bytes.
    std::wstring wide(MAX_PATH, L'\0');
    DWORD written = 0;
    for (;;) {
        written = GetModuleFileNameW(nullptr, &wide[0], static_cast<DWORD>(wide.size()));
        // A cut name fills the whole buffer.
        if (written == 0 || written < wide.size() || wide.size() > 32767) {
            break;
        }
        wide.resize(32768);
    }
    const int bytes = written == 0
                          ? 0
                          : WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(written),
                                                nullptr, 0, nullptr, nullptr);
    Reserve(bytes > 511 ? bytes : 511);
    if (bytes <= 0) {
        data[0] = 0;
        return false;
    }
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(written), data, bytes, nullptr,
                        nullptr);
    data[bytes] = 0;
    StripFileName();
    if (name != nullptr) {
        Append("\\");
        Append(name);
    }
    return true;
}

} // namespace text
