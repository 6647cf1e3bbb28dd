#include "formats/GifScanner.h"

#include "ui/file/FileHandle.h"

#include <windows.h>

#include <cstring>

namespace formats {

namespace {

// Reads the file forward; every failure (end of file included) is final, so
// the scan can check once per step.
class GifStream {
public:
    explicit GifStream(const char* path) { good = file.OpenRead(path); }

    bool Good() const { return good; }

    std::uint8_t Byte() {
        std::uint8_t value = 0;
        Bytes(&value, 1);
        return value;
    }
    void Bytes(void* buffer, DWORD count) { good = good && file.Read(buffer, count) == count; }
    void Skip(LONG count) {
        good = good && file.Seek(count, FILE_CURRENT) != INVALID_SET_FILE_POINTER;
    }
    // Reads a colour table of the size a packed field gives; returns the
    // number of entries.
    unsigned ColourTable(std::uint8_t packed, std::uint8_t* table) {
        const unsigned entries = 2u << (packed & 7);
        Bytes(table, entries * 3);
        return good ? entries : 0;
    }

private:
    file::FileHandle file;
    bool good = false;
};

} // namespace

std::int32_t FindGifTransparentColour(const char* path) {
    GifStream gif(path);
    char signature[3] = {};
    gif.Bytes(signature, sizeof(signature));
    if (!gif.Good() || std::memcmp(signature, "GIF", 3) != 0) {
        return kNoTransparentColour;
    }
    std::uint8_t table[768] = {};
    unsigned entries = 0;
    gif.Skip(7);
    const std::uint8_t screen = gif.Byte();
    gif.Skip(2);
    if ((screen & 0x80) != 0) {
        entries = gif.ColourTable(screen, table);
    }
    while (gif.Good()) {
        if (gif.Byte() != 0x21) {
            return kNoTransparentColour;
        }
        const std::uint8_t label = gif.Byte();
        if (label != 0xF9) {
            // Any other extension: skip its data sub-blocks up to the empty one.
            for (std::uint8_t size = gif.Byte(); gif.Good() && size != 0; size = gif.Byte()) {
                gif.Skip(size);
            }
            continue;
        }
        gif.Skip(1);
        const std::uint8_t control = gif.Byte();
        if ((control & 1) == 0) {
            return kNoTransparentColour;
        }
        gif.Skip(2);
        const unsigned index = gif.Byte();
        gif.Skip(1);
        if (gif.Byte() != 0x2C) {
            return kNoTransparentColour;
        }
        gif.Skip(8);
        const std::uint8_t local = gif.Byte();
        if ((local & 0x80) != 0) {
            entries = gif.ColourTable(local, table);
        }
        if (!gif.Good() || index >= entries) {
            return kNoTransparentColour;
        }
        const std::uint8_t* entry = table + index * 3;
        return entry[0] << 16 | entry[1] << 8 | entry[2];
    }
    return kNoTransparentColour;
}

} // namespace formats
