#pragma once

// The program's growable NUL-terminated 8-bit string in the process code page,
// with the path operations the program needs. Scans step whole characters
// (win/CharStep.h), so a byte inside a multi-byte character is never
// taken for a separator.
//
// Invariants: data holds capacity + 1 bytes, the text is NUL-terminated and
// data[capacity] is always 0. Lengths are byte counts.

namespace text {

class String {
public:
    String();
    // Size hint: capacity 63, 127, 255 or 511 for hints below those steps,
    // exactly the hint above them.
    explicit String(int sizeHint);
    ~String();

    String(const String&) = delete;
    String& operator=(const String&) = delete;

    // Grows to hold at least n characters; never shrinks.
    void Reserve(int n);
    int BufferSize() const { return capacity + 1; }
    int Capacity() const { return capacity; }

    char* Data() { return data; }
    const char* Data() const { return data; }

    void Assign(const char* text);
    void Append(const char* text);
    void AppendChar(char c);
    // Loads a string-table entry, cut to the current capacity at a character
    // boundary; the string is never grown for it. Returns the length loaded.
    int LoadFromResource(unsigned id);

    int Length() const;
    int SetAt(int position, char c);
    void Clear() { data[0] = 0; }
    bool IsEmpty() const { return data[0] == 0; }
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // Byte offset of the last character whose first byte equals value, or -1.
    int ReverseFind(unsigned char value) const;
    // Replaces every character equal to from by to. With to = 0 a text ending
    // in a separator becomes a double-NUL-terminated list.
    void ReplaceChar(char from, char to);
    // Cuts at the last '\' (or, when there is none, the last '/'), dropping the
    // separator; a bare file name becomes empty.
    void StripFileName();
    void GetExtension(String& out) const;
    // Full path of name beside the running program, or its folder for nullptr.
    // Returns false when the module file name cannot be read.
    bool SetModulePath(const char* name);

private:
    void Allocate(int newCapacity);

    char* data = nullptr;
    int capacity = 0;
};

} // namespace text
