#pragma once

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace formats {

// The error manager of one libjpeg compression or decompression. The library
// reports fatal errors through error_exit and expects it not to return; this
// one jumps back to the setjmp on jump, where the caller destroys the object
// and reports failure. Warnings and trace messages are not shown anywhere.
// It is plain data, so the function that calls setjmp can hold it, and must
// hold nothing with a destructor that the jump would skip.
struct JpegErrorManager {
    // Sets up the standard manager with these handlers; the result goes into
    // the library object's err field before the object is created.
    jpeg_error_mgr* Install();

    jpeg_error_mgr standard;
    std::jmp_buf jump;
};

} // namespace formats
