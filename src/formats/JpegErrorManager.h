#pragma once

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace formats {

// The error manager of one libjpeg compression or decompression. The library
// reports fatal errors through error_exit and expects it not to return; this
// one jumps back to the setjmp on jump, where the caller destroys the object
// and reports failure. Messages are not shown anywhere, but the warnings
// that say the coded data are damaged or end early (which the library
// survives, filling in what it could not read) set damaged. It is plain
// data, so the function that calls setjmp can hold it, and must hold
// nothing with a destructor that the jump would skip.
struct JpegErrorManager {
    // Sets up the standard manager with these handlers; the result goes into
    // the library object's err field before the object is created.
    jpeg_error_mgr* Install();

    jpeg_error_mgr standard;
    std::jmp_buf jump;
    bool damaged;
};

} // namespace formats
