#include "formats/SafeWriter.h"

namespace formats {

SafeWriter::SafeWriter(const char* target) : temporary(target) {
    good = temporary.IsReady() && file.CreateWrite(temporary.Path());
}

bool SafeWriter::Write(const void* data, DWORD count) {
    good = good && file.Write(data, count) == count;
    return good;
}

bool SafeWriter::Finish() {
    // The data must be on the disk before the rename makes them the target,
    // or a crash could leave an empty file where the old one was.
    good = good && FlushFileBuffers(file.Handle()) != FALSE;
    good = file.Close() && good;
    return good && temporary.Commit();
}

} // namespace formats
