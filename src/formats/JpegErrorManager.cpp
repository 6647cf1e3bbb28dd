#include "formats/JpegErrorManager.h"

// jerror.h names the library's message codes.
#include <jerror.h>

namespace formats {

namespace {

extern "C" void LeaveOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

extern "C" void DiscardMessage(j_common_ptr) {}

// Level -1 is a warning, levels from 0 up are trace messages.
extern "C" void RecordWarning(j_common_ptr info, int level) {
    if (level >= 0) {
        return;
    }
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    ++manager->standard.num_warnings;
    switch (manager->standard.msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
        manager->damaged = true;
        break;
    default:
        break;
    }
}

} // namespace

jpeg_error_mgr* JpegErrorManager::Install() {
    jpeg_std_error(&standard);
    standard.error_exit = LeaveOnError;
    standard.output_message = DiscardMessage;
    standard.emit_message = RecordWarning;
    damaged = false;
    return &standard;
}

} // namespace formats
