#include "settings/AppSettings.h"

namespace settings {

AppSettings::AppSettings() : ListDir(511), All_FileText(255) {}

image::PasteParameters AppSettings::PasteValues() const {
    image::PasteParameters values;
    values.fSize = fSize;
    values.bRatio = bRatio;
    values.SizeW = SizeW;
    values.SizeH = SizeH;
    values.PerW = PerW;
    values.PerH = PerH;
    values.PadSize = PadSize;
    values.BkColor = BkColor;
    values.PadCol = PadCol;
    return values;
}

AppSettings& Settings() {
    // Built on first use, so globals constructed earlier may already read it.
    static AppSettings record;
    return record;
}

} // namespace settings
