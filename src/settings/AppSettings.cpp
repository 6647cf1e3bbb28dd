#include "settings/AppSettings.h"

namespace settings {

AppSettings::AppSettings() : ListDir(511), All_FileText(255) {}

AppSettings& Settings() {
    // Built on first use, so globals constructed earlier may already read it.
    static AppSettings record;
    return record;
}

} // namespace settings
