#include "formats/JpegErrorManager.h"

namespace formats {

namespace {

extern "C" void LeaveOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

extern "C" void DiscardMessage(j_common_ptr) {}

} // namespace

jpeg_error_mgr* JpegErrorManager::Install() {
    jpeg_std_error(&standard);
    standard.error_exit = LeaveOnError;
    standard.output_message = DiscardMessage;
    return &standard;
}

} // namespace formats
