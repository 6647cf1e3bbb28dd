#include "formats/SafeWriter.h"

namespace formats {

SafeWriter::SafeWriter(const char* target) : temporary(target) {
    good = temporary.IsReady() && file.CreateWrite(temporary.Path());
}

bool SafeWriter::Write(const void* data, DWORD count) {
    good = good && file.Write(data, count) == count;
    return good;
}

DWORD SafeWriter::Tell() {
    const DWORD position = good ? file.Tell() : kNoPosition;
    good = position < 0x80000000u;
    return good ? position : kNoPosition;
}

bool SafeWriter::SeekTo(DWORD position) {
    good = good && position < 0x80000000u &&
           file.Seek(static_cast<LONG>(position), FILE_BEGIN) == position;
    return good;
}

bool SafeWriter::SeekToEnd() {
    good = good && file.Seek(0, FILE_END) < 0x80000000u;
    return good;
}

bool SafeWriter::Complete() {
    // The data must be on the disk before the rename makes them the target,
    // or a crash could leave an empty file where the old one was.
    good = good && FlushFileBuffers(file.Handle()) != FALSE;
    good = file.Close() && good;
    return good;
}

} // namespace formats
